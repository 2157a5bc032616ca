// What the harness asks of the system beside X: child processes never left behind, as the X server
// and the program, waits on them or anything else, temporary folders and text files. Plain POSIX.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Enough for a loaded two-core machine on which the program's idle loop keeps one core busy.
constexpr std::chrono::milliseconds patience{10000};

// Polls until the condition holds; false if it still fails after the timeout.
template <typename Condition>
bool waitUntil(Condition holds, std::chrono::milliseconds timeout = patience) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

struct Launch {
    std::vector<std::string> argv;         // argv[0] is the path of the executable
    std::vector<std::string> env;          // NAME=value, added to the current environment
    std::string workDir = ".";             // the child's working directory
    std::string stderrPath = "/dev/null";  // where the child's stderr goes (truncated)
    std::string stdoutPath = "/dev/null";  // and its stdout
    int passFd = -1;                       // a descriptor the child gets as its fd 3, if any
};

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess() { terminate(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Forks and execs; false if fork failed. An exec failure shows as exit 127.
    bool start(const Launch& launch);
    pid_t pid() const { return pid_; }
    bool isAlive();
    // The raw wait status once the child has exited, or nothing after the timeout.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // SIGTERM, then SIGKILL if the child outlives the grace period; always reaps it.
    void terminate(std::chrono::milliseconds grace = std::chrono::seconds(3));

  private:
    bool reap(int options);

    pid_t pid_ = -1;
    std::optional<int> status_;
};

// A fresh directory in the system's temporary one, removed with all it holds.
class TempDir {
  public:
    explicit TempDir(const std::string& prefix);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

bool exitedCleanly(std::optional<int> waitStatus);
// How a child ended: "exit status 1", "signal 11 (Segmentation fault)", or "still running".
std::string describeEnding(std::optional<int> waitStatus);

// All of a text file, such as where a child's stderr went; empty if unreadable.
std::string readText(const std::string& path);
