#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace petrel::sim {

// petrel-radio-sim running as a child process: started with its arguments, its device path
// read from the first line it prints, stopped (SIGTERM, then waited for) when the object goes.
class SimProcess {
  public:
    // Throws std::runtime_error when the simulator does not start or prints no device.
    SimProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& logPath = "/dev/null");
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& Device() const { return device_; }
    // Stops the simulator and returns its exit status (-1 when it did not exit normally).
    int Stop();

  private:
    pid_t pid_ = -1;
    int exitStatus_ = -1;
    std::string device_;
};

}  // namespace petrel::sim
