// petrel-fleet-bench: a fleet of 99-channel radios programmed one after the other against
// petrel-radio-sim --fleet paced at 2400 baud, beside a single Download (with its backup read,
// as the fleet makes one of every radio): the seconds each radio costs, and how much of that is
// the fleet's own work (the customer blocks, their read-back, the waits for a radio to come and
// go, the history record).

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/document/new_config.h"
#include "core/fleet/fleet_run.h"
#include "core/history/service_history.h"
#include "core/link/port_scan.h"
#include "core/link/radio_link.h"
#include "core/link/termios_serial_port.h"
#include "core/model/workspace.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"
#include "sim_process.h"

namespace {

using namespace petrel;
namespace fs = std::filesystem;

// A benchmark has no one to answer: every question is a failure.
class RefusingPrompter : public Prompter {
  public:
    Answer Ask(const Message& message) override {
        std::cerr << "petrel-fleet-bench: unexpected question: " << message.text << '\n';
        asked = true;
        return Answer::No;
    }
    bool asked = false;
};

class SilentStatus : public StatusLine {
  public:
    void SetStatus(const std::string& text, int, int) override { text_ = text; }
    std::string Text() const override { return text_; }
    int Color() const override { return kStatusBlack; }
    void ShowProgress(bool) override {}
    void SetProgressRange(int) override {}
    void SetProgress(int) override {}

  private:
    std::string text_;
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

constexpr const char* kUsage =
    "usage: petrel-fleet-bench [--sim PATH-TO-petrel-radio-sim] [--radios N] [--gap MS]\n"
    "  --radios N  radios in the fleet (default 10)\n"
    "  --gap MS    the simulated time between one radio going and the next coming (default "
    "1000)\n";

}  // namespace

int main(int argc, char** argv) {
    // Beside this program when installed; in the build folder, the simulator's own folder.
    const fs::path here = fs::path(argv[0]).parent_path();
    std::string simPath = (here / "petrel-radio-sim").string();
    if (!fs::exists(simPath)) {
        simPath = (here / ".." / "radio-sim" / "petrel-radio-sim").string();
    }
    int radios = 10;
    int gapMs = 1000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sim" && i + 1 < argc) {
            simPath = argv[++i];
        } else if (arg == "--radios" && i + 1 < argc) {
            radios = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--gap" && i + 1 < argc) {
            gapMs = std::max(0, std::atoi(argv[++i]));
        } else {
            std::cout << kUsage;
            return arg == "--help" ? 0 : 2;
        }
    }
    const fs::path folder =
        fs::temp_directory_path() / ("petrel-fleet-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    bool ok = false;
    try {
        Workspace workspace;
        const int slot = BuildNewConfiguration(workspace, 9, 99);
        const Document& doc = workspace.At(slot);
        SilentStatus status;
        SteadyClock clock;

        // One Download with its backup read, as the desktop program's default makes it.
        double single = 0;
        {
            sim::SimProcess radio(simPath, {"--pace", "--quiet", "--delay", "0"});
            TermiosSerialPort port({radio.Device()});
            RefusingPrompter prompter;
            RadioLink link(port, clock, prompter, status);
            link.Frames().SetPorts(DetectRS(port, prompter).numbers);
            link.Images().SetBackupPolicy({(folder / "single").string(), true});
            const auto start = std::chrono::steady_clock::now();
            const bool written = link.Images().Download(doc).completed && !prompter.asked;
            single = Since(start);
            if (!written) {
                throw std::runtime_error("the single Download failed");
            }
        }

        sim::SimProcess fleet(
            simPath, {"--pace", "--quiet", "--delay", "0", "--fleet", std::to_string(radios),
                      "--fleet-gap", std::to_string(gapMs)});
        TermiosSerialPort port({fleet.Device()});
        RefusingPrompter scan;
        FleetPrompter prompter;
        RadioLink link(port, clock, prompter, status);
        link.Frames().SetPorts(DetectRS(port, scan).numbers);
        auto history = OpenServiceHistory((folder / "history.sqlite").string(), clock);
        FleetOptions options;
        options.count = radios;
        options.customer = "BENCH";
        std::string why;
        options.serial = *ParseSerialPattern("BENCH-0001", why);
        options.backupFolder = (folder / "fleet").string();
        FleetRun run(link, prompter, clock, doc, options, history.get());

        // Each radio's own work: from the moment it answered to the moment its row was added.
        double working = 0;
        auto started = std::chrono::steady_clock::now();
        FleetState last = FleetState::WaitingForRadio;
        run.radioDone = [&](const FleetRadio&) { working += Since(started); };
        const auto begin = std::chrono::steady_clock::now();
        while (last != FleetState::Finished) {
            started = std::chrono::steady_clock::now();
            last = run.Step();
        }
        const double total = Since(begin);
        ok = run.AllWritten() && static_cast<int>(run.Radios().size()) == radios;

        std::printf(
            "petrel-fleet-bench: %d radios of 99 channels, paced at 2400 baud, %d ms between "
            "radios\n",
            radios, gapMs);
        std::printf("single Download with its backup   %7.2f s\n", single);
        std::printf("fleet, all radios                  %7.2f s   %s\n", total,
                    run.Summary().c_str());
        std::printf("fleet, per radio                   %7.2f s   (%.2f x the single Download)\n",
                    total / radios, total / radios / single);
        std::printf("fleet, per radio, its work only    %7.2f s   (%.2f x the single Download)\n",
                    working / radios, working / radios / single);
        std::printf(
            "fleet, per radio, waiting          %7.2f s   (a radio going and the next "
            "coming)\n",
            (total - working) / radios);
    } catch (const std::exception& error) {
        std::cerr << "petrel-fleet-bench: " << error.what() << '\n';
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return ok ? 0 : 1;
}
