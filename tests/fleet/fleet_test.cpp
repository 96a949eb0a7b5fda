// The fleet run against the simulated radio's fleet on a virtual clock: radios arriving, one of
// another band, a write failing in the middle, radios taken away, a stop; and the serial
// number pattern.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/document/new_config.h"
#include "core/fleet/fleet_run.h"
#include "core/link/radio_link.h"
#include "core/model/info_page.h"
#include "core/model/workspace.h"
#include "simulated_ports.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kGapUs = 2'000'000;

TEST(SerialPatternTest, NumbersFollowThePatternAndNeverRepeat) {
    struct Case {
        std::string text;
        std::int64_t index;
        std::optional<std::string> serial;
    };
    for (const auto& [text, index, serial] : std::vector<Case>{
             {"PMR-0001", 0, "PMR-0001"},
             {"PMR-0001", 41, "PMR-0042"},
             {"PMR-9998", 1, "PMR-9999"},
             {"PMR-9998", 2, "PMR-10000"},  // past its width, still 12 characters or fewer
             {" 007 ", 993, "1000"},
             {"ABCDEFGH9999", 0, "ABCDEFGH9999"},
             {"ABCDEFGH9999", 1, std::nullopt},  // 13 characters: the radio cannot hold it
         }) {
        std::string why;
        const auto pattern = ParseSerialPattern(text, why);
        ASSERT_TRUE(pattern) << text << ": " << why;
        EXPECT_EQ(SerialAt(*pattern, index), serial) << text << " + " << index;
    }
    for (const auto& [text, reason] : std::vector<std::pair<std::string, std::string>>{
             {"PMR-", "ends in its first number"},
             {"", "ends in its first number"},
             {"ABCDEFGHIJ001", "does not fit"},
             {"123456789012", "at most 11 digits"},
         }) {
        std::string why;
        EXPECT_FALSE(ParseSerialPattern(text, why)) << text;
        EXPECT_NE(why.find(reason), std::string::npos) << text << ": " << why;
    }
    EXPECT_FALSE(SerialAt(SerialPattern{}, 0));  // keep each radio's own
}

class FleetTest : public ::testing::Test {
  protected:
    FleetTest() {
        ports.AttachRadio(1, radio);
        link.Frames().SetPorts({1});
        slot = BuildNewConfiguration(workspace, 9, 99);
        options.backupFolder = dir.File("Backups");
        options.customer = "Harbour Taxi";
        std::string why;
        options.serial = *ParseSerialPattern("PMR-0001", why);
    }

    // Radios 2.. of the fleet (radio 1 is on the cable from the start).
    void Fleet(std::vector<sim::FleetMember> next) { radio.SetFleet(std::move(next), kGapUs); }
    static sim::FleetMember Radio(int band, const std::string& serial) {
        return {sim::MakeRadio(band, 99, false, serial, "OLD"), {}};
    }

    FleetRun MakeRun() {
        clock.SetWallTime({2026, 12, 7, 10, 41, 2});
        return FleetRun(link, prompter, clock, workspace.At(slot), options, history.get());
    }
    // Steps until the run ends; a run that would not end fails the test instead of hanging.
    void RunToEnd(FleetRun& run, int steps = 2000) {
        while (run.Step() != FleetState::Finished && --steps > 0) {
        }
        EXPECT_GT(steps, 0) << "the run did not end: " << run.StatusText();
    }
    static std::string Text(const sim::RadioMemory& memory, std::size_t at, std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char>(memory.bytes[memory.InfoPage() * 256 + at + i]));
        }
        return text;
    }
    std::vector<std::string> RowLines(const FleetRun& run) const {
        std::vector<std::string> lines;
        for (const auto& row : run.Radios()) {
            lines.push_back(row.Line());
        }
        return lines;
    }

    VirtualClock clock;
    sim::RadioSimEngine radio{sim::MakeRadio(9, 99, false, "SIM0001", "OLD")};
    sim::SimulatedPorts ports{clock};
    FleetPrompter prompter;
    test::RecordingStatusLine status;
    RadioLink link{ports, clock, prompter, status};
    Workspace workspace;
    int slot = 0;
    FleetOptions options;
    test::TempDir dir;
    std::unique_ptr<ServiceHistory> history = OpenServiceHistory(dir.File(kHistoryFileName), clock);
};

