// SPDX-License-Identifier: GPL-3.0-or-later
// KAVRIN: tuning and watching the engine control unit over a serial line.
#include "base/qt_file_system.h"
#include "base/qt_settings_store.h"
#include "serial/port_directory.h"
#include "serial/port_system.h"
#include "serial/qt_serial_device.h"
#include "ui/main_window.h"
#include "ui/signal_bridge.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    // Signals are caught before anything else runs: a stop at any moment, even
    // while the start-up's message box is open, ends the program cleanly with
    // exit status 0, "S" sent when a port is open. The request waits in the
    // bridge until an event loop runs.
    kavrin::SignalBridge::CatchStopSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KAVRIN"));
    // Wayland matches the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(KAVRIN_APP_ID));
    kavrin::SignalBridge stopSignals;

    kavrin::SteadyClock clock;
    kavrin::QtSettingsStore settings;
    kavrin::QtFileSystem files;
    kavrin::QtSerialDevice serial;
    kavrin::SettingsPortDirectory ports(settings, &kavrin::SystemSerialDevices,
                                        &kavrin::UnlistedDeviceName);
    kavrin::Platform platform{serial, ports,
                              clock,  settings,
                              files,  QCoreApplication::applicationDirPath().toStdString()};
    const auto portSystem = kavrin::MakePortSystem();
    platform.portSystem = portSystem.get();

    // Language files: beside the program, then the installed data folder, then
    // the user's own.
    const QString programFolder = QCoreApplication::applicationDirPath();
    platform.moreLanguageFolders = {
        QDir::cleanPath(programFolder + QStringLiteral("/../share/kavrin/lang")).toStdString(),
        (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/kavrin/lang"))
            .toStdString()};

    kavrin::MainWindow window(platform);
    QObject::connect(&stopSignals, &kavrin::SignalBridge::stopRequested, &window,
                     &kavrin::MainWindow::RequestStop);
    window.Load();
    if (window.stopRequested()) return 0;
    window.show();
    return app.exec();
}
