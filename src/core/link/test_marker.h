#pragma once

// A radio left in a test state. The alignment windows put the radio into test states (and key
// its transmitter) and take it out again with the closing code 0xAA. A program that ends
// without sending it (killed, crashed, the computer's power cut) leaves the radio there,
// possibly transmitting. While a test state may be open, a marker file in the work folder
// says on which port, which state and since when; the next start finds it and offers to send
// the closing code.

#include <cstdint>
#include <optional>
#include <string>

#include "core/ports/clock.h"
#include "core/util/result.h"

namespace petrel {

class Prompter;
class ParamLink;

// What this program may have left the radio doing: the last test code that may have reached
// it (0x92 alignment, 0xAC receive test, 0xAD transmit test; 0 none) and whether 0xAB may have
// keyed its transmitter since a release (0x86) or the closing code was last answered.
struct RadioTestState {
    std::uint8_t code = 0;
    bool keyed = false;
    bool Open() const { return code != 0 || keyed; }
    bool operator==(const RadioTestState&) const = default;
};
// "alignment test", "transmit test, transmitter keyed", ...
std::string DescribeTestState(const RadioTestState& state);

// The marker's file name in the work folder.
inline constexpr const char* kTestMarkerName = "radio-test-state.txt";

// What a marker says. A marker that cannot be read still counts, with empty fields.
struct TestMarker {
    std::string port;   // "COM1 /dev/ttyUSB0"
    std::string state;  // DescribeTestState
    bool keyed = false;
    std::string since;  // local time, "2026-12-06 22:53:32"
};

// The marker of this program's run. It writes the marker atomically whenever the state
// changes, removes it when the state is closed, and keeps the marker it wrote locked, so that
// another start does not take the marker of a running program for one left behind. Its
// destruction leaves the file (the radio may still be in the state): only a closed state
// removes it.
class TestMarkerKeeper {
  public:
    // The marker says since when, on the clock's wall time.
    TestMarkerKeeper(std::string path, const Clock& clock);
    ~TestMarkerKeeper();
    TestMarkerKeeper(const TestMarkerKeeper&) = delete;
    TestMarkerKeeper& operator=(const TestMarkerKeeper&) = delete;

    const std::string& Path() const { return path_; }
    // A failure carries the system's reason.
    Result<void> Update(const RadioTestState& state, const std::string& port);

  private:
    void Unlock();

    std::string path_;
    const Clock& clock_;
    int lock_ = -1;      // the marker written last, open and locked
    std::string since_;  // when the state opened
};

// The marker a run that has ended left in path; nothing when there is none or a running
// program holds it.
std::optional<TestMarker> FindLeftMarker(const std::string& path);
// Nothing when the marker is gone (or was not there), else the system's reason.
std::optional<std::string> RemoveMarker(const std::string& path);

// The marker's text, and the marker read back from it.
std::string MarkerText(const TestMarker& marker);
TestMarker ParseMarker(const std::string& text);

// Said when the marker could not be written: nothing would tell of a test state left open.
std::string MarkerNotWrittenText(const std::string& path, const std::string& reason);
// The question at start-up about a marker left behind (Yes sends the closing code).
std::string LeftMarkerQuestion(const TestMarker& marker);
// After the closing code: the radio answered, or did not (and may still be transmitting when
// keyed).
std::string ReleasedText();
std::string NotReleasedText(bool keyed);

// At start-up: asks about the marker left in path, sends the closing code on Yes and says
// what came of it. The marker goes when the radio answered or the user said No; it stays when
// the radio did not answer, so that the next start asks again.
void ReleaseLeftRadio(const TestMarker& marker, const std::string& path, ParamLink& link,
                      Prompter& prompter);

}  // namespace petrel
