// The test state the link may leave the radio in, its marker file, and the release of a radio
// a program left in a test state.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/link/test_marker.h"
#include "link/link_fixture.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

class RadioTestStateTest : public test::LinkTest {
  protected:
    RadioTestStateTest() : LinkTest(sim::MakeRadio(9, 16, false)) {}

    // What the marker file says, or "(none)".
    std::string Marker() const {
        if (!std::filesystem::exists(path)) {
            return "(none)";
        }
        const TestMarker marker = ParseMarker(test::ReadText(path));
        return marker.port + ", " + marker.state + (marker.keyed ? ", keyed" : "");
    }

    test::TempDir dir;
    std::string path = dir.File(kTestMarkerName);
};

TEST_F(RadioTestStateTest, ATestStateIsMarkedFromItsCodeUntilTheRadioAnswersItsEnd) {
    params.SetTestMarker(path);
    const std::string port = "COM1 " + ports.DeviceName(1);
    ASSERT_TRUE(params.WriteControl90());  // no test state
    EXPECT_EQ(Marker(), "(none)");

    ASSERT_TRUE(params.WriteControl92());
    EXPECT_EQ(Marker(), port + ", alignment test");
    // The marker of a running program is not one left behind.
    EXPECT_FALSE(FindLeftMarker(path).has_value());

    // A key-on counts as soon as it goes out; a release only when the radio answers it.
    ASSERT_TRUE(params.WriteControlAD());
    radio.AddFault({sim::FaultKind::Drop, sim::FrameKind::WriteParam, 0, 1});
    params.WritePowerCode(kCodeKeyOn);
    EXPECT_EQ(Marker(), port + ", transmit test, transmitter keyed, keyed");
    radio.AddFault({sim::FaultKind::Drop, sim::FrameKind::WriteParam, 0, 1});
    EXPECT_FALSE(params.WritePowerCode(kCodeKeyOff));
    EXPECT_TRUE(params.TestStateOfRadio().keyed);
    ASSERT_TRUE(params.WritePowerCode(kCodeKeyOn));
    // The closing code half answered leaves it all as it was.
    radio.AddFault({sim::FaultKind::Drop, sim::FrameKind::WriteParam, 1, 1});
    EXPECT_FALSE(params.WriteControlAA());
    EXPECT_EQ(params.TestStateOfRadio(), (RadioTestState{kCodeTransmitTest, true}));

    // The program ends without leaving the state (its marker keeper goes with it): the marker
    // stays and the next start finds it.
    params.SetTestMarker(dir.File("elsewhere.txt"));
    const auto left = FindLeftMarker(path);
    ASSERT_TRUE(left.has_value());
    EXPECT_EQ(left->port, port);
    EXPECT_EQ(left->state, "transmit test, transmitter keyed");
    EXPECT_TRUE(left->keyed);
    EXPECT_EQ(left->since.size(), std::string("2026-12-06 22:53:32").size());

    // Answered, the closing code ends the state, and its marker goes.
    params.SetTestMarker(path);
    ASSERT_TRUE(params.WriteControlAA());
    EXPECT_FALSE(params.TestStateOfRadio().Open());
    EXPECT_EQ(Marker(), "(none)");
    EXPECT_FALSE(radio.Activity().transmitting);
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

TEST_F(RadioTestStateTest, AMarkerLeftBehindIsOfferedAndGoesOnlyWhenSettled) {
    // Left while keyed: the radio transmits until the closing code comes.
    ASSERT_TRUE(params.WriteControl92() && params.WriteControlAD());
    ASSERT_TRUE(params.WritePowerCode(kCodeKeyOn));
    ASSERT_TRUE(radio.Activity().transmitting);
    const TestMarker marker{"COM1 /dev/ttyUSB0", "transmit test, transmitter keyed", true,
                            "2026-12-06 22:53:32"};
    test::WriteBytes(path, [&] {
        const std::string text = MarkerText(marker);
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }());
    const std::string question = LeftMarkerQuestion(marker);
    EXPECT_NE(question.find("on COM1 /dev/ttyUSB0 was in a test state (transmit test, "
                            "transmitter keyed) since 2026-12-06 22:53:32: the radio may still "
                            "be transmitting."),
              std::string::npos)
        << question;

    // No radio answers: the user is told how to stop it, and the marker stays for the next
    // start. A radio that answers is back to normal and the marker goes; so does a No.
    radio.Options().silent = true;
    prompter.Expect(question, Answer::Yes)
        .Expect(std::nullopt, Answer::No)  // "Connecting Err"
        .Expect(NotReleasedText(true), Answer::Ok);
    ReleaseLeftRadio(marker, path, params, prompter);
    EXPECT_EQ(Marker(), "COM1 /dev/ttyUSB0, transmit test, transmitter keyed, keyed");
    radio.Options().silent = false;
    prompter.Expect(question, Answer::Yes).Expect(ReleasedText(), Answer::Ok);
    ReleaseLeftRadio(marker, path, params, prompter);
    EXPECT_EQ(Marker(), "(none)");
    EXPECT_FALSE(radio.Activity().transmitting);
    EXPECT_EQ(TestModeName(radio.Activity().mode), "normal mode");

    test::WriteBytes(path, {});  // a marker with nothing readable in it still counts
    const auto unreadable = FindLeftMarker(path);
    ASSERT_TRUE(unreadable.has_value());
    radio.ClearLog();
    prompter.Expect(LeftMarkerQuestion(*unreadable), Answer::No);
    ReleaseLeftRadio(*unreadable, path, params, prompter);
    EXPECT_EQ(Marker(), "(none)");
    EXPECT_TRUE(radio.Log().empty());
    EXPECT_TRUE(prompter.Done()) << prompter.Report();
}

}  // namespace
}  // namespace petrel
