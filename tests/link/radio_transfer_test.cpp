#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "document/new_config.h"
#include "link_fixture.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::FaultKind;
using sim::FrameKind;

std::string TryAgain(const std::string& what) {
    return what + " !  Make sure the connection is OK\n\rTry Again ?";
}

class TransferTest : public test::LinkTest {
  protected:
    explicit TransferTest(sim::RadioMemory memory = sim::MakeRadio(9, 99, false, "PT0000012345",
                                                                   "  HARBOUR TAXI"))
        : LinkTest(std::move(memory)) {}

    // A document of band and channels, active in the host, carrying the channel-count bit a
    // radio of its size has (the simulated radio stores what it is sent, that bit too).
    int MakeDocument(int band, int channels) {
        const int slot = BuildNewConfiguration(state, band, channels);
        if (channels == 99) {
            state.workspace.At(slot).state.SysBlock[0x0A] |= 0x02;
        }
        host.activeSlot = slot;
        return slot;
    }
    Bytes Memory(std::size_t from, std::size_t to) const {
        return {radio.Memory().bytes.begin() + static_cast<std::ptrdiff_t>(from),
                radio.Memory().bytes.begin() + static_cast<std::ptrdiff_t>(to)};
    }
    // What a Download must leave in the radio: the packed image without its band byte and
    // with the options the radio must not get cleared.
    Bytes Downloaded(int slot) const {
        Bytes image = PackImage(state, state.workspace.At(slot));
        image.pop_back();
        image[0x0A] &= 0x67;
        image[0x0E] &= 0x9E;
        return image;
    }
    std::vector<std::string> WriteAddresses() const {
        std::vector<std::string> addresses;
        for (const auto& frame : radio.Log()) {
            if (frame.kind == FrameKind::WriteBlock) {
                char text[8];
                std::snprintf(text, sizeof text, "%02X%02X", frame.request[1], frame.request[2]);
                addresses.push_back(text);
            }
        }
        return addresses;
    }
};

class SmallRadioTransferTest : public TransferTest {
  protected:
    SmallRadioTransferTest() : TransferTest(sim::MakeRadio(10, 16, false)) {}
};

class BlankRadioTransferTest : public TransferTest {
  protected:
    BlankRadioTransferTest() : TransferTest(sim::MakeRadio(10, 99, true)) {}
};

TEST_F(TransferTest, UploadOpensTheRadiosConfigurationAsANewDocument) {
    radio.Memory().Info(0x00) = 0x42;
    radio.Memory().Info(0xFF) = 0x99;
    state.TempCount = 2;
    state.NewUntouched = true;

    const TransferResult result = link.RadioTransfer(TransferOp::Upload);
    ASSERT_TRUE(result.completed);
    ASSERT_TRUE(result.openedSlot);
    const Document& doc = state.workspace.At(*result.openedSlot);
    EXPECT_EQ(doc.title, "TEMP3.CFG");
    EXPECT_EQ(state.TempCount, 3);
    EXPECT_FALSE(state.NewUntouched);
    EXPECT_EQ(state.MaxChannel, 99);
    EXPECT_EQ(doc.lines.size(), 99u);
    Bytes expected = Memory(0, 888);
    expected.push_back(9);
    EXPECT_EQ(PackImage(state, doc), expected);
    EXPECT_EQ(doc.modelLabel, "Model:Petrel (PMR)");
    EXPECT_EQ(doc.serialLabel, "Serial No:PT0000012345");
    EXPECT_EQ(state.CustomerName, "HARBOUR TAXI");
    EXPECT_EQ(state.InfoWords[0x00], 0x42);
    EXPECT_EQ(state.InfoWords[0xFF], 0x99);
    EXPECT_TRUE(state.InfoValid);
    EXPECT_EQ(state.FirmwareVersion, "V1.20");
    EXPECT_EQ(state.MaskDate, "May-20-2003");
    ASSERT_EQ(radio.ControlCodes().size(), 1u);
    EXPECT_EQ(radio.ControlCodes()[0], (std::array<std::uint8_t, 2>{0x90, 0x0A}));

    // Image blocks 0..884 after the type block at 8, then the 64 blocks of page 7.
    EXPECT_EQ(CountFrames(FrameKind::ReadBlock), 1u + 222u + 64u);
    EXPECT_EQ(status.progressMaximum, 888 + 255);
    EXPECT_EQ(status.progress.back(), 888 + 252);
    EXPECT_FALSE(status.progressVisible);
    EXPECT_GE(clock.Pumps(), 222 + 64);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"busy", "menus off", "busy", "menus on", "normal"}));
    EXPECT_FALSE(ports.IsOpen());
}

