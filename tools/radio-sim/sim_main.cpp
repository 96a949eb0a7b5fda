// petrel-radio-sim: a simulated Petrel radio on a pseudo-terminal.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/link/frame_protocol.h"
#include "release.h"
#include "sim_engine.h"

namespace {

using petrel::sim::Fault;
using petrel::sim::FaultKind;
using petrel::sim::FrameKind;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitTransmitting = 3;

constexpr const char* kHelp = R"(usage: petrel-radio-sim [OPTIONS]

A simulated Petrel radio on its programming cable, for dealer training, demonstrations and
tests. It opens a pseudo-terminal, prints the device path as the first line on standard output,
and answers the programming software on that device until it is stopped (Ctrl+C or SIGTERM).
Point the software at it with  petrel-cli read --port DEVICE ...  or  PETREL_PORTS=DEVICE.
Like the real cable, the line echoes every byte the computer sends.

Radio:
  --band N             band number the radio reports (default 9; 1..12 are known bands,
                       0 and 13..255 make an unknown radio)
  --channels 16|99     a 16- or a 99-channel radio (default 99; with --load, the file's)
  --blank              a never-programmed radio: every memory byte 0xFF
  --serial TEXT        serial number in the information page (12 characters)
  --customer TEXT      customer name in the information page (15 characters)
  --load FILE.cfg      memory from FILE.cfg and the FILE.ptx beside it; the band follows the
                       file unless --band is given
  --transmitting       start in the transmit test with the transmitter keyed, as a program
                       that ended without the closing code leaves a radio
  --save FILE.cfg      on exit, write the radio's memory as FILE.cfg and FILE.ptx, as an
                       Upload would give them (give the --load file to save it back)

Fleet (programming several radios one after the other):
  --fleet N            N radios come to the cable one after the other, each with its own
                       memory and the serial number SIM0001, SIM0002, ...; a radio goes once it
                       has been written and sent the closing code 90H (or, refused or given up,
                       after 2 s without block reads or writes), and the next one comes after a
                       short gap
  --fleet-gap MS       the time between one radio going and the next coming (default 1000)
  --fleet-band I:B     radio I of the fleet reports band B (a radio of another band)
  --fleet-faulty I     the faults below apply to radio I of the fleet only (default: every one)

Alignment (what the radio measures, read by the calibration dialogs):
  --noise LIST         squelch noise level readings (page 1, index 0xA4; default 40)
  --vox LIST           VOX level readings (page 2, index 0x06; default 60)
  --battery LIST       battery level readings (page 2, index 0x07; default 125)
      LIST is readings 0..255 separated by commas, given out in turn; the last one repeats
      (120,121,121 settles on the third reading). "cycle:" before the list starts it again
      after its end, so cycle:120,121 never settles.
  The log shows every change of test state (0x92 alignment, 0xAC receive test, 0xAD transmit
  test, 0xAA back to normal) and of the transmitter (0xAB keys it in the transmit test, 0x86
  releases it; its power is the last value written to page 0, index 0x00). On exit the radio
  says whether it was left transmitting or in a test state.

Line:
  --pace               pace every byte at 2400 baud as the real cable does (a pseudo-terminal
                       has no line speed of its own); without it bytes travel at once
  --delay MS           the radio's time before each answer (default 1)
  --link PATH          also make PATH a symbolic link to the device (removed on exit)

Faults:
  --silent             the radio never answers (the cable still echoes)
  --wrong-check N      answer the first N checks with 0x00 instead of 0x11
  --drop FRAME         no answer to a frame
  --short FRAME        the answer one byte short
  --long FRAME         the answer one byte too long
  --bad-readback WINDOW a block write stores (and reads back) its first byte inverted
      FRAME is KIND[@SKIP][xCOUNT]: KIND is check, identify, read, write, param-read or
      param-write; SKIP frames of that kind go well first (default 0); then COUNT frames are
      spoiled (default 1; "all" for every one). WINDOW is [@SKIP][xCOUNT] of the block writes.
      Example: --drop read@10 drops the answer to the 11th block read.

Log:
  --log FILE           log every frame received to FILE instead of standard error
  --quiet              no frame log
  --help               this text
  --version            the version and the licence

Exit status: 0 when stopped normally, 1 when the device cannot be made or a file not read or
written, 2 for a usage error, 3 when the radio was left transmitting.
)";

struct UsageError {
    std::string reason;
};

struct Options {
    int band = 9;
    bool bandGiven = false;
    std::optional<int> channels;
    bool blank = false;
    bool transmitting = false;
    std::string serialNo;
    std::string customer;
    std::string loadPath;
    std::string savePath;
    bool pace = false;
    std::int64_t delayUs = 1'000;
    std::string linkPath;
    bool silent = false;
    std::vector<Fault> faults;
    // Measured parameters: page, index and readings.
    std::vector<std::tuple<std::uint8_t, std::uint8_t, petrel::sim::Measurement>> measurements;
    int fleet = 0;
    std::int64_t fleetGapUs = 1'000'000;
    std::vector<std::pair<int, int>> fleetBands;  // radio, band
    int fleetFaulty = 0;                          // 0: every radio
    std::string logPath;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

int ParseNumber(const std::string& text, int low, int high, const std::string& what) {
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || text.empty() || value < low || value > high) {
        throw UsageError{what + " must be a number from " + std::to_string(low) + " to " +
                         std::to_string(high)};
    }
    return value;
}

// [@SKIP][xCOUNT] after the kind.
void ParseWindow(const std::string& text, Fault& fault) {
    std::string rest = text;
    const std::size_t x = rest.find('x');
    if (x != std::string::npos) {
        const std::string count = rest.substr(x + 1);
        fault.count = count == "all" ? -1 : ParseNumber(count, 1, 1'000'000, "the fault count");
        rest.resize(x);
    }
    if (!rest.empty()) {
        if (rest[0] != '@') {
            throw UsageError{"a fault window is [@SKIP][xCOUNT], not " + text};
        }
        fault.skip = ParseNumber(rest.substr(1), 0, 1'000'000, "the frames to skip");
    }
}

Fault ParseFrameFault(FaultKind kind, const std::string& text) {
    const std::size_t end = text.find_first_of("@x");
    const auto frame = petrel::sim::FrameKindFromName(text.substr(0, end));
    if (!frame) {
        throw UsageError{"unknown frame kind in " + text};
    }
    Fault fault{kind, *frame, 0, 1, 0};
    ParseWindow(end == std::string::npos ? std::string() : text.substr(end), fault);
    return fault;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw UsageError{arg + " needs a value"};
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--band") {
            options.band = ParseNumber(value(), 0, 255, "--band");
            options.bandGiven = true;
        } else if (arg == "--channels") {
            const int channels = ParseNumber(value(), 16, 99, "--channels");
            if (channels != 16 && channels != 99) {
                throw UsageError{"--channels is 16 or 99"};
            }
            options.channels = channels;
        } else if (arg == "--blank") {
            options.blank = true;
        } else if (arg == "--transmitting") {
            options.transmitting = true;
        } else if (arg == "--serial") {
            options.serialNo = value();
        } else if (arg == "--customer") {
            options.customer = value();
        } else if (arg == "--load") {
            options.loadPath = value();
        } else if (arg == "--save") {
            options.savePath = value();
        } else if (arg == "--pace") {
            options.pace = true;
        } else if (arg == "--delay") {
            options.delayUs = ParseNumber(value(), 0, 10'000, "--delay") * 1000LL;
        } else if (arg == "--link") {
            options.linkPath = value();
        } else if (arg == "--silent") {
            options.silent = true;
        } else if (arg == "--wrong-check") {
            options.faults.push_back(Fault{FaultKind::WrongCheck, FrameKind::Check, 0,
                                           ParseNumber(value(), 1, 1'000'000, "--wrong-check"), 0});
        } else if (arg == "--drop") {
            options.faults.push_back(ParseFrameFault(FaultKind::Drop, value()));
        } else if (arg == "--short") {
            options.faults.push_back(ParseFrameFault(FaultKind::Short, value()));
        } else if (arg == "--long") {
            options.faults.push_back(ParseFrameFault(FaultKind::Long, value()));
        } else if (arg == "--bad-readback") {
            Fault fault{FaultKind::BadReadback, FrameKind::WriteBlock, 0, 1, 0};
            ParseWindow(value(), fault);
            options.faults.push_back(fault);
        } else if (arg == "--noise" || arg == "--vox" || arg == "--battery") {
            const auto measurement = petrel::sim::ParseMeasurement(value());
            if (!measurement) {
                throw UsageError{arg + " takes readings 0..255 separated by commas"};
            }
            const bool noise = arg == "--noise";
            options.measurements.emplace_back(
                noise ? petrel::kSquelchNoisePage : petrel::kControlPage,
                noise            ? petrel::kSquelchNoiseIndex
                : arg == "--vox" ? petrel::kVoxLevelIndex
                                 : petrel::kBatteryLevelIndex,
                *measurement);
        } else if (arg == "--fleet") {
            options.fleet = ParseNumber(value(), 1, 10'000, "--fleet");
        } else if (arg == "--fleet-gap") {
            options.fleetGapUs = ParseNumber(value(), 0, 600'000, "--fleet-gap") * 1000LL;
        } else if (arg == "--fleet-band") {
            const std::string text = value();
            const std::size_t colon = text.find(':');
            if (colon == std::string::npos) {
                throw UsageError{"--fleet-band is RADIO:BAND, such as 2:5"};
            }
            options.fleetBands.emplace_back(
                ParseNumber(text.substr(0, colon), 1, 10'000, "the fleet radio"),
                ParseNumber(text.substr(colon + 1), 0, 255, "the band"));
        } else if (arg == "--fleet-faulty") {
            options.fleetFaulty = ParseNumber(value(), 1, 10'000, "--fleet-faulty");
        } else if (arg == "--log") {
            options.logPath = value();
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else {
            throw UsageError{"unknown option " + arg};
        }
    }
    return options;
}

std::int64_t MonotonicUs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

// The pseudo-terminal: the master is ours; one device-side descriptor stays open so that the
// line survives between the programs that open it, and so that it is raw before they do.
class Pty {
  public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            throw std::runtime_error(std::string("no pseudo-terminal: ") + std::strerror(errno));
        }
        device_ = ::ptsname(master_);
        device_fd_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios tio{};
        if (device_fd_ < 0 || ::tcgetattr(device_fd_, &tio) != 0) {
            throw std::runtime_error(device_ + ": " + std::strerror(errno));
        }
        ::cfmakeraw(&tio);
        ::tcsetattr(device_fd_, TCSANOW, &tio);
    }
    ~Pty() {
        ::close(device_fd_);
        ::close(master_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int Master() const { return master_; }
    const std::string& Device() const { return device_; }

  private:
    int master_ = -1;
    int device_fd_ = -1;
    std::string device_;
};

int Run(const Options& options) {
    const int channels = options.channels.value_or(99);
    // Radio i of a fleet: its band, and the serial number SIM000i unless one is given.
    const auto fleetRadio = [&](int i) {
        int band = options.band;
        for (const auto& [radio, radioBand] : options.fleetBands) {
            band = radio == i ? radioBand : band;
        }
        char serial[16];
        std::snprintf(serial, sizeof serial, "SIM%04d", i);
        return petrel::sim::MakeRadio(band, channels, options.blank,
                                      options.fleet > 0 ? serial : options.serialNo,
                                      options.customer);
    };
    petrel::sim::RadioMemory memory = fleetRadio(1);
    if (!options.loadPath.empty()) {
        if (const auto error = petrel::sim::LoadRadio(memory, options.loadPath, options.channels)) {
            std::cerr << "petrel-radio-sim: " << *error << '\n';
            return kExitFailure;
        }
        if (options.bandGiven) {
            memory.band = static_cast<std::uint8_t>(options.band);
        }
    }
    petrel::sim::EngineOptions engineOptions;
    engineOptions.silent = options.silent;
    engineOptions.answerDelayUs = options.delayUs;
    engineOptions.byteTimeUs = options.pace ? petrel::sim::kByteTimeUs : 0;
    petrel::sim::RadioSimEngine engine(std::move(memory), engineOptions);
    if (options.transmitting) {
        engine.SetActivity({petrel::sim::TestMode::TransmitTest, true, 0});
    }
    const auto faultsOf = [&](int i) {
        return options.fleetFaulty == 0 || options.fleetFaulty == i ? options.faults
                                                                    : std::vector<Fault>{};
    };
    for (const auto& fault : faultsOf(1)) {
        engine.AddFault(fault);
    }
    if (options.fleet > 0) {
        std::vector<petrel::sim::FleetMember> next;
        for (int i = 2; i <= options.fleet; ++i) {
            next.push_back({fleetRadio(i), faultsOf(i)});
        }
        engine.SetFleet(std::move(next), options.fleetGapUs);
    }
    for (const auto& [page, index, measurement] : options.measurements) {
        engine.SetMeasurement(page, index, measurement);
    }

    std::ofstream logFile;
    std::ostream* log = &std::cerr;
    if (!options.logPath.empty()) {
        logFile.open(options.logPath, std::ios::app);
        if (!logFile) {
            std::cerr << "petrel-radio-sim: cannot write " << options.logPath << '\n';
            return kExitFailure;
        }
        log = &logFile;
    }
    const std::int64_t start = MonotonicUs();
    if (!options.quiet) {
        engine.SetFrameSink([log, start](const petrel::sim::LoggedFrame& frame) {
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "%10.3f ms  ", (frame.timeUs - start) / 1000.0);
            *log << stamp << petrel::sim::DescribeFrame(frame) << std::endl;
        });
    }

    // SIGINT and SIGTERM end the loop through a descriptor, so no handler state is needed.
    sigset_t stopSignals;
    ::sigemptyset(&stopSignals);
    ::sigaddset(&stopSignals, SIGINT);
    ::sigaddset(&stopSignals, SIGTERM);
    ::sigaddset(&stopSignals, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    const int signals = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);

    Pty pty;
    if (!options.linkPath.empty()) {
        ::unlink(options.linkPath.c_str());
        if (::symlink(pty.Device().c_str(), options.linkPath.c_str()) != 0) {
            std::cerr << "petrel-radio-sim: " << options.linkPath << ": " << std::strerror(errno)
                      << '\n';
            return kExitFailure;
        }
    }
    std::cout << pty.Device() << std::endl;
    *log << "petrel-radio-sim: band " << static_cast<int>(engine.Memory().band) << ", "
         << engine.Memory().Channels() << " channels, on " << pty.Device()
         << (options.pace ? " at 2400 baud" : "") << "; "
         << petrel::sim::DescribeInfo(engine.Memory())
         << (options.fleet > 0 ? "; radio 1 of a fleet of " + std::to_string(options.fleet) : "")
         << std::endl;
    if (options.transmitting) {
        *log << "petrel-radio-sim: starts " << petrel::sim::DescribeActivity(engine.Activity())
             << std::endl;
    }

    for (;;) {
        const auto next = engine.NextOutputUs();
        timespec span{};
        timespec* timeout = nullptr;
        if (next) {
            const std::int64_t wait = std::max<std::int64_t>(0, *next - MonotonicUs());
            span = timespec{static_cast<time_t>(wait / 1'000'000),
                            static_cast<long>(wait % 1'000'000) * 1000};
            timeout = &span;
        }
        pollfd fds[2] = {{pty.Master(), POLLIN, 0}, {signals, POLLIN, 0}};
        if (::ppoll(fds, 2, timeout, nullptr) < 0 && errno != EINTR) {
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            std::uint8_t bytes[256];
            const ssize_t n = ::read(pty.Master(), bytes, sizeof bytes);
            if (n > 0) {
                engine.Receive(std::span(bytes, static_cast<std::size_t>(n)), MonotonicUs());
            }
        }
        const auto out = engine.TakeOutput(MonotonicUs());
        if (!out.empty() && ::write(pty.Master(), out.data(), out.size()) < 0) {
            // Nobody reads the line just now: what was said is lost, as on a real wire.
        }
    }

    if (!options.linkPath.empty()) {
        ::unlink(options.linkPath.c_str());
    }
    if (!options.savePath.empty()) {
        if (const auto error = petrel::sim::SaveRadio(engine.Memory(), options.savePath)) {
            std::cerr << "petrel-radio-sim: " << *error << '\n';
            return kExitFailure;
        }
        *log << "petrel-radio-sim: saved " << options.savePath << "; "
             << petrel::sim::DescribeInfo(engine.Memory()) << std::endl;
    }
    // A transmitter left keyed by the programming software is a fault worth an exit status.
    *log << "petrel-radio-sim: on exit: " << petrel::sim::DescribeActivity(engine.Activity())
         << std::endl;
    return engine.Activity().transmitting ? kExitTransmitting : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        if (options.help) {
            std::cout << kHelp;
            return kExitOk;
        }
        if (options.version) {
            std::cout << petrel::VersionText("petrel-radio-sim");
            return kExitOk;
        }
        return Run(options);
    } catch (const UsageError& error) {
        std::cerr << "petrel-radio-sim: " << error.reason << "\n(see petrel-radio-sim --help)\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << "petrel-radio-sim: " << error.what() << '\n';
        return kExitFailure;
    }
}
