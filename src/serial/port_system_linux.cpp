// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_system.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <limits.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kavrin {

namespace {

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The command's own name (argv[0] without its folder); the kernel's short name
// for processes without one.
std::string ProcessName(const std::string& procDir) {
    std::ifstream in(procDir + "/cmdline");
    std::string argv0;
    std::getline(in, argv0, '\0');
    if (!argv0.empty()) return argv0.substr(argv0.find_last_of('/') + 1);
    return ReadFirstLine(procDir + "/comm");
}

int PidOf(const char* name) {
    int pid = 0;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > 100'000'000) return 0;
        pid = pid * 10 + (*c - '0');
    }
    return pid;
}

bool HasHolder(const DeviceFacts& facts, int pid) {
    for (const auto& h : facts.holders)
        if (h.pid == pid) return true;
    return false;
}

// Every process with the device open, found through its file descriptors; only
// our own and, for root, everyone's can be read. Notes ModemManager on the way.
void ScanProcesses(const std::string& device, DeviceFacts& facts, bool& modemManagerRuns) {
    DIR* proc = ::opendir("/proc");
    if (!proc) return;
    while (const dirent* entry = ::readdir(proc)) {
        const int pid = PidOf(entry->d_name);
        if (pid == 0) continue;
        const std::string dir = std::string("/proc/") + entry->d_name;
        if (ReadFirstLine(dir + "/comm") == "ModemManager") modemManagerRuns = true;
        DIR* fds = ::opendir((dir + "/fd").c_str());
        if (!fds) continue;
        bool holds = false;
        while (const dirent* fd = ::readdir(fds)) {
            if (fd->d_name[0] == '.') continue;
            char target[PATH_MAX];
            const auto n = ::readlink((dir + "/fd/" + fd->d_name).c_str(), target, sizeof target);
            if (n > 0 && std::string_view(target, static_cast<std::size_t>(n)) == device) {
                holds = true;
                break;
            }
        }
        ::closedir(fds);
        if (holds) facts.holders.push_back({pid, ProcessName(dir)});
    }
    ::closedir(proc);
}

// A lock file names its holder even where its descriptors cannot be read:
// "LCK.." and the device's name below /dev, the process number on its first
// line, in the folders where Qt's serial port and the UUCP tools leave them.
void ReadLockFiles(const std::string& device, DeviceFacts& facts) {
    std::string name = StartsWith(device, "/dev/") ? device.substr(5) : device;
    for (char& c : name)
        if (c == '/') c = '_';
    const char* tmp = std::getenv("TMPDIR");
    for (const char* folder : {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks",
                               "/var/spool/uucp", tmp && *tmp ? tmp : "/tmp"}) {
        const std::string line = ReadFirstLine(std::string(folder) + "/LCK.." + name);
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        const int pid = PidOf(line.substr(first).c_str());
        const std::string dir = "/proc/" + std::to_string(pid);
        if (pid == 0 || HasHolder(facts, pid) || ::access(dir.c_str(), F_OK) != 0) continue;
        facts.holders.push_back({pid, ProcessName(dir)});
    }
}

// ModemManager tries USB serial adapters as modems unless udev tells it not to.
bool ModemManagerProbes(const std::string& device, dev_t rdev) {
    const std::string base = device.substr(device.find_last_of('/') + 1);
    if (!StartsWith(base, "ttyACM") && !StartsWith(base, "ttyUSB")) return false;
    std::ifstream udev("/run/udev/data/c" + std::to_string(major(rdev)) + ":" +
                       std::to_string(minor(rdev)));
    for (std::string line; std::getline(udev, line);)
        if (line == "E:ID_MM_DEVICE_IGNORE=1") return false;
    return true;
}

bool SessionHasGroup(gid_t gid) {
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    return false;
}

class LinuxPortSystem final : public PortSystem {
public:
    DeviceFacts Look(const std::string& device) const override {
        DeviceFacts facts;
        facts.looked = true;
        struct stat st {};
        if (device.empty() || ::stat(device.c_str(), &st) != 0) return facts;
        facts.exists = true;
        facts.mayReadWrite = ::access(device.c_str(), R_OK | W_OK) == 0;
        const passwd* user = ::getpwuid(::getuid());
        if (user) facts.user = user->pw_name;
        if (const group* owner = ::getgrgid(st.st_gid)) {
            facts.group = owner->gr_name;
            facts.listedInGroup = user && user->pw_gid == st.st_gid;
            for (char** member = owner->gr_mem; member && *member; ++member)
                if (facts.user == *member) facts.listedInGroup = true;
        }
        facts.groupMayReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
        facts.sessionInGroup = SessionHasGroup(st.st_gid);

        // Descriptors name the device by its real path, not by a link to it.
        char* real = ::realpath(device.c_str(), nullptr);
        const std::string path = real ? real : device;
        std::free(real);
        bool modemManagerRuns = false;
        ScanProcesses(path, facts, modemManagerRuns);
        ReadLockFiles(path, facts);
        facts.modemManagerProbes = modemManagerRuns && ModemManagerProbes(path, st.st_rdev);
        return facts;
    }
};

} // namespace

std::unique_ptr<PortSystem> MakePortSystem() {
    return std::make_unique<LinuxPortSystem>();
}

} // namespace kavrin
