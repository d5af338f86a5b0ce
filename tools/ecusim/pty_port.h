// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kavrin::ecusim {

// The ECU's end of a pseudo-terminal: the tool opens the slave device as if it
// were a serial port, the simulator reads and writes the master.
class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // False with a reason when no pseudo-terminal could be set up.
    bool Open(std::string& error);
    int MasterFd() const { return master_; }
    const std::string& DevicePath() const { return path_; }

    // Whatever the tool has sent; empty when nothing is waiting.
    std::vector<std::uint8_t> ReadAvailable();
    // Writes what the pseudo-terminal takes and returns how much that was. The
    // rest is lost, as on a real line that nobody reads.
    std::size_t Write(std::span<const std::uint8_t> bytes);

    // The tool locks the port for itself (TIOCEXCL). On a pseudo-terminal that
    // lock outlives the tool's close because our end stays open, and would keep
    // the tool from opening the port again; so it is lifted after every look.
    void ReleaseExclusiveLock();

private:
    void Close();

    int master_ = -1;
    // Held open so that the master never reports a hang-up between the tool's
    // close and reopen, and the raw settings stay in place meanwhile.
    int slave_ = -1;
    std::string path_;
};

} // namespace kavrin::ecusim
