#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "core/link/link_trace.h"
#include "core/link/port_scan.h"
#include "core/ports/clock.h"
#include "core/shell/program_state.h"
#include "release.h"
#include "ui/common/qt_ports.h"
#include "ui/common/user_settings.h"
#include "ui/link/serial_radio.h"
#include "ui/shell/main_window.h"
#include "ui/shell/quit_signals.h"
#include "ui/shell/tool_icons.h"

namespace {

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption version{{"v", "version"}, "Displays version information."};

    CommandLine() {
        parser.setApplicationDescription(
            "Dealer programming software for Petrel radios. Opens each FILE.cfg given.");
        parser.addHelpOption();
        parser.addOption(version);
        parser.addPositionalArgument("files", "Configurations to open after start-up.",
                                     "[FILE.cfg...]");
    }
};

// --help and --version are answered on the terminal, which needs no display: they are looked
// for before the QApplication, which does.
bool AsksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            return false;
        }
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" ||
            arg == "--version") {
            return true;
        }
    }
    return false;
}

void NameApplication() {
    QCoreApplication::setApplicationName("Petrel CPS");
    QCoreApplication::setApplicationVersion(QString::fromLatin1(petrel::kReleaseVersion));
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForTextOnly(argc, argv)) {
        const QCoreApplication text(argc, argv);
        NameApplication();
        CommandLine command;
        command.parser.process(text);  // help, and usage errors, end the program here
        if (command.parser.isSet(command.version)) {
            std::fputs(petrel::VersionText("petrel-cps").c_str(), stdout);
        }
        return 0;
    }

    QApplication app(argc, argv);
    NameApplication();
    QApplication::setWindowIcon(petrel::ToolIcon("Radio"));
    petrel::QuitOnTerminationSignals();
    // The desktop entry's name: the desktop shows its icon for the program's windows.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(petrel::kDesktopId));

    CommandLine command;
    QCommandLineParser& parser = command.parser;
    parser.process(app);
    // Named from the folder the program was started in, before it moves to its own.
    QStringList files;
    for (const QString& file : parser.positionalArguments()) {
        files << QDir::current().absoluteFilePath(file);
    }

    if (petrel::EnterWorkingFolder().isEmpty()) {
        std::fprintf(stderr,
                     "petrel-cps: cannot create or enter the Petrel CPS documents folder; "
                     "files are read and written in the current folder\n");
    }

    petrel::ProgramState state;
    petrel::UserSettings settings;
    petrel::QtPrompter prompter;
    petrel::QtFileChooser chooser;
    chooser.SetSettings(&settings);
    petrel::SteadyClock clock(petrel::PumpEvents);
    // The port the user chose to use first, unless PETREL_PORTS gives the ports and their order.
    petrel::SerialRadio radio(
        petrel::SerialDevicesFromEnvironment(), petrel::SerialDevicesFromEnvironment,
        petrel::PortsFromEnvironment() ? std::string() : settings.PreferredPort().toStdString());
    if (const char* trace = std::getenv(petrel::kTraceVariable);
        trace != nullptr && *trace != '\0') {
        if (auto traced = petrel::LinkTrace::Append(trace, clock.WallTime())) {
            radio.SetTrace(std::move(*traced));
        } else {
            std::fprintf(stderr, "petrel-cps: %s; the radio link is not traced\n",
                         traced.Message().c_str());
        }
    }

    petrel::MainWindow window(state, prompter, chooser, clock, radio, settings);
    prompter.SetParent(&window);
    chooser.SetParent(&window);
    window.StartUp();
    if (petrel::TerminationRequested()) {
        return 0;  // stopped while starting up: nothing is open yet that needs closing
    }
    window.OpenFiles(files);
    return QApplication::exec();
}
