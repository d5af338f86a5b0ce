// Files on disk: a failed save leaves the old file as it was; what cannot be
// read says why.
#include "base/qt_file_system.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

namespace kavrin {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(QtFileSystem, SavesWholeFilesAndReadsThemBack) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("a.efi").toStdString();
    QtFileSystem files;
    ASSERT_TRUE(files.WriteFile(path, "one\r\n"));
    ASSERT_TRUE(files.WriteFile(path, "two\r\n"));
    EXPECT_EQ(files.ReadFile(path), "two\r\n");
}

TEST(QtFileSystem, AFailedSaveKeepsTheOldFileByteForByte) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("a.efi").toStdString();
    QtFileSystem files;
    ASSERT_TRUE(files.WriteFile(path, "old content\r\n"));

    // A disk that fills up half-way: the file size limit fails the write
    // whoever runs the test (a read-only folder does not stop root).
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = files.WriteFile(path, std::string(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(files.LastError().empty());
    EXPECT_EQ(Slurp(path), "old content\r\n");
    EXPECT_EQ(files.ListFiles(dir.path().toStdString(), ".efi"), std::vector<std::string>{"a.efi"})
        << "no temporary file is left behind";
}

TEST(QtFileSystem, WhatCannotBeReadSaysWhy) {
    QTemporaryDir dir;
    QtFileSystem files;
    const std::string folder = dir.path().toStdString();
    const std::string cases[] = {folder + "/missing.efi", folder, folder + "/gone/a.efi"};
    for (const std::string& path : cases) {
        EXPECT_FALSE(files.ReadFile(path)) << path;
        EXPECT_FALSE(files.LastError().empty()) << path;
    }
    EXPECT_FALSE(files.WriteFile(folder + "/gone/a.efi", "x"));
}

} // namespace
} // namespace kavrin
