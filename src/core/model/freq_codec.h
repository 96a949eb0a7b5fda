#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace petrel {

// Channel steps in Hz; the 2-bit step code of a channel indexes this table.
inline constexpr std::array<int, 4> kStepTable = {6250, 5000, 2500, 0};

// IF offsets (low nibble of image byte 0x0B) and reference oscillators (high nibble), MHz.
inline constexpr std::array<std::string_view, 10> kIfList = {
    "-21.4", "+21.4", "-34.3", "+34.3", "-45.0", "+45.0", "-45.1", "+45.1", "-21.7", "+21.7"};
inline constexpr std::array<std::string_view, 4> kOscList = {"6.4", "12.8", "14.4", "21.25"};

inline constexpr std::size_t kPllByte = 0x0B;          // osc index << 4 | IF index
inline constexpr std::size_t kRefDividerByte0 = 0x0C;  // bit 7 set: prescaler 64
inline constexpr std::size_t kRefDividerByte1 = 0x0D;
inline constexpr std::uint8_t kPrescaler64Bit = 0x80;
inline constexpr int kRefDataPrescaler64Mark = 0x8000;

// The code EncodeFreq returns for an absent or unstorable frequency.
inline constexpr std::string_view kUnstorableCode = "0303";

// Frequency text in MHz to Hz ("446.00625" -> 446006250), blanks around it ignored; nothing
// for a text that is not a frequency: more than six decimals, other characters, or a value
// beyond 32 bits. Never depends on the locale.
std::optional<std::int64_t> FreqToHz(std::string_view text);
// 0, 1 or 2 for the first step of kStepTable that divides hz, else 3.
int StepIndex(std::int64_t hz);
// Hz as the shortest decimal MHz text ("446.00625", "446").
std::string FormatMhz(std::int64_t hz);
// A frequency text: the shortest text, given a "." if it has none, then padded with "0" up to
// width characters ("446.006250").
std::string FrequencyTextFromHz(std::int64_t hz, int width);

// The synthesiser parameters of one document.
struct PllParams {
    int ifIndex = 0;
    int oscIndex = 0;
    std::string ifText{kIfList[0]};
    std::string oscText{kOscList[0]};
    int prescaler = 128;
    std::array<int, 3> refData{};  // reference-divider words for 6250, 5000, 2500 Hz
};

// Reference-divider words: 2 x Fosc / step, plus 0x8000 with the 64 prescaler.
std::array<int, 3> MakeRefData(std::string_view oscText, int prescaler);
// The PLL parameters held in image bytes 0x0B and 0x0C.
PllParams PllFromImage(std::uint8_t byte0B, std::uint8_t byte0C);
// Index of a text in the IF or oscillator list; the first entry when it is not there.
int IfIndexOf(std::string_view ifText);
int OscIndexOf(std::string_view oscText);

// Encodes frequency texts into PLL words. PllBytes keep the last word produced; every
// packing pass starts with a new encoder, so its results never depend on earlier passes.
class PllEncoder {
  public:
    explicit PllEncoder(PllParams params) : params_(std::move(params)) {}

    // Returns the 4-character code (2 bits of A mod 4, 2 bits of the step code) and leaves
    // the word in PllBytes, or returns "0303" and leaves PllBytes as they were.
    std::string EncodeFreq(std::string_view text, bool isRx);
    std::uint8_t PllHigh() const { return pllBytes_[0]; }
    std::uint8_t PllLow() const { return pllBytes_[1]; }
    const PllParams& Params() const { return params_; }

  private:
    PllParams params_;
    std::array<std::uint8_t, 2> pllBytes_{0, 0};
};

// The shared nibble byte of a channel record from the Tx and Rx codes: a Tx code of "0303"
// counts as "0000", an Rx code of "0303" makes the byte 0.
std::uint8_t NibbleByte(std::string_view txCode, std::string_view rxCode);

// PLL bytes back to a frequency text of width characters, or nothing when they cannot be
// decoded.
std::optional<std::string> DecodeFreq(const PllParams& params, std::uint8_t hi, std::uint8_t lo,
                                      std::uint8_t nibbleByte, bool isRx, int width);

}  // namespace petrel
