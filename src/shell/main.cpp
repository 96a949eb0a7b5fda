#include <QApplication>

#include <cstdio>

#include "document/program_state.h"
#include "ports/clock.h"
#include "shell/main_window.h"
#include "shell/qt_ports.h"
#include "shell/radio_seam.h"

namespace {

// Until the radio link is wired in: no port, and transfers say why they cannot run.
class NoRadio : public petrel::RadioSeam {
public:
    void DetectPorts(petrel::ProgramState& state, petrel::Prompter&) override {
        state.PortList.clear();
        state.PortCount = 0;
    }
    std::optional<int> Transfer(petrel::ProgramState&, int, int, petrel::Prompter& prompter,
                                petrel::StatusLine&, petrel::Clock&) override {
        prompter.Tell("The radio link is not available in this build.");
        return std::nullopt;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Petrel CPS");

    if (petrel::EnterWorkingFolder().isEmpty()) {
        std::fprintf(stderr, "petrel-cps: cannot create or enter the Petrel CPS documents folder; "
                             "files are read and written in the current folder\n");
    }

    petrel::ProgramState state;
    petrel::QtPrompter prompter;
    petrel::QtFileChooser chooser;
    petrel::SteadyClock clock(petrel::PumpEvents);
    NoRadio radio;

    petrel::MainWindow window(state, prompter, chooser, clock, radio);
    prompter.SetParent(&window);
    chooser.SetParent(&window);
    window.StartUp();
    return QApplication::exec();
}