TEST_F(SmallRadioTransferTest, UploadOfASixteenChannelRadioReadsPageOne) {
    radio.Memory().bytes[1 * 256 + 0xE1] = 'Z';
    const TransferResult result = link.RadioTransfer(TransferOp::Upload);
    ASSERT_TRUE(result.openedSlot);
    Bytes expected = Memory(0, 224);
    expected.push_back(10);
    EXPECT_EQ(PackImage(state, state.workspace.At(*result.openedSlot)), expected);
    EXPECT_EQ(state.InfoWords[0xE1], 'Z');
    EXPECT_EQ(CountFrames(FrameKind::ReadBlock), 1u + 56u + 64u);
    EXPECT_EQ(state.workspace.At(*result.openedSlot).title, "TEMP1.CFG");
}

TEST_F(TransferTest, UploadOfAnUnknownBandReadsEverythingButOpensNothing) {
    radio.Memory().band = 13;
    const TransferResult result = link.RadioTransfer(TransferOp::Upload);
    EXPECT_TRUE(result.completed);
    EXPECT_FALSE(result.openedSlot);
    EXPECT_EQ(state.TempCount, 0);
    EXPECT_TRUE(state.workspace.OpenSlots().empty());
    EXPECT_EQ(host.calls.back(), "ended");
    EXPECT_EQ(radio.ControlCodes().size(), 1u);
}

TEST_F(TransferTest, ABlockTimeOutAsksAndYesStartsOverFromAddressZero) {
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 40, 1});
    prompter.Then(Answer::Yes);
    const TransferResult result = link.RadioTransfer(TransferOp::Upload);
    EXPECT_TRUE(result.openedSlot);
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{TryAgain("Upload Err")});
    EXPECT_NE(std::find(status.history.begin(), status.history.end(), "Not detected"),
              status.history.end());
    std::size_t fromZero = 0;
    for (const auto& frame : radio.Log()) {
        fromZero += frame.request == Bytes{'R', 0, 0};
    }
    EXPECT_EQ(fromZero, 2u);
}

TEST_F(TransferTest, NoToAFailedTransferEndsWithoutADocument) {
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 0, 2});  // the type block, twice
    prompter.Then(Answer::No);
    const TransferResult result = link.RadioTransfer(TransferOp::Upload);
    EXPECT_FALSE(result.completed);
    EXPECT_FALSE(result.openedSlot);
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{TryAgain("Upload Err")});
    EXPECT_EQ(CountFrames(FrameKind::ReadBlock), 2u);
    EXPECT_TRUE(state.UserAbort);
    EXPECT_TRUE(state.InfoValid);
    EXPECT_EQ(host.calls.back(), "ended");
    EXPECT_FALSE(ports.IsOpen());

    // One lost answer of the type block is read again without a question.
    radio.ClearLog();
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 0, 1});
    EXPECT_TRUE(link.RadioTransfer(TransferOp::Upload).openedSlot);
}

TEST_F(TransferTest, NoRadioAsksToConnectAgain) {
    radio.Options().silent = true;
    prompter.Then(Answer::Yes).Then(Answer::No);
    const TransferResult result = link.RadioTransfer(TransferOp::Upload);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{TryAgain("Connecting Err"), TryAgain("Connecting Err")}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"normal", "ended"}));
}

TEST_F(TransferTest, AnUnansweredControlCodeFailsTheTransferThroughItsQuestion) {
    // Both control-code writes of the first attempt are lost; Yes repeats the whole transfer.
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 0, 2});
    prompter.Then(Answer::Yes);
    EXPECT_TRUE(link.RadioTransfer(TransferOp::Upload).openedSlot);
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{TryAgain("Upload Err")});

    // A radio that never answers it: No ends the operation instead of looping.
    const int slot = MakeDocument(9, 99);
    radio.AddFault({FaultKind::Drop, FrameKind::WriteParam, 0, -1});
    test::ScriptedPrompter no;
    no.Then(Answer::No);
    RadioLink other(state, ports, clock, no, status, host);
    const TransferResult result = other.RadioTransfer(TransferOp::Download);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(no.Texts(), std::vector<std::string>{TryAgain("Download Err")});
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));
}

