// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/qt_file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "base/text_entries.h"

namespace kavrin {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

Reason Said(const QFileDevice& file) {
    return Reason::Words(file.errorString().toStdString());
}

// A datalog file. Writes go straight to the file; Flush then hands Qt's buffer
// to the system and checks that the file is still there: on most systems a
// file whose folder was removed takes writes without complaint, and every row
// after that would be lost unseen.
class QtAppendStream final : public AppendStream {
public:
    explicit QtAppendStream(const QString& path) : file_(path) {}
    bool Open() {
        if (file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) return true;
        lastError_ = Said(file_);
        return false;
    }
    bool Append(std::string_view bytes) override {
        if (file_.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()))
            return true;
        lastError_ = Said(file_);
        return false;
    }
    bool Flush() override {
        if (!file_.flush()) {
            lastError_ =
                file_.error() != QFileDevice::NoError ? Said(file_) : Reason::Entry(text::kDiskFullRows);
            return false;
        }
        if (!QFileInfo::exists(file_.fileName())) {
            lastError_ = Reason::Entry(text::kFileGone);
            return false;
        }
        return true;
    }
    Reason LastError() const override { return lastError_; }

private:
    QFile file_;
    Reason lastError_;
};
class QtReadStream final : public ReadStream {
public:
    explicit QtReadStream(const QString& path) : file_(path) {}
    bool Open() { return file_.open(QIODevice::ReadOnly); }
    std::int64_t Read(char* buffer, std::int64_t size) override {
        return file_.read(buffer, static_cast<qint64>(size));
    }
    std::int64_t Size() const override { return file_.size(); }
    Reason LastError() const override { return Said(file_); }

private:
    QFile file_;
};
} // namespace

std::unique_ptr<ReadStream> QtFileSystem::OpenStream(const std::string& path) {
    lastError_ = {};
    const QFileInfo info(Q(path));
    if (!info.exists()) {
        lastError_ = Reason::Entry(text::kFileMissing);
        return nullptr;
    }
    if (info.isDir()) {
        lastError_ = Reason::Entry(text::kFileIsFolder);
        return nullptr;
    }
    auto stream = std::make_unique<QtReadStream>(Q(path));
    if (stream->Open()) return stream;
    lastError_ = stream->LastError();
    return nullptr;
}

std::unique_ptr<AppendStream> QtFileSystem::CreateStream(const std::string& path) {
    lastError_ = {};
    auto stream = std::make_unique<QtAppendStream>(Q(path));
    if (stream->Open()) return stream;
    lastError_ = stream->LastError();
    return nullptr;
}

std::optional<std::string> QtFileSystem::ReadFile(const std::string& path) {
    lastError_ = {};
    const QFileInfo info(Q(path));
    if (!info.exists()) {
        lastError_ = Reason::Entry(text::kFileMissing);
        return std::nullopt;
    }
    if (info.isDir()) {
        lastError_ = Reason::Entry(text::kFileIsFolder);
        return std::nullopt;
    }
    if (info.size() > kMaxFileBytes) {
        lastError_ = Reason::Entry(text::kFileTooLarge);
        return std::nullopt;
    }
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly)) {
        lastError_ = Said(file);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        lastError_ = Said(file);
        return std::nullopt;
    }
    return bytes.toStdString();
}

bool QtFileSystem::WriteFile(const std::string& path, const std::string& content) {
    lastError_ = {};
    QSaveFile file(Q(path));
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ = Said(file);
        return false;
    }
    if (file.write(content.data(), static_cast<qint64>(content.size())) !=
        static_cast<qint64>(content.size())) {
        lastError_ = Said(file);
        file.cancelWriting();
        return false;
    }
    // A disk that fills up shows only here: the buffered write took it all.
    if (!file.flush()) {
        lastError_ =
            file.error() != QFileDevice::NoError ? Said(file) : Reason::Entry(text::kDiskFullFile);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        lastError_ = Said(file);
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

bool QtFileSystem::RemoveFile(const std::string& path) {
    lastError_ = {};
    QFile file(Q(path));
    if (!file.exists() || file.remove()) return true;
    lastError_ = Said(file);
    return false;
}

bool QtFileSystem::MakeFolder(const std::string& path) {
    lastError_ = {};
    if (QDir().mkpath(Q(path))) return true;
    lastError_ = Reason::Entry(text::kFolderNotMade);
    return false;
}

std::string QtFileSystem::StateFolder() {
#ifdef Q_OS_WIN
    // The per-user application data folder (AppData/Local).
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
#else
    // Qt names no state folder before 6.7: the XDG rule itself. A relative
    // XDG_STATE_HOME is invalid and must be ignored.
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.isEmpty() && QDir::isAbsolutePath(state)) return state.toStdString();
    return (QDir::homePath() + QStringLiteral("/.local/state")).toStdString();
#endif
}

} // namespace kavrin
