#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace petrel::sim {

namespace {
constexpr int kStartTimeoutMs = 10'000;
}

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& args,
                       const std::string& logPath) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(),
                                       O_WRONLY | O_CREAT | O_APPEND, 0644);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const int spawned =
        ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        pid_ = -1;
        throw std::runtime_error("cannot start " + program);
    }
    // The first line is the device path.
    std::string line;
    for (;;) {
        pollfd in{out[0], POLLIN, 0};
        char c = 0;
        if (::poll(&in, 1, kStartTimeoutMs) <= 0 || ::read(out[0], &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            device_ = line;
            break;
        }
        line.push_back(c);
    }
    ::close(out[0]);
    if (device_.empty()) {
        Stop();
        throw std::runtime_error(program + " printed no device");
    }
}

SimProcess::~SimProcess() {
    Stop();
}

int SimProcess::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        if (::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status)) {
            exitStatus_ = WEXITSTATUS(status);
        }
        pid_ = -1;
    }
    return exitStatus_;
}

}  // namespace petrel::sim
