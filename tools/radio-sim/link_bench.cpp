// petrel-link-bench: a 99-channel Upload and Download against petrel-radio-sim paced at
// 2400 baud, with the wall time, its ratio to the time the bytes need on the line, and the
// processor time this program spent.

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>

#include "document/program_state.h"
#include "link/port_scan.h"
#include "link/radio_link.h"
#include "link/termios_serial_port.h"
#include "ports/clock.h"
#include "ports/prompter.h"
#include "ports/status_line.h"
#include "sim_engine.h"
#include "sim_process.h"

namespace {

using namespace petrel;

// Counts the bytes every exchange took off the line: each request byte comes back as its
// echo, so these are all the bytes the wire carried for the exchange.
class CountingPort : public TermiosSerialPort {
  public:
    using TermiosSerialPort::TermiosSerialPort;
    std::vector<std::uint8_t> ReadAll() override {
        auto bytes = TermiosSerialPort::ReadAll();
        bytes_ += bytes.size();
        return bytes;
    }
    std::size_t TakeCount() { return std::exchange(bytes_, 0); }

  private:
    std::size_t bytes_ = 0;
};

// A benchmark has no one to answer: every question is a failure.
class RefusingPrompter : public Prompter {
  public:
    Answer Ask(const Message& message) override {
        std::cerr << "petrel-link-bench: unexpected question: " << message.text << '\n';
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

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Measure {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    double cpu = CpuSeconds();
};

void Report(const char* what, const Measure& start, std::size_t bytes) {
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start.wall).count();
    const double line = static_cast<double>(bytes * sim::kByteTimeUs) / 1e6;
    std::printf("%-22s wall %6.2f s   line %6.2f s (%zu bytes)   wall/line %.2f   CPU %.3f s\n",
                what, wall, line, bytes, wall / line, CpuSeconds() - start.cpu);
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::string simPath = (fs::path(argv[0]).parent_path() / "petrel-radio-sim").string();
    if (argc > 2 && std::string(argv[1]) == "--sim") {
        simPath = argv[2];
    } else if (argc > 1) {
        std::cout << "usage: petrel-link-bench [--sim PATH-TO-petrel-radio-sim]\n";
        return argc == 2 && std::string(argv[1]) == "--help" ? 0 : 2;
    }
    try {
        sim::SimProcess radio(simPath, {"--pace", "--quiet", "--serial", "PT-BENCH-0001"});
        CountingPort port({radio.Device()});
        ProgramState state;
        RefusingPrompter prompter;
        SilentStatus status;
        SteadyClock clock;
        LinkHost host;
        DetectRS(state, port, prompter);
        RadioLink link(state, port, clock, prompter, status, host);

        std::printf("petrel-link-bench: 99-channel radio on %s, paced at 2400 baud\n",
                    radio.Device().c_str());
        port.TakeCount();
        const Measure upload;
        const TransferResult read = link.RadioTransfer(TransferOp::Upload);
        Report("Upload (read radio)", upload, port.TakeCount());
        if (!read.openedSlot || prompter.asked) {
            std::cerr << "petrel-link-bench: the Upload failed\n";
            return 1;
        }

        class ActiveHost : public LinkHost {
          public:
            explicit ActiveHost(int slot) : slot_(slot) {}
            int ActiveSlot() const override { return slot_; }

          private:
            int slot_;
        } active(*read.openedSlot);
        RadioLink writer(state, port, clock, prompter, status, active);
        const Measure download;
        const TransferResult written = writer.RadioTransfer(TransferOp::Download);
        Report("Download (write radio)", download, port.TakeCount());
        if (!written.completed || prompter.asked) {
            std::cerr << "petrel-link-bench: the Download failed\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "petrel-link-bench: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
