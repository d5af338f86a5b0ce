// SPDX-License-Identifier: GPL-3.0-or-later
// Files and settings on disk: a failed save leaves the old file as it was;
// what cannot be read or written says so.
#include "base/qt_file_system.h"
#include "base/text_entries.h"
#include "base/qt_settings_store.h"
#include "support/qt_application.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace kavrin {
namespace {

TEST(QtFileSystem, AFailedSaveKeepsTheFileByteForByteAndAFailedReadSaysWhy) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("a.efi").toStdString();
    QtFileSystem files;
    ASSERT_TRUE(files.WriteFile(path, "one\r\n"));
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
    EXPECT_EQ(files.ReadFile(path), "old content\r\n");
    EXPECT_EQ(files.ListFiles(dir.path().toStdString(), ".efi"), std::vector<std::string>{"a.efi"})
        << "no temporary file is left behind";

    // What cannot be read says why.
    const std::string folder = dir.path().toStdString();
    for (const std::string& bad : {folder + "/missing.efi", folder, folder + "/gone/a.efi"}) {
        EXPECT_FALSE(files.ReadFile(bad)) << bad;
        EXPECT_FALSE(files.LastError().empty()) << bad;
    }
    EXPECT_FALSE(files.WriteFile(folder + "/gone/a.efi", "x"));
}

// A full disk or a folder removed under a datalog fails the next flush with a
// reason, instead of losing rows unseen.
TEST(QtFileSystem, AStreamFailsItsFlushOnAFullDiskOrAVanishedFolder) {
    QtFileSystem files;
    auto dir = std::make_unique<QTemporaryDir>();
    auto log = files.CreateStream(dir->filePath("log.csv").toStdString());
    ASSERT_TRUE(log && log->Append("a,b\n") && log->Flush());
    dir.reset();
    EXPECT_FALSE(log->Append("1,2\n") && log->Flush());
    EXPECT_EQ(log->LastError().text, text::kFileGone);
    auto full = files.CreateStream("/dev/full");
    ASSERT_TRUE(full && full->Append("1,2\n"));
    EXPECT_FALSE(full->Flush());
}

TEST(QtSettingsStore, RemembersWhereItCanAndSaysWhereItCannot) {
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());

    {
        QtSettingsStore store; // a plain save and read are the end-to-end test's
        EXPECT_TRUE(store.CanRemember());

        // Held writes reach the file once, together, when the hold ends.
        const QString file = home.filePath(QStringLiteral("kavrin/RA1.conf"));
        {
            HeldSettingsWrites hold(store);
            for (int col = 0; col < 60; ++col)
                store.SaveSetting("RA1", "frmKAVRIN", "w" + std::to_string(col), "900");
            EXPECT_EQ(store.GetSetting("RA1", "frmKAVRIN", "w59", "0"), "900");
            EXPECT_FALSE(QFile::exists(file)) << "nothing written while held";
        }
        EXPECT_EQ(QSettings(file, QSettings::IniFormat).value("frmKAVRIN/w59").toString(), "900");
    }

    // A folder where the file should be: nothing can be read or written there,
    // and the tool runs on the defaults.
    QFile::remove(home.filePath(QStringLiteral("kavrin/kavrin.conf")));
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("kavrin/kavrin.conf")));
    QtSettingsStore broken;
    EXPECT_EQ(broken.GetSetting("kavrin", "main", "raw_mode", "0"), "0");
    broken.SaveSetting("kavrin", "main", "raw_mode", "1");
    EXPECT_FALSE(broken.CanRemember());
}

} // namespace
} // namespace kavrin
