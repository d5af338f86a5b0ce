// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/signal_bridge.h"

#ifndef _WIN32
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
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
void SignalBridge::CatchStopSignals() {}
SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {}
SignalBridge::~SignalBridge() = default;
#endif

} // namespace kavrin
