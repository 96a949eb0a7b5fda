#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace petrel::cli {

// Exit codes of petrel-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// What the command line takes from its surroundings; main() fills it, tests set their own.
struct CliEnvironment {
    std::optional<std::string> ports;  // PETREL_PORTS, when set
    std::optional<std::string> trace;  // PETREL_TRACE, when set: the serial trace's file
    bool errIsTerminal = false;        // draw a progress bar on the error stream
};

// Runs one command line (without the program name); messages go to err, results to out.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment = {});

}  // namespace petrel::cli
