#pragma once
// Starting and watching real programs for the end-to-end tests.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kavrin::test {

// A program started with args and this process's environment; stdout and
// stderr go to outputFile when given. It is killed if still running at the end.
class Process {
public:
    Process(const std::string& program, const std::vector<std::string>& args,
            const std::string& outputFile = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    void Signal(int signal) const;
    // Exit status (or 128 + signal); -1 when it did not end within the limit.
    int Wait(std::chrono::milliseconds limit);
    pid_t pid() const { return pid_; }

private:
    bool Running();
    pid_t pid_ = -1;
    int status_ = -1;
};

// Polls until done() holds or the limit passes. The end-to-end tests wait on
// other programs' output this way; nothing here stands in for a timer.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

std::string ReadWholeFile(const std::string& path);
std::string MakeTempDir();
std::string BinDir();

} // namespace kavrin::test
