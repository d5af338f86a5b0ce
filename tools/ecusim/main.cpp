// SPDX-License-Identifier: GPL-3.0-or-later
// kavrin-ecusim: a simulated ECU on a pseudo-terminal, so the tool can be
// tried and tested end to end without an engine.
#include "base/clock.h"
#include "base/modulo.h"
#include "base/qt_settings_store.h"
#include "ecusim/command_line.h"
#include "ecusim/ecu_simulator.h"
#include "ecusim/pty_port.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kavrin;
using namespace kavrin::ecusim;

// Short enough that a frame due at 2880 frames per second is not held back
// by more than a few slots.
constexpr int kPollMs = 2;

int g_signalPipe[2] = {-1, -1};

extern "C" void OnSignal(int signal) {
    const int saved = errno;
    const char c = signal == SIGUSR1 ? 'u' : 'q';
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
    errno = saved;
}

bool InstallSignalHandlers() {
    if (::pipe2(g_signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    ::sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        if (::sigaction(s, &action, nullptr) != 0) return false;
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

// Written whole or not at all: a test polling for the file must never read
// half a line.
bool WriteReadyFile(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "w");
    if (f == nullptr) return false;
    const bool written = std::fputs(text.c_str(), f) >= 0;
    if (std::fclose(f) != 0 || !written) return false;
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

class EventLog {
public:
    bool Open(const std::string& path) {
        file_ = std::fopen(path.c_str(), "a");
        return file_ != nullptr;
    }
    ~EventLog() {
        if (file_ != nullptr) std::fclose(file_);
    }
    // Flushed line by line: the tests read the file while the ECU runs.
    void Write(const std::vector<std::string>& lines) {
        if (file_ == nullptr) return;
        for (const std::string& line : lines) {
            std::fputs(line.c_str(), file_);
            std::fputc('\n', file_);
            std::fflush(file_);
        }
    }

private:
    std::FILE* file_ = nullptr;
};

// The port's entry in the tool's port table, taken away again when the ECU
// stops, unless another simulator has claimed the number since.
class PortRegistration {
public:
    PortRegistration(QtSettingsStore& settings, std::string key, std::string device)
        : settings_(settings), key_(std::move(key)), device_(std::move(device)) {
        settings_.SaveSetting(kAppName, "ports", key_, device_);
    }
    ~PortRegistration() {
        if (settings_.GetSetting(kAppName, "ports", key_, "") == device_)
            settings_.RemoveSetting(kAppName, "ports", key_);
    }
    PortRegistration(const PortRegistration&) = delete;
    PortRegistration& operator=(const PortRegistration&) = delete;

private:
    QtSettingsStore& settings_;
    std::string key_;
    std::string device_;
};

int Run(const ProgramOptions& options) {
    if (!InstallSignalHandlers()) {
        std::perror("kavrin-ecusim: signal handlers");
        return 1;
    }
    PtyPort port;
    std::string error;
    if (!port.Open(error)) {
        std::fprintf(stderr, "kavrin-ecusim: %s\n", error.c_str());
        return 1;
    }
    EventLog log;
    if (!options.logFile.empty() && !log.Open(options.logFile)) {
        std::fprintf(stderr, "kavrin-ecusim: cannot open log %s\n", options.logFile.c_str());
        return 1;
    }

    const std::string number = DecimalText(options.port);
    const std::string key = "COM" + number;
    QtSettingsStore settings;
    PortRegistration registration(settings, key, port.DevicePath());
    if (options.select) settings.SaveSetting(kAppName, "main", "com", number);

    std::printf("%s = %s\n", key.c_str(), port.DevicePath().c_str());
    std::fflush(stdout);
    if (!options.readyFile.empty() &&
        !WriteReadyFile(options.readyFile, key + " " + port.DevicePath() + "\n")) {
        std::fprintf(stderr, "kavrin-ecusim: cannot write %s\n", options.readyFile.c_str());
        return 1;
    }

    SteadyClock clock;
    EcuSimulator ecu(clock, options.sim);
    for (;;) {
        pollfd fds[2] = {{g_signalPipe[0], POLLIN, 0}, {port.MasterFd(), POLLIN, 0}};
        ::poll(fds, 2, kPollMs);
        bool quit = false;
        char c = 0;
        while (::read(g_signalPipe[0], &c, 1) == 1) {
            if (c == 'u')
                ecu.GoSilent(options.sim.silenceForMs);
            else
                quit = true;
        }
        if (quit) break;
        const std::vector<std::uint8_t> received = port.ReadAvailable();
        if (!received.empty()) ecu.Receive(received);
        const std::vector<std::uint8_t> sent = ecu.Produce();
        if (!sent.empty()) port.Write(sent);
        log.Write(ecu.TakeEvents());
        port.ReleaseExclusiveLock();
    }
    log.Write(ecu.TakeEvents());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const ParsedCommandLine parsed =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "kavrin-ecusim: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    return Run(parsed.options);
}
