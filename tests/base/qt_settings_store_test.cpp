// The settings file itself: a store that cannot be written says so.
#include "base/qt_settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kavrin {
namespace {

TEST(QtSettingsStore, RemembersWhereItCanAndSaysWhereItCannot) {
    int argc = 1;
    char name[] = "qt_settings_store_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());

    {
        QtSettingsStore store;
        store.SaveSetting("kavrin", "main", "raw_mode", "1");
        EXPECT_EQ(store.GetSetting("kavrin", "main", "raw_mode", "0"), "1");
        EXPECT_TRUE(store.CanRemember());
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
