// petrel-startup-bench: starts petrel-cps on the X display several times with no serial port
// and measures, from the moment the process is started, when its main window is mapped and
// when start-up is over (the question " No RS232 Port is available" is mapped). Start-up
// includes the program's 0.5 s "Detecting RS232 port..." wait; the rest is what we keep short.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kMainCaption = "PC Software for Petrel Serial Radio";
constexpr double kStartUpWait = 0.5;  // the program's own "Detecting RS232 port..." wait
constexpr int kGiveUpMs = 20'000;

struct Run {
    double mainWindow = 0;  // seconds from the start to the main window mapped
    double startUp = 0;     // ... to the no-port question mapped
};

std::string WindowName(Display* display, Window window) {
    char* name = nullptr;
    std::string text;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        text = name;
        XFree(name);
    }
    return text;
}

bool IsDialog(Display* display, Window window) {
    Window owner = 0;
    return XGetTransientForHint(display, window, &owner) != 0 && owner != 0;
}

std::optional<Run> MeasureOnce(Display* display, const std::string& program, bool verbose) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);  // forget the maps of earlier runs

    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("PETREL_PORTS", "", 1);  // no serial port at all
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto seconds = [&] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };

    Run run;
    bool mainSeen = false;
    bool done = false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    while (!done && seconds() * 1000 < kGiveUpMs) {
        if (XPending(display) == 0) {
            poll(&fd, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) {
            continue;
        }
        const double at = seconds();
        const Window window = event.xmap.window;
        const std::string name = WindowName(display, window);
        if (verbose) {
            std::printf("  %.3f s  mapped \"%s\"%s\n", at, name.c_str(),
                        IsDialog(display, window) ? " (dialog)" : "");
        }
        // The question box carries the main window's caption too; the splash has none.
        if (name != kMainCaption) {
            continue;
        }
        if (!mainSeen && !IsDialog(display, window)) {
            mainSeen = true;
            run.mainWindow = at;
        } else if (mainSeen && IsDialog(display, window)) {
            run.startUp = at;
            done = true;
        }
    }
    kill(child, SIGKILL);  // it holds no port and nothing to save
    waitpid(child, nullptr, 0);
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    if (!done) {
        return std::nullopt;
    }
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::string program = (fs::path(argv[0]).parent_path() / "../../src/ui/petrel-cps").string();
    int runs = 10;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--verbose") {
            verbose = true;
        } else if (arg.rfind("--", 0) != 0) {
            program = arg;
        } else {
            std::printf(
                "usage: petrel-startup-bench [--runs N] [--verbose] [PATH-TO-petrel-cps]\n");
            return arg == "--help" ? 0 : 2;
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "petrel-startup-bench: no X display (set DISPLAY, e.g. Xvfb)\n");
        return 1;
    }
    std::vector<double> mainWindow;
    std::vector<double> beyondWait;
    for (int i = 0; i < runs; ++i) {
        const auto run = MeasureOnce(display, program, verbose);
        if (!run) {
            std::fprintf(stderr, "petrel-startup-bench: %s did not reach its no-port question\n",
                         program.c_str());
            return 1;
        }
        mainWindow.push_back(run->mainWindow);
        beyondWait.push_back(run->startUp - kStartUpWait);
        std::printf("run %2d: main window %.3f s, start-up %.3f s (%.3f s beyond the wait)\n",
                    i + 1, run->mainWindow, run->startUp, run->startUp - kStartUpWait);
        std::fflush(stdout);
    }
    std::printf(
        "median: main window %.3f s, start-up beyond the %.1f s wait %.3f s; "
        "worst %.3f s / %.3f s\n",
        Median(mainWindow), kStartUpWait, Median(beyondWait),
        *std::max_element(mainWindow.begin(), mainWindow.end()),
        *std::max_element(beyondWait.begin(), beyondWait.end()));
    XCloseDisplay(display);
    return 0;
}
