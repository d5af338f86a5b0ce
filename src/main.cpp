// KAVRIN: tuning and watching the engine control unit over a serial line.
#include "base/qt_file_system.h"
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
#include <QDir>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KAVRIN"));

    kavrin::SteadyClock clock;
    kavrin::QtSettingsStore settings;
    kavrin::QtFileSystem files;
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

    // Language files: beside the program, then the installed data folder, then
    // the user's own.
    const QString programFolder = QCoreApplication::applicationDirPath();
    platform.moreLanguageFolders = {
        QDir::cleanPath(programFolder + QStringLiteral("/../share/kavrin/lang")).toStdString(),
        (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/kavrin/lang"))
            .toStdString()};

    kavrin::MainWindow window(platform);
    kavrin::SignalBridge stopSignals;
    QObject::connect(&stopSignals, &kavrin::SignalBridge::stopRequested, &window, &QWidget::close);
    window.show();
    return app.exec();
}
