#include "process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kavrin::test {

Process::Process(const std::string& program, const std::vector<std::string>& args,
                 const std::string& outputFile) {
    pid_ = ::fork();
    if (pid_ != 0) return;
    if (!outputFile.empty()) {
        const int fd = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

Process::~Process() {
    if (!Running()) return;
    Signal(SIGKILL);
    Wait(std::chrono::seconds(5));
}

void Process::Signal(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
}

bool Process::Running() {
    if (pid_ <= 0 || status_ != -1) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

int Process::Wait(std::chrono::milliseconds limit) {
    WaitUntil([this] { return !Running(); }, limit);
    return status_;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string MakeTempDir() {
    char pattern[] = "/tmp/kavrin-test-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

std::string BinDir() {
    const char* dir = std::getenv("KAVRIN_BIN_DIR");
    return dir ? dir : ".";
}

} // namespace kavrin::test
