// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>

namespace kavrin {

// Turns SIGINT and SIGTERM (on Windows: the console's Ctrl+C, Ctrl+Break and
// close, a logoff or shutdown) into a call on the Qt thread, so that a stop
// from outside closes the main window exactly as its close box: "S" goes to
// the ECU and the port is closed before the program ends.
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
