// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>

namespace kavrin {

// Turns SIGINT and SIGTERM into a call on the Qt thread, so that a terminal's
// Ctrl+C or a service stop closes the main window exactly as its close box:
// "S" goes to the ECU and the port is closed before the program ends.
class SignalBridge final : public QObject {
    Q_OBJECT
public:
    // Catches the signals from now on; one that comes before the bridge exists
    // waits for it. Call first thing, before the application object.
    static void CatchStopSignals();

    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;
signals:
    void stopRequested();
};

} // namespace kavrin
