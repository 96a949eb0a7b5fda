#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
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
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        // The simulator goes when the process that started it goes, however that ends (a test
        // killed at its time-out among them): a radio left behind would keep its port busy.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (::dup2(out[1], STDOUT_FILENO) < 0 || log < 0 || ::dup2(log, STDERR_FILENO) < 0) {
            ::_exit(127);
        }
        ::execve(program.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    ::close(out[1]);
    if (pid_ < 0) {
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