TEST_F(TransferTest, DownloadWritesThePackedImageAndTheControlCode) {
    const int slot = MakeDocument(9, 99);
    state.workspace.At(slot).state.SysBlock[0x0A] = 0xFF;
    state.workspace.At(slot).state.SysBlock[0x0E] = 0xFF;
    const Bytes documentBefore = PackImage(state, state.workspace.At(slot));

    const TransferResult result = link.RadioTransfer(TransferOp::Download);
    EXPECT_TRUE(result.completed);
    EXPECT_FALSE(result.openedSlot);
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));
    EXPECT_EQ(radio.Memory().bytes[0x0A], 0x67);
    EXPECT_EQ(radio.Memory().bytes[0x0E], 0x9E);
    EXPECT_EQ(PackImage(state, state.workspace.At(slot)), documentBefore);
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 222u);
    EXPECT_EQ(radio.ControlCodes().back(), (std::array<std::uint8_t, 2>{0xAA, 0x0A}));
    EXPECT_EQ(status.progressMaximum, 888);
    EXPECT_TRUE(prompter.Asked().empty());
    EXPECT_EQ(host.calls.back(), "ended");
}

TEST_F(SmallRadioTransferTest, ASixteenChannelRadioGetsOnlyBytesUpTo223) {
    const int slot = MakeDocument(10, 99);
    const Bytes untouched = Memory(224, 888);
    EXPECT_TRUE(link.RadioTransfer(TransferOp::Download).completed);
    const Bytes image = Downloaded(slot);
    EXPECT_EQ(Memory(0, 224), Bytes(image.begin(), image.begin() + 224));
    EXPECT_EQ(Memory(224, 888), untouched);
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 56u);
    EXPECT_EQ(WriteAddresses().back(), "00DC");
}

TEST_F(TransferTest, OneReadBackDifferenceIsRepairedASecondFailsTheTransfer) {
    const int slot = MakeDocument(9, 99);
    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 70, 1});
    EXPECT_TRUE(link.RadioTransfer(TransferOp::Download).completed);
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 223u);
    EXPECT_EQ(WriteAddresses()[70], "0118");
    EXPECT_EQ(WriteAddresses()[71], "0118");
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));

    radio.ClearLog();
    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 10, 1});
    radio.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 100, 1});
    prompter.Then(Answer::No);
    EXPECT_FALSE(link.RadioTransfer(TransferOp::Download).completed);
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{TryAgain("Download Err")});
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 101u);
    EXPECT_TRUE(radio.ControlCodes().size() == 1u) << "no control code after a failure";
}

TEST_F(TransferTest, BandsCrossedAreAskedAboutAndNoWritesNothing) {
    const int slot = MakeDocument(10, 99);
    state.workspace.At(slot).title = "C:\\SHOP\\KOREA.CFG";
    prompter.Then(Answer::No);
    EXPECT_FALSE(link.RadioTransfer(TransferOp::Download).completed);
    ASSERT_EQ(prompter.Asked().size(), 1u);
    const Message& asked = prompter.Asked()[0];
    EXPECT_EQ(asked.text, "Error warning: Band are Crossed !\n\rDo you want to continue ?");
    EXPECT_EQ(asked.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.icon, Icon::Stop);
    EXPECT_EQ(asked.defaultButton, Answer::No);
    EXPECT_EQ(asked.title, "C:\\SHOP\\KOREA.CFG");
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 0u);
    EXPECT_FALSE(ports.IsOpen());

    prompter.Then(Answer::Yes);
    EXPECT_TRUE(link.RadioTransfer(TransferOp::Download).completed);
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));
}

TEST_F(TransferTest, AnUnansweredBlankTestCountsAsProgrammed) {
    MakeDocument(10, 99);
    radio.Memory().bytes[0x0C] = 0xFF;  // blank, but the answer is lost
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 0, 1});
    prompter.Then(Answer::No);
    link.RadioTransfer(TransferOp::Download);
    EXPECT_EQ(
        prompter.Texts(),
        std::vector<std::string>{"Error warning: Band are Crossed !\n\rDo you want to continue ?"});
}

