// KAVRIN: tuning and watching the engine control unit over a serial line.
#include "base/file_system.h"
#include "base/qt_settings_store.h"
#include "serial/port_directory.h"
#include "ui/main_window.h"
#include "ui/signal_bridge.h"

#ifdef _WIN32
#include "serial/win32_serial_device.h"
#else
#include "serial/posix_serial_device.h"
#endif

#include <QApplication>

int main(int argc, char* argv[]) {
    // Signals are caught before anything else runs: a stop at any moment, even
    // while the start-up's message box is open, ends the program cleanly with
    // exit status 0.
    kavrin::SignalBridge::CatchStopSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KAVRIN"));

    kavrin::SteadyClock clock;
    kavrin::QtSettingsStore settings;
    kavrin::DiskFileSystem files;
#ifdef _WIN32
    kavrin::Win32SerialDevice serial;
    kavrin::Win32PortDirectory ports;
#else
    kavrin::PosixSerialDevice serial;
    kavrin::SettingsPortDirectory ports(settings, &kavrin::SystemSerialDevices);
#endif
    kavrin::Platform platform{serial, ports,
                              clock,  settings,
                              files,  QCoreApplication::applicationDirPath().toStdString()};

    kavrin::SignalBridge stopSignals;
    kavrin::MainWindow window(platform);
    QObject::connect(&stopSignals, &kavrin::SignalBridge::stopRequested, &window,
                     &kavrin::MainWindow::RequestStop);
    window.Load();
    if (window.stopRequested()) return 0;
    window.show();
    return app.exec();
}
