// SPDX-License-Identifier: GPL-3.0-or-later
// Every configuration the ECU sends is kept once, named by date, time and
// port, the newest 200 of them; a folder that cannot be written is said once.
#include "base/qt_file_system.h"
#include "config/efi_file.h"
#include "support/fake_clock.h"
#include "support/memory_file_system.h"
#include "tune/backups.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace kavrin {
namespace {

Configuration Dumped(int seed) {
    Configuration c;
    c.SizeImage();
    for (int i = 0; i < 214; ++i) c.ConfigImage.Set(i, (i + seed) % 256);
    return c;
}

const std::string kFolder = "/home/user/.local/state/kavrin/backups";

TEST(Backups, EachNewDumpIsKeptOnceNamedByTimeAndPortNewestFirst) {
    test::MemoryFileSystem files;
    test::FixedCalendar calendar;
    calendar.now = {2026, 12, 7, 10, 15, 0};
    BackupStore store(files, calendar);
    EXPECT_EQ(store.KeepDump(Dumped(1), "COM7"), kFolder + "/2026-12-07-101500-COM7.efi");
    EXPECT_EQ(files.files[kFolder + "/2026-12-07-101500-COM7.efi"], WriteEfiText(Dumped(1)));
    EXPECT_FALSE(store.KeepDump(Dumped(1), "COM7")) << "the same configuration again";
    // Two in one second do not overwrite each other.
    EXPECT_EQ(store.KeepDump(Dumped(2), "COM7"), kFolder + "/2026-12-07-101500-COM7-2.efi");
    EXPECT_EQ(store.KeepWindowVersion(Dumped(3), "/dev/ttyUSB0"),
              kFolder + "/2026-12-07-101500-ttyUSB0-mine.efi");
    calendar.now.second = 1;
    EXPECT_TRUE(store.KeepDump(Dumped(1), "COM7"));
    files.files[kFolder + "/notes.efi"] = "not one of ours";

    const std::vector<BackupEntry> list = store.List();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].path, kFolder + "/2026-12-07-101501-COM7.efi");
    EXPECT_EQ(list[0].when.second, 1);
    EXPECT_EQ(list[0].port, "COM7");
    EXPECT_EQ(list[1].path, kFolder + "/2026-12-07-101500-COM7-2.efi");
    EXPECT_TRUE(list[2].windowVersion || list[3].windowVersion);
    EXPECT_EQ(list[3].when.hour, 10);

    // The next run knows the last dump it kept.
    BackupStore restarted(files, calendar);
    calendar.now.second = 2;
    EXPECT_FALSE(restarted.KeepDump(Dumped(1), "COM7"));
}

TEST(Backups, TheNewestTwoHundredAreKeptAndAFolderThatFailsIsSaidOnce) {
    test::MemoryFileSystem files;
    test::FixedCalendar calendar;
    BackupStore store(files, calendar);
    for (int n = 0; n < 205; ++n) {
        calendar.now.minute = n / 60;
        calendar.now.second = n % 60;
        ASSERT_TRUE(store.KeepDump(Dumped(n), "COM1"));
    }
    const std::vector<BackupEntry> list = store.List();
    ASSERT_EQ(list.size(), 200u);
    EXPECT_EQ(list.back().path, kFolder + "/2026-12-07-030005-COM1.efi") << "the five oldest went";
    EXPECT_EQ(files.files.count(kFolder + "/2026-12-07-030004-COM1.efi"), 0u);

    files.readOnly = true;
    EXPECT_FALSE(store.KeepDump(Dumped(900), "COM1"));
    EXPECT_FALSE(store.KeepDump(Dumped(901), "COM1"));
    const auto failure = store.TakeFailure();
    ASSERT_TRUE(failure);
    EXPECT_FALSE(store.TakeFailure()) << "said once";
    files.readOnly = false;
    EXPECT_TRUE(store.KeepDump(Dumped(900), "COM1")) << "the tool worked on";
}

// On disk, in the user's state folder (what a written file holds is the file
// system's test, what a backup holds the first one here).
TEST(Backups, GoIntoTheStateFolderOnDisk) {
    QTemporaryDir state;
    ASSERT_TRUE(state.isValid());
    ASSERT_EQ(setenv("XDG_STATE_HOME", state.path().toUtf8().constData(), 1), 0);
    QtFileSystem files;
    test::FixedCalendar calendar;
    BackupStore store(files, calendar);
    const auto path = store.KeepDump(Dumped(5), "COM3");
    const auto second = store.KeepDump(Dumped(6), "COM3");
    unsetenv("XDG_STATE_HOME");
    ASSERT_TRUE(path && second);
    EXPECT_EQ(*path, state.path().toStdString() + "/kavrin/backups/2026-12-07-031500-COM3.efi");
    EXPECT_TRUE(files.RemoveFile(*second));
    EXPECT_EQ(store.List().size(), 1u);
}

} // namespace
} // namespace kavrin