using Lines = std::vector<std::string>;

TEST_F(FleetTest, RadiosOfTheBandAreWrittenAndNumberedAndOneOfAnotherBandIsRefused) {
    Fleet({Radio(5, "SIM0002"), Radio(9, "SIM0003")});
    options.count = 3;
    FleetRun run = MakeRun();
    RunToEnd(run);
    EXPECT_EQ(RowLines(run),
              (Lines{"1 PMR-0001 written 2026-12-07 10:41:02",
                     "2 - refused 2026-12-07 10:41:02: a radio of band 5 (UHF Low Band); "
                     "the configuration is for band 9 (Petrel (PMR))",
                     "3 PMR-0002 written 2026-12-07 10:41:02"}));
    EXPECT_EQ(run.Summary(), "3 radios: 2 written, 1 refused, 0 failed");
    EXPECT_FALSE(run.AllWritten());

    // Each written radio holds the configuration, the customer and its number with the date.
    const auto& gone = radio.Departed();
    ASSERT_EQ(gone.size(), 3u);  // the refused one too, taken off untouched
    EXPECT_EQ(Text(gone[1], kInfoSerialText, 12), "SIM0002     ");
    const ImageBuf packed = PackImage(workspace.At(slot));
    for (const auto& [i, serial] : {std::pair{0, "PMR-0001    "}, std::pair{2, "PMR-0002    "}}) {
        SCOPED_TRACE(i);
        const sim::RadioMemory& memory = gone[static_cast<std::size_t>(i)];
        EXPECT_TRUE(
            std::equal(packed.begin() + 0x60, packed.end() - 1, memory.bytes.begin() + 0x60));
        EXPECT_EQ(Text(memory, kInfoNameText, 15), "Harbour Taxi   ");
        EXPECT_EQ(Text(memory, kInfoSerialText, 12), serial);
        EXPECT_EQ(Text(memory, kInfoProgDate, 3), "\x1a\x0c\x07");  // 26, 12, 7
    }
    // Every radio that came is one record; the written ones hold their image before and after.
    const auto records = history->Find({});
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].operation + " " + records[2].result + " " + records[2].serialNo,
              "Fleet done PMR-0001");
    EXPECT_EQ(records[2].detail, "serial number was \"SIM0001\"");
    EXPECT_TRUE(records[2].hasBefore && records[2].hasAfter);
    EXPECT_EQ(records[1].result + " " + std::to_string(records[1].band), "refused 5");
    EXPECT_FALSE(records[1].hasAfter);
    // Two backups, each a configuration with its companion.
    EXPECT_EQ(std::distance(fs::directory_iterator(options.backupFolder), fs::directory_iterator()),
              4);
}

TEST_F(FleetTest, AWriteFailingMidwayIsOneFailedRowAndItsNumberGoesToTheNextRadio) {
    sim::FleetMember faulty = Radio(9, "SIM0002");
    faulty.faults.push_back({sim::FaultKind::Drop, sim::FrameKind::WriteBlock, 30, -1});
    Fleet({faulty, Radio(9, "SIM0003")});
    options.count = 3;
    FleetRun run = MakeRun();
    std::vector<std::string> confirmed;
    run.goOnAfterFailure = [&](const FleetRadio& row) {
        confirmed.push_back(row.Line());
        radio.RemoveRadio();  // the dealer takes it off the cable before pressing OK
        return true;
    };
    RunToEnd(run);
    ASSERT_EQ(run.Radios().size(), 3u);
    const FleetRadio& failed = run.Radios()[1];
    EXPECT_EQ(failed.outcome, FleetOutcome::Failed);
    EXPECT_EQ(failed.serialNo, "SIM0002");
    EXPECT_NE(failed.reason.find("Writing stopped at block 0x0078"), std::string::npos)
        << failed.reason;
    EXPECT_EQ(confirmed, Lines{failed.Line()});
    EXPECT_EQ(run.Radios()[2].serialNo, "PMR-0002");
    EXPECT_EQ(history->Find({}).at(1).result, "failed");
}

