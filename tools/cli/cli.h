#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace petrel::cli {

// Exit codes of petrel-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs one command line (without the program name); messages go to err, results to out.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace petrel::cli
