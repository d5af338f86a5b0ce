// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/signal_bridge.h"

#ifndef _WIN32
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#else
#include <QMetaObject>
#include <mutex>
#include <windows.h>
#endif

namespace kavrin {

#ifndef _WIN32
namespace {
int g_fds[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_fds[0], &c, 1);
}
} // namespace

void SignalBridge::CatchStopSignals() {
    if (g_fds[0] != -1) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) return;
    ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
    CatchStopSignals();
    if (g_fds[1] == -1) return;
    auto* notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char buf[16];
        [[maybe_unused]] const auto n = ::read(g_fds[1], buf, sizeof buf);
        emit stopRequested();
    });
}

SignalBridge::~SignalBridge() {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
}
#else
// Windows has no stop signals; a console's Ctrl+C, Ctrl+Break or close box,
// and a logoff or shutdown, come to a handler on a thread of their own.
namespace {
std::mutex g_mutex;
SignalBridge* g_bridge = nullptr; // guarded by g_mutex
bool g_pending = false;           // guarded by g_mutex: a request before the bridge
HANDLE g_closed = nullptr;        // set once the bridge, and so the window, is gone

void Post(SignalBridge* bridge) {
    QMetaObject::invokeMethod(
        bridge, [bridge] { emit bridge->stopRequested(); }, Qt::QueuedConnection);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    {
        const std::lock_guard lock(g_mutex);
        if (g_bridge)
            Post(g_bridge);
        else
            g_pending = true;
    }
    // After a close, logoff or shutdown the system ends the process as soon
    // as the handler returns: hold it until the window has closed and "S" has
    // gone out (the system allows a few seconds).
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && g_closed)
        WaitForSingleObject(g_closed, INFINITE);
    return TRUE;
}
} // namespace

void SignalBridge::CatchStopSignals() {
    if (g_closed) return;
    g_closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
    CatchStopSignals();
    const std::lock_guard lock(g_mutex);
    g_bridge = this;
    if (g_pending) Post(this);
    g_pending = false;
}

SignalBridge::~SignalBridge() {
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    {
        const std::lock_guard lock(g_mutex);
        g_bridge = nullptr;
    }
    if (g_closed) SetEvent(g_closed);
}
#endif

} // namespace kavrin
