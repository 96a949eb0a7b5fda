#pragma once

// What the alignment dialogs share: the level-text check, the tables with their place in the
// information page, the test frequency of a band, and leaving a test state.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/freq_codec.h"

namespace petrel {

class Clock;
class Prompter;
class ParamLink;
class RadioLink;
class Workspace;
struct RadioInfoPage;

// What every alignment model works with. The document (the editor's that was active when the
// hardware tuner opened) lends its synthesiser settings to the test frequencies, and its
// information page holds the tables the tuner starts from.
struct AlignmentContext {
    Workspace& workspace;
    RadioLink& link;
    Prompter& prompter;
    Clock& clock;
    int slot = 0;

    RadioInfoPage& Page() const;
};

inline constexpr const char* kDataErrorText = "Data Error !";

// How a dialog's OK ended: it stays open (Retry, or nothing written), it stored its values,
// or a "Data Error !" was answered with Cancel, which ends it as CANCEL does.
enum class OkResult { Stay, Stored, Cancelled };

// A calibration value typed as text: a whole decimal number 0..255, blanks around it allowed.
// Signs, decimals and anything else are refused (nothing).
std::optional<std::uint8_t> CheckLevelText(std::string_view text);

// "Data Error !" with Retry/Cancel and the stop icon; true for Retry.
bool AskDataErrorRetry(Prompter& prompter, const std::string& title);

// The test frequency of a band (the squelch column of the reference table) as the radio's
// test parameters take it: the PLL word, a third byte (A mod 4 in its top two bits) and the
// reference byte (the step code).
struct TestFrequency {
    std::string text;  // "446.006250"
    std::uint8_t pllHigh = 0;
    std::uint8_t pllLow = 0;
    std::uint8_t third = 0;
    std::uint8_t reference = 0;
};
// Nothing for a band without a test frequency or one the synthesiser cannot make.
std::optional<TestFrequency> EncodeTestFrequency(const PllParams& params, int band, bool isRx);

// Said when a test set-up is not completed; the set-up is then ended with the closing code.
inline constexpr const char* kSetUpFailedText =
    "The radio did not take the test set-up: the adjustment is not started.";
// Said when the band the radio reports is not the configuration's: the configuration's
// synthesiser settings would put the test frequency elsewhere.
std::string BandMismatchText(int radioBand, int documentBand);
std::string NoTestFrequencyText(int band);

// Said when the radio on the cable could not tell its serial number before a table write.
inline constexpr const char* kSerialUnreadText =
    "The radio's serial number could not be read: the tables were not written.";
// The question before tables go to a radio that is not the one they were read from: its serial
// number differs from the document's, or either has none. Serial numbers are trimmed.
std::string OtherRadioQuestion(const std::string& radioSerial, const std::string& tablesSerial);

// Before the tables are written to the radio on the cable: it must identify with the
// document's band (refused, as the tuning windows refuse it), and one whose serial number is
// not the document's is written only after a Yes (No is the default). True when the tables
// may be written; otherwise the user has been told or has answered No.
bool ConfirmTableRadio(const AlignmentContext& context);

// The test frequency for the radio the link detected last, encoded with the document's
// synthesiser settings. When the document is of another band, or the band has no test
// frequency, the user is told and there is nothing.
std::optional<TestFrequency> PrepareTestFrequency(const AlignmentContext& context, bool isRx);

// The writes of a test set-up, in order. At the first one the radio does not take, the user
// is told (kSetUpFailedText) and the rest is not sent: a half-made set-up must not go on to
// its start code. True when every write was answered.
bool RunSetUp(Prompter& prompter, std::initializer_list<std::function<bool()>> writes);

// A test state of the radio, left with its closing code (0xAA, or 0x92 back to alignment)
// whatever way the dialog that opened it ends: the destructor sends the code if Leave() was
// not called. An unanswered code is reported, with the chance to send it again, unless no
// test code ever reached a radio (the link knows).
class TestState {
  public:
    TestState(ParamLink& link, Prompter& prompter, std::uint8_t closingCode);
    ~TestState();
    TestState(const TestState&) = delete;
    TestState& operator=(const TestState&) = delete;

    // Sends the closing code once; true when the radio answered it.
    bool Leave();
    bool Left() const { return left_; }

  private:
    ParamLink& link_;
    Prompter& prompter_;
    std::uint8_t closingCode_;
    bool left_ = false;
};

// The question after an unanswered closing code; keyed: the transmitter may be on.
std::string ClosingCodeFailedText(std::uint8_t closingCode, bool keyed);

}  // namespace petrel
