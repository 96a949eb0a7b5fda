// petrel-link-bench: a 99-channel Upload and Download against petrel-radio-sim paced at
// 2400 baud, with the wall time, its ratio to the time the bytes need on the line and to the
// protocol's floor (the line time, the radio's time before each answer and the 0.1 s settling
// after each DTR raise), and the processor time this program spent.

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/document/document_lifecycle.h"
#include "core/link/link_trace.h"
#include "core/link/port_scan.h"
#include "core/link/radio_link.h"
#include "core/link/termios_serial_port.h"
#include "core/model/workspace.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/ports/status_line.h"
#include "sim_engine.h"
#include "sim_process.h"

namespace {

using namespace petrel;

constexpr double kSettleSeconds = 0.1;  // after every DTR raise

struct Counts {
    std::size_t bytes = 0;    // every request byte comes back as its echo: all the wire carried
    std::size_t answers = 0;  // exchanges, each with one answer of the radio
    std::size_t settlings = 0;
};

// Counts what the operation took off the line and how often it raised DTR.
class CountingPort : public TermiosSerialPort {
  public:
    using TermiosSerialPort::TermiosSerialPort;
    std::vector<std::uint8_t> ReadAll() override {
        auto bytes = TermiosSerialPort::ReadAll();
        counts_.bytes += bytes.size();
        counts_.answers += bytes.empty() ? 0 : 1;
        return bytes;
    }
    void RaiseDtr() override {
        ++counts_.settlings;
        TermiosSerialPort::RaiseDtr();
    }
    Counts Take() { return std::exchange(counts_, Counts{}); }

  private:
    Counts counts_;
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

void Report(const char* what, const Measure& start, const Counts& counts, int answerDelayMs) {
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start.wall).count();
    const double line = static_cast<double>(counts.bytes * sim::kByteTimeUs) / 1e6;
    const double floor = line + static_cast<double>(counts.answers * answerDelayMs) / 1e3 +
                         static_cast<double>(counts.settlings) * kSettleSeconds;
    std::printf(
        "%-22s wall %6.2f s   line %6.2f s (%zu bytes)   floor %6.2f s (%zu answers, %zu "
        "settlings)   wall/line %.3f   wall/floor %.3f   CPU %.3f s\n",
        what, wall, line, counts.bytes, floor, counts.answers, counts.settlings, wall / line,
        wall / floor, CpuSeconds() - start.cpu);
}

constexpr const char* kUsage =
    "usage: petrel-link-bench [--sim PATH-TO-petrel-radio-sim] [--delay MS] [--trace FILE]\n"
    "  --delay MS    the simulated radio's time before each answer (default 0: it answers at "
    "once)\n"
    "  --trace FILE  keep the trace of the traced runs (default: a temporary file)\n";

// An Upload, then a Download of what it read; false when either failed.
bool UploadThenDownload(RadioLink& link, CountingPort& port, Workspace& workspace,
                        const RefusingPrompter& prompter, int answerDelayMs, bool traced) {
    port.Take();
    const Measure upload;
    TransferResult read = link.Images().Upload();
    Report(traced ? "Upload, traced" : "Upload", upload, port.Take(), answerDelayMs);
    if (!read.read || prompter.asked) {
        std::cerr << "petrel-link-bench: the Upload failed\n";
        return false;
    }
    const int slot = OpenRadioRead(workspace, std::move(*read.read));
    const Measure download;
    const TransferResult written = link.Images().Download(workspace.At(slot));
    Report(traced ? "Download, traced" : "Download", download, port.Take(), answerDelayMs);
    if (!written.completed || prompter.asked) {
        std::cerr << "petrel-link-bench: the Download failed\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::string simPath = (fs::path(argv[0]).parent_path() / "petrel-radio-sim").string();
    int answerDelayMs = 0;
    std::string tracePath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sim" && i + 1 < argc) {
            simPath = argv[++i];
        } else if (arg == "--delay" && i + 1 < argc) {
            answerDelayMs = std::atoi(argv[++i]);
        } else if (arg == "--trace" && i + 1 < argc) {
            tracePath = argv[++i];
        } else {
            std::cout << kUsage;
            return arg == "--help" ? 0 : 2;
        }
    }
    const bool keepTrace = !tracePath.empty();
    if (!keepTrace) {
        tracePath = (fs::temp_directory_path() /
                     ("petrel-link-bench-" + std::to_string(::getpid()) + ".trace"))
                        .string();
    }
    bool ok = false;
    try {
        sim::SimProcess radio(
            simPath, {"--pace", "--quiet", "--delay", std::to_string(answerDelayMs), "--serial",
                      "PT-BENCH-0001"});
        CountingPort port({radio.Device()});
        Workspace workspace;
        RefusingPrompter prompter;
        SilentStatus status;
        SteadyClock clock;
        RadioLink link(port, clock, prompter, status);
        link.Frames().SetPorts(DetectRS(port, prompter).numbers);

        std::printf(
            "petrel-link-bench: 99-channel radio on %s, paced at 2400 baud, answering after "
            "%d ms\n",
            radio.Device().c_str(), answerDelayMs);
        ok = UploadThenDownload(link, port, workspace, prompter, answerDelayMs, false);
        if (ok) {
            auto traced = LinkTrace::Append(tracePath, clock.WallTime());
            if (!traced) {
                throw std::runtime_error(traced.Message());
            }
            const std::unique_ptr<LinkTrace> trace = std::move(*traced);
            link.Frames().SetTrace(trace.get());
            ok = UploadThenDownload(link, port, workspace, prompter, answerDelayMs, true);
            link.Frames().SetTrace(nullptr);
        }
        if (ok) {
            std::printf("trace: %s, %ju bytes\n", tracePath.c_str(),
                        static_cast<std::uintmax_t>(fs::file_size(tracePath)));
        }
    } catch (const std::exception& error) {
        std::cerr << "petrel-link-bench: " << error.what() << '\n';
    }
    if (!keepTrace) {
        std::error_code ignored;
        fs::remove(tracePath, ignored);
    }
    return ok ? 0 : 1;
}
