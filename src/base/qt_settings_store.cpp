// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/qt_settings_store.h"

#include <QSettings>
#include <QString>

namespace kavrin {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString KeyPath(const std::string& section, const std::string& key) {
    return Q(section) + QLatin1Char('/') + Q(key);
}
} // namespace

QtSettingsStore::QtSettingsStore() = default;

QtSettingsStore::~QtSettingsStore() {
    holds_ = 0;
    ReleaseWrites();
}

std::unique_ptr<QSettings> QtSettingsStore::Open(const std::string& application) {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("kavrin"), Q(application));
}

std::string QtSettingsStore::GetSetting(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& defaultValue) {
    const auto held = held_.find(application);
    const std::unique_ptr<QSettings> fresh = held == held_.end() ? Open(application) : nullptr;
    QSettings& s = fresh ? *fresh : *held->second;
    return s.value(KeyPath(section, key), Q(defaultValue)).toString().toStdString();
}

void QtSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
    if (holds_ > 0) {
        std::unique_ptr<QSettings>& s = held_[application];
        if (!s) s = Open(application);
        s->setValue(KeyPath(section, key), Q(value));
        return;
    }
    const std::unique_ptr<QSettings> s = Open(application);
    const QString path = KeyPath(section, key);
    // The value the file already holds leaves it alone: the port, remembered
    // at each reopen of a silent line, would rewrite and sync it every few
    // hundred milliseconds.
    if (s->contains(path) && s->value(path).toString() == Q(value)) return;
    s->setValue(path, Q(value));
    s->sync();
    if (s->status() != QSettings::NoError) failed_ = true;
}

void QtSettingsStore::ReleaseWrites() {
    if (holds_ > 0 && --holds_ > 0) return;
    for (auto& [application, s] : held_) {
        s->sync();
        if (s->status() != QSettings::NoError) failed_ = true;
    }
    held_.clear();
}

bool QtSettingsStore::CanRemember() {
    for (const char* application : {kAppName, kColumnWidthsApp}) {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kavrin"),
                    QString::fromLatin1(application));
        if (s.status() != QSettings::NoError || !s.isWritable()) failed_ = true;
    }
    return !failed_;
}

std::vector<std::string> QtSettingsStore::Keys(const std::string& application,
                                               const std::string& section) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kavrin"),
                Q(application));
    s.beginGroup(Q(section));
    std::vector<std::string> keys;
    for (const QString& k : s.childKeys()) keys.push_back(k.toStdString());
    return keys;
}

void QtSettingsStore::RemoveSetting(const std::string& application, const std::string& section,
                                    const std::string& key) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kavrin"),
                Q(application));
    s.remove(KeyPath(section, key));
    s.sync();
}

} // namespace kavrin
