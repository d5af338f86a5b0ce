// KAVRIN: tuning and watching the engine control unit over a serial line.
#include "base/file_system.h"
#include "base/qt_settings_store.h"
#include "serial/port_directory.h"
#include "serial/qt_serial_device.h"
#include "ui/main_window.h"
#include "ui/signal_bridge.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KAVRIN"));
    // Catch a stop from the very start: the window greets the ECU while it is
    // built, and a stop that killed it then would leave the ECU without "S".
    // The request waits in the bridge until the event loop runs.
    kavrin::SignalBridge stopSignals;

    kavrin::SteadyClock clock;
    kavrin::QtSettingsStore settings;
    kavrin::DiskFileSystem files;
    kavrin::QtSerialDevice serial;
    kavrin::SettingsPortDirectory ports(settings, &kavrin::SystemSerialDevices,
                                        &kavrin::UnlistedDeviceName);
    kavrin::Platform platform{serial, ports,
                              clock,  settings,
                              files,  QCoreApplication::applicationDirPath().toStdString()};

    kavrin::MainWindow window(platform);
    QObject::connect(&stopSignals, &kavrin::SignalBridge::stopRequested, &window, &QWidget::close);
    window.show();
    return app.exec();
}
