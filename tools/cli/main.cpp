#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli.h"
#include "core/history/service_history.h"
#include "core/link/link_trace.h"
#include "core/util/descriptor_output.h"

#ifdef PETREL_CLI_PDF
#include <QGuiApplication>

#include "ui/print/painter_print_surface.h"

namespace {

// Qt's own notices (about the session's folders, say) are not the command's business.
void QuietQtNotices(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << "petrel-cli: " << message.toStdString() << '\n';
    }
}

// Qt draws the PDF; its fonts need a GUI application, which on the offscreen platform needs
// no display. It lives for this one command only.
petrel::PrintResult WritePdf(const std::string& path, const petrel::Paper& paper,
                             const petrel::Authorization& authorization,
                             const petrel::Document& doc, const petrel::LocalTime& printedAt) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtNotices);
    int argc = 1;
    char name[] = "petrel-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    return petrel::WriteReportPdf(path, petrel::ReportPageLayout(paper), authorization, doc,
                                  printedAt);
}

}  // namespace
#endif

namespace {

// PETREL_HISTORY names the service history (empty: none); else it is the desktop program's.
std::optional<std::string> HistoryPath(const std::optional<std::string>& folder) {
    if (const char* path = std::getenv("PETREL_HISTORY")) {
        return *path != '\0' ? std::optional<std::string>(path) : std::nullopt;
    }
    if (!folder) {
        return std::nullopt;
    }
    std::error_code ignored;  // a folder that cannot be made is the history's to report
    std::filesystem::create_directories(*folder, ignored);
    return *folder + "/" + petrel::kHistoryFileName;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    petrel::cli::CliEnvironment environment;
    if (const char* ports = std::getenv("PETREL_PORTS")) {
        environment.ports = ports;
    }
    if (const char* trace = std::getenv(petrel::kTraceVariable);
        trace != nullptr && *trace != '\0') {
        environment.trace = trace;
    }
    environment.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        environment.workingFolder = petrel::cli::DesktopWorkingFolder(
            home, config != nullptr && *config != '\0' ? config : std::string(home) + "/.config");
    }
    environment.historyPath = HistoryPath(environment.workingFolder);
#ifdef PETREL_CLI_PDF
    environment.writePdf = WritePdf;
#endif
    // Results go out through a buffer that keeps the reason of a failed write: a full disk or
    // a closed pipe must not leave an empty result behind an exit status of success.
    petrel::DescriptorBuffer results(STDOUT_FILENO, false);
    std::ostream out(&results);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int exit = petrel::cli::RunCli(args, out, std::cerr, environment);
    out.flush();
    if (results.Close() != 0) {
        std::cerr << "petrel-cli: the output could not be written: " << results.ErrorText() << '\n';
        return petrel::cli::OutputFailureExit(args);
    }
    return exit;
}
