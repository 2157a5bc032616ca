// Child processes, waits, temporary folders and text files.
#include "posix.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string current = *entry;
        const std::string prefix = current.substr(0, current.find('=')) + "=";
        if (std::none_of(extra.begin(), extra.end(),
                         [&](const std::string& e) { return e.rfind(prefix, 0) == 0; })) {
            merged.push_back(current);
        }
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result(strings.size() + 1, nullptr);
    std::transform(strings.begin(), strings.end(), result.begin(),
                   [](auto& s) { return s.data(); });
    return result;
}

// Runs in the child between fork and exec, so it sticks to system calls.
[[noreturn]] void becomeChild(const Launch& launch, char** argv, char** envp, pid_t parent) {
    // A parent killed by a timeout must not leave the child running on.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int null = open("/dev/null", O_RDWR);
    const int out = open(launch.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(launch.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (getppid() != parent || null < 0 || out < 0 || err < 0 ||
        chdir(launch.workDir.c_str()) != 0) {
        _exit(126);
    }
    dup2(null, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (launch.passFd >= 0) {
        dup2(launch.passFd, 3);
    }
    // Leaves nothing of the parent's own, such as its X connection, open in the child.
    close_range(launch.passFd >= 0 ? 4 : 3, ~0U, 0);
    execve(argv[0], argv, envp);
    _exit(127);
}

}  // namespace

bool ChildProcess::start(const Launch& launch) {
    std::vector<std::string> args = launch.argv;
    std::vector<std::string> env = mergedEnvironment(launch.env);
    std::vector<char*> argv = pointers(args);
    std::vector<char*> envp = pointers(env);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        becomeChild(launch, argv.data(), envp.data(), parent);
    }
    status_.reset();
    return pid_ > 0;
}

bool ChildProcess::reap(int options) {
    int status = 0;
    if (pid_ > 0 && !status_ && waitpid(pid_, &status, options) == pid_) {
        status_ = status;
    }
    return status_.has_value();
}

bool ChildProcess::isAlive() {
    return pid_ > 0 && !reap(WNOHANG);
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    waitUntil([&] { return !isAlive(); }, timeout);
    return status_;
}

void ChildProcess::terminate(std::chrono::milliseconds grace) {
    if (!isAlive()) {
        return;
    }
    kill(pid_, SIGTERM);
    if (!waitForExit(grace)) {
        kill(pid_, SIGKILL);
        reap(0);
    }
}

TempDir::TempDir(const std::string& prefix)
    : path_((std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string()) {
    if (mkdtemp(path_.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary directory for " + prefix);
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool exitedCleanly(std::optional<int> waitStatus) {
    return waitStatus && WIFEXITED(*waitStatus) && WEXITSTATUS(*waitStatus) == 0;
}

std::string describeEnding(std::optional<int> waitStatus) {
    if (!waitStatus) {
        return "still running";
    }
    if (WIFSIGNALED(*waitStatus)) {
        const int signal = WTERMSIG(*waitStatus);
        return "signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    }
    return "exit status " + std::to_string(WEXITSTATUS(*waitStatus));
}

std::string readText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}
