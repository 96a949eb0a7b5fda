#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/print/print_report.h"

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
    // The desktop program's working folder ("~/Documents/Petrel CPS"), where backups are kept.
    std::optional<std::string> workingFolder;
    // The service history's database: radio operations are recorded there and the history
    // command reads it. Nothing when there is none.
    std::optional<std::string> historyPath;
    // Writes the report as a PDF file; empty when petrel-cli is built without Qt.
    std::function<PrintResult(const std::string& path, const Paper& paper,
                              const Authorization& authorization, const Document& doc,
                              const LocalTime& printedAt)>
        writePdf;
};

// The desktop program's working folder for a home folder: "Petrel CPS" in the documents folder
// that the user-dirs file in configHome names (XDG_DOCUMENTS_DIR), else in home's "Documents".
std::string DesktopWorkingFolder(const std::string& home, const std::string& configHome);

// The exit status of a command line whose results could not be written whole: 1, or for diff
// (whose 1 means "they differ") 2, as diff(1) reports trouble.
int OutputFailureExit(const std::vector<std::string>& args);

// Runs one command line (without the program name); messages go to err, results to out.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment = {});

}  // namespace petrel::cli