TEST_F(BlankRadioTransferTest, ABlankRadioOfAnotherBandGetsTheTablesAfterTheImage) {
    const int slot = MakeDocument(9, 99);
    for (std::size_t i = 0; i < 16; ++i) {
        state.LevelTable[i] = static_cast<std::uint8_t>(0x30 + i);
        state.PowerTable[i] = static_cast<std::uint8_t>(0x60 + i);
    }
    EXPECT_TRUE(link.RadioTransfer(TransferOp::Download).completed);
    EXPECT_TRUE(prompter.Asked().empty());
    EXPECT_EQ(Memory(0, 888), Downloaded(slot));
    const auto writes = WriteAddresses();
    ASSERT_EQ(writes.size(), 222u + 3u + 4u);
    EXPECT_EQ(std::vector<std::string>(writes.end() - 7, writes.end()),
              (std::vector<std::string>{"07F0", "07F4", "07F8", "07C0", "07C4", "07C8", "07CC"}));
    EXPECT_EQ(Memory(0x7F0, 0x7FC), Bytes(state.LevelTable.begin(), state.LevelTable.begin() + 12));
    EXPECT_EQ(radio.Memory().bytes[0x7FC], 0xFF);
    EXPECT_EQ(Memory(0x7C0, 0x7D0), Bytes(state.PowerTable.begin(), state.PowerTable.end()));
    EXPECT_FALSE(link.BlankRadio());
}

TEST_F(TransferTest, AChannelWarningShowingIsAskedAbout) {
    MakeDocument(9, 99);
    status.SetStatus("Channel #3 Range Out !", kStatusRed, kStatusFontLarge);
    prompter.Then(Answer::No);
    EXPECT_FALSE(link.RadioTransfer(TransferOp::Download).completed);
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{"Channel #3 Range Out !\n\rDo you want to continue ?"});
    EXPECT_EQ(CountFrames(FrameKind::WriteBlock), 0u);

    status.SetStatus("ALL Channels In Range", kStatusBlack, kStatusFontLarge);
    EXPECT_TRUE(link.RadioTransfer(TransferOp::Download).completed);
}

TEST_F(TransferTest, TablesAndTextBlocksGoToTheInformationPage) {
    state.MaxChannel = 99;
    for (std::size_t i = 0; i < 16; ++i) {
        state.PowerTable[i] = static_cast<std::uint8_t>(i + 1);
    }
    link.WritePowerTable();
    EXPECT_EQ(WriteAddresses(), (std::vector<std::string>{"07C0", "07C4", "07C8", "07CC"}));
    EXPECT_EQ(Memory(0x7C0, 0x7D0), Bytes(state.PowerTable.begin(), state.PowerTable.end()));

    radio.ClearLog();
    state.MaxChannel = 16;
    link.SerialBlock = {0, 'S', 'N', '1'};
    link.WriteSerialBlock();
    EXPECT_EQ(WriteAddresses(), (std::vector<std::string>{"01D0", "01D4", "01D8", "01DC"}));
    EXPECT_EQ(radio.Memory().bytes[0x1D2], 'N');
    EXPECT_EQ(host.calls, (std::vector<std::string>{"busy", "normal"}));
}

TEST_F(TransferTest, ReadingTheNameBlockKeepsTheTextWhenABlockIsLost) {
    state.MaxChannel = 99;
    link.ReadNameBlock();
    EXPECT_EQ(state.CustomerName, "HARBOUR TAXI ");  // only the leading blanks go
    EXPECT_EQ(link.NameBlock[3], 'H');

    state.CustomerName = "OLD NAME";
    link.ReadSerialBlock();
    EXPECT_EQ(state.SerialNo, "PT0000012345");
    radio.Memory().Info(0xE4) = 'X';
    radio.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 2, 1});
    link.ReadNameBlock();
    EXPECT_EQ(state.CustomerName, "OLD NAME");
    EXPECT_EQ(link.NameBlock[4], 'A') << "a partial read keeps the block as it was";
    EXPECT_FALSE(ports.IsOpen());
}

}  // namespace
}  // namespace petrel