TEST_F(FleetTest, ARadioLeftOnTheCableIsNotWrittenTwiceAndStopEndsTheRun) {
    // No fleet: the radio is never taken away, as when the dealer forgets it.
    FleetRun run = MakeRun();
    for (int i = 0; i < 50; ++i) {
        run.Step();
    }
    EXPECT_EQ(run.State(), FleetState::WaitingForRemoval);
    EXPECT_EQ(run.StatusText(), "Done: disconnect this radio.");
    EXPECT_EQ(run.Radios().size(), 1u);
    run.Stop();
    EXPECT_EQ(run.Step(), FleetState::Finished);
    EXPECT_EQ(run.StatusText(), "Finished: 1 radio: 1 written, 0 refused, 0 failed.");
    EXPECT_FALSE(ports.IsOpen());
}

TEST_F(FleetTest, StopDuringAWriteEndsItBetweenTwoBlocksAndTheRunWithoutAQuestion) {
    Fleet({Radio(9, "SIM0002"), Radio(9, "SIM0003")});
    options.count = 3;
    FleetRun run = MakeRun();
    int asked = 0;
    run.goOnAfterFailure = [&](const FleetRadio&) { return ++asked, true; };
    // Stop is pressed once the second radio has had five blocks of its configuration.
    const auto writes = [&] {
        return std::count_if(radio.Log().begin(), radio.Log().end(), [](const auto& frame) {
            return frame.kind == sim::FrameKind::WriteBlock;
        });
    };
    std::ptrdiff_t firstDone = 0;
    run.radioDone = [&](const FleetRadio&) { firstDone = writes(); };
    clock.SetPump([&] {
        if (run.Radios().size() == 1 && writes() == firstDone + 5 && !run.StopRequested()) {
            run.Stop();
        }
    });
    RunToEnd(run);
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(run.Radios().size(), 2u);
    const FleetRadio& stopped = run.Radios()[1];
    EXPECT_EQ(stopped.outcome, FleetOutcome::Failed);
    ASSERT_FALSE(stopped.backup.empty());
    EXPECT_EQ(stopped.reason,
              "Writing stopped at block 0x0014: the radio now holds a mixture of the new and its "
              "old configuration and must be written again. The radio as it was is kept in " +
                  stopped.backup + " (Radio > Backups... writes it back).");
    EXPECT_TRUE(fs::exists(stopped.backup));
    EXPECT_EQ(run.Summary(), "2 radios: 1 written, 0 refused, 1 failed");
    EXPECT_FALSE(ports.IsOpen());
    EXPECT_EQ(history->Find({}).at(0).result, "failed");
}

TEST_F(FleetTest, StopWhileWaitingEndsAtOnceAndAFailureNotConfirmedEndsTheRun) {
    radio.Options().silent = true;  // nothing on the cable
    FleetRun waiting = MakeRun();
    EXPECT_EQ(waiting.Step(), FleetState::WaitingForRadio);
    EXPECT_EQ(waiting.StatusText(),
              "Waiting for radio 1: connect it to the cable and switch it on.");
    waiting.Stop();
    EXPECT_EQ(waiting.Step(), FleetState::Finished);
    EXPECT_TRUE(waiting.Radios().empty());

    // A radio that stops answering in the middle of its write; the user stops there.
    radio.Options().silent = false;
    radio.AddFault({sim::FaultKind::Drop, sim::FrameKind::WriteBlock, 10, -1});
    FleetRun run = MakeRun();
    run.goOnAfterFailure = [&](const FleetRadio&) {
        radio.Options().silent = true;  // taken away
        return false;
    };
    RunToEnd(run);
    ASSERT_EQ(run.Radios().size(), 1u);
    EXPECT_EQ(run.Radios()[0].outcome, FleetOutcome::Failed);
}

}  // namespace
}  // namespace petrel
