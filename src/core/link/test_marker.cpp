#include "core/link/test_marker.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <system_error>
#include <vector>

#include "core/document/config_file.h"
#include "core/link/frame_protocol.h"
#include "core/link/param_link.h"
#include "core/ports/prompter.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr const char* kMarkerHeading = "Petrel CPS: the radio may be in a test state";
constexpr const char* kPortKey = "port: ";
constexpr const char* kStateKey = "state: ";
constexpr const char* kKeyedKey = "keyed: ";
constexpr const char* kSinceKey = "since: ";
// A marker is a few short lines; more than this is not read.
constexpr std::size_t kMarkerReadLimit = 4096;

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// What the user is told to do when the radio does not take the closing code.
constexpr const char* kHowToRelease =
    "connect it and run \"petrel-cli release\", or start this program again, to return it to "
    "normal.";

}  // namespace

std::string DescribeTestState(const RadioTestState& state) {
    std::string text;
    switch (state.code) {
        case kCodeAlignment:
            text = "alignment test";
            break;
        case kCodeReceiveTest:
            text = "receive test";
            break;
        case kCodeTransmitTest:
            text = "transmit test";
            break;
        default:
            break;
    }
    if (state.keyed) {
        text += text.empty() ? "transmitter keyed" : ", transmitter keyed";
    }
    return text.empty() ? std::string("normal mode") : text;
}

std::string MarkerText(const TestMarker& marker) {
    return std::string(kMarkerHeading) + "\n" + kPortKey + marker.port + "\n" + kStateKey +
           marker.state + "\n" + kKeyedKey + (marker.keyed ? "yes" : "no") + "\n" + kSinceKey +
           marker.since + "\n";
}

TestMarker ParseMarker(const std::string& text) {
    TestMarker marker;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        for (auto [key, field] :
             {std::pair{kPortKey, &marker.port}, std::pair{kStateKey, &marker.state},
              std::pair{kSinceKey, &marker.since}}) {
            if (StartsWith(line, key)) {
                *field = line.substr(std::string_view(key).size());
            }
        }
        if (StartsWith(line, kKeyedKey)) {
            marker.keyed = line.substr(std::string_view(kKeyedKey).size()) == "yes";
        }
    }
    return marker;
}

TestMarkerKeeper::TestMarkerKeeper(std::string path, const Clock& clock)
    : path_(std::move(path)), clock_(clock) {}

TestMarkerKeeper::~TestMarkerKeeper() {
    Unlock();
}

void TestMarkerKeeper::Unlock() {
    if (lock_ >= 0) {
        ::close(lock_);  // closing the descriptor releases its lock
        lock_ = -1;
    }
}

Result<void> TestMarkerKeeper::Update(const RadioTestState& state, const std::string& port) {
    if (!state.Open()) {
        since_.clear();
        Unlock();
        if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
            return Failure{ErrorText(errno)};
        }
        return {};
    }
    if (since_.empty()) {
        since_ = StampText(clock_.WallTime());
    }
    const std::string text = MarkerText({port, DescribeTestState(state), state.keyed, since_});
    if (auto error =
            WriteFileAtomically(path_, std::vector<std::uint8_t>(text.begin(), text.end()))) {
        return Failure{*error};
    }
    // The new file is another one: lock it, then let the one before go.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        Unlock();
        return {};
    }
    Unlock();
    lock_ = fd;
    return {};
}

std::optional<TestMarker> FindLeftMarker(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // A marker that is there but cannot be opened still tells of a radio left behind.
        return errno == ENOENT ? std::nullopt : std::optional<TestMarker>(TestMarker{});
    }
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return std::nullopt;  // the marker of a program that is running
    }
    std::string text(kMarkerReadLimit, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    return ParseMarker(text);
}

std::optional<std::string> RemoveMarker(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return ErrorText(errno);
    }
    return std::nullopt;
}

std::string MarkerNotWrittenText(const std::string& path, const std::string& reason) {
    return "The note that the radio is in a test state could not be written to " + path + ": " +
           reason + "." + kLineBreak +
           "If this program ends before the test is closed, switch the radio off to stop it.";
}

std::string LeftMarkerQuestion(const TestMarker& marker) {
    const std::string port =
        marker.port.empty() ? std::string("the programming cable") : marker.port;
    std::string what = "The program ended while the radio on " + port + " was in a test state";
    if (!marker.state.empty()) {
        what += " (" + marker.state + ")";
    }
    if (!marker.since.empty()) {
        what += " since " + marker.since;
    }
    what += marker.keyed ? ": the radio may still be transmitting."
                         : ": the radio may still be in test mode.";
    return what + kLineBreak +
           "Send it the closing code now to return it to normal? Connect it first." + kLineBreak +
           "No: switch the radio off or remove its battery to stop it, and run \"petrel-cli "
           "release\" later.";
}

std::string ReleasedText() {
    return "The radio answered the closing code AAH: it is back in normal mode.";
}

std::string NotReleasedText(bool keyed) {
    return std::string("The radio did not answer the closing code AAH: ") +
           (keyed ? "it may still be transmitting." : "it may still be in test mode.") +
           kLineBreak +
           (keyed ? "Switch the radio off or remove its battery to stop it; then "
                  : "To end the test, ") +
           kHowToRelease;
}

void ReleaseLeftRadio(const TestMarker& marker, const std::string& path, ParamLink& link,
                      Prompter& prompter) {
    const Answer answer = prompter.Ask(
        Message{LeftMarkerQuestion(marker), {}, Buttons::YesNo, Icon::Exclamation, Answer::Yes});
    if (answer == Answer::Yes && !link.WriteControlAA()) {
        prompter.Tell(NotReleasedText(marker.keyed), Icon::Exclamation);
        return;
    }
    if (const auto error = RemoveMarker(path)) {
        prompter.Tell("The note " + path + " could not be removed: " + *error + ".",
                      Icon::Exclamation);
    }
    if (answer == Answer::Yes) {
        prompter.Tell(ReleasedText(), Icon::Information);
    }
}

}  // namespace petrel
