// SPDX-License-Identifier: GPL-3.0-or-later
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

// A datalog file. Writes go straight to the file; Flush then hands Qt's buffer
// to the system and checks that the file is still there: on most systems a
// file whose folder was removed takes writes without complaint, and every row
// after that would be lost unseen.
class QtAppendStream final : public AppendStream {
public:
    explicit QtAppendStream(const QString& path) : file_(path) {}
    bool Open() {
        if (file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) return true;
        lastError_ = file_.errorString().toStdString();
        return false;
    }
    bool Append(std::string_view bytes) override {
        if (file_.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()))
            return true;
        lastError_ = file_.errorString().toStdString();
        return false;
    }
    bool Flush() override {
        if (!file_.flush()) {
            lastError_ = file_.error() != QFileDevice::NoError
                             ? file_.errorString().toStdString()
                             : "the disk did not take the rows (full, or a size limit)";
            return false;
        }
        if (!QFileInfo::exists(file_.fileName())) {
            lastError_ = "the file is gone (its folder was removed or its drive unplugged)";
            return false;
        }
        return true;
    }
    std::string LastError() const override { return lastError_; }

private:
    QFile file_;
    std::string lastError_;
};
class QtReadStream final : public ReadStream {
public:
    explicit QtReadStream(const QString& path) : file_(path) {}
    bool Open() { return file_.open(QIODevice::ReadOnly); }
    std::int64_t Read(char* buffer, std::int64_t size) override {
        return file_.read(buffer, static_cast<qint64>(size));
    }
    std::int64_t Size() const override { return file_.size(); }
    std::string LastError() const override { return file_.errorString().toStdString(); }

private:
    QFile file_;
};
} // namespace

std::unique_ptr<ReadStream> QtFileSystem::OpenStream(const std::string& path) {
    lastError_.clear();
    const QFileInfo info(Q(path));
    if (!info.exists()) {
        lastError_ = "the file does not exist";
        return nullptr;
    }
    if (info.isDir()) {
        lastError_ = "it is a folder, not a file";
        return nullptr;
    }
    auto stream = std::make_unique<QtReadStream>(Q(path));
    if (stream->Open()) return stream;
    lastError_ = stream->LastError();
    return nullptr;
}

std::unique_ptr<AppendStream> QtFileSystem::CreateStream(const std::string& path) {
    lastError_.clear();
    auto stream = std::make_unique<QtAppendStream>(Q(path));
    if (stream->Open()) return stream;
    lastError_ = stream->LastError();
    return nullptr;
}

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
