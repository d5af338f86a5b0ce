#include "base/qt_file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kavrin {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

std::optional<std::string> QtFileSystem::ReadFile(const std::string& path) {
    lastError_.clear();
    const QFileInfo info(Q(path));
    if (!info.exists()) {
        lastError_ = "the file does not exist";
        return std::nullopt;
    }
    if (info.isDir()) {
        lastError_ = "it is a folder, not a file";
        return std::nullopt;
    }
    if (info.size() > kMaxFileBytes) {
        lastError_ = "the file is too large";
        return std::nullopt;
    }
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly)) {
        lastError_ = file.errorString().toStdString();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        lastError_ = file.errorString().toStdString();
        return std::nullopt;
    }
    return bytes.toStdString();
}

bool QtFileSystem::WriteFile(const std::string& path, const std::string& content) {
    lastError_.clear();
    QSaveFile file(Q(path));
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ = file.errorString().toStdString();
        return false;
    }
    if (file.write(content.data(), static_cast<qint64>(content.size())) !=
        static_cast<qint64>(content.size())) {
        lastError_ = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    // A disk that fills up shows only here: the buffered write took it all.
    if (!file.flush()) {
        lastError_ = file.error() != QFileDevice::NoError
                         ? file.errorString().toStdString()
                         : "the disk did not take the whole file (full, or a size limit)";
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        lastError_ = file.errorString().toStdString();
        return false;
    }
    return true;
}

std::vector<std::string> QtFileSystem::ListFiles(const std::string& folder,
                                                 const std::string& suffix) {
    std::vector<std::string> names;
    const QDir dir(Q(folder));
    if (!dir.exists()) return names;
    const QStringList entries =
        dir.entryList({QStringLiteral("*") + Q(suffix)}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : entries) names.push_back(name.toStdString());
    return names;
}

} // namespace kavrin
