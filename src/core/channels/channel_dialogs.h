#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/channels/freq_entry.h"

namespace petrel {

struct Authorization;

// The channel dialog a double-click or Enter on a channel line opens.
enum class ChannelDialogKind { Free, Fixed };
// Opening a channel of a band other than the fixed-channel bands (9, 10) switches FreqLock off
// until the authorization options set it again; the caller does this before choosing.
void ReleaseFreqLockOutsideFixedBands(Authorization& authorization, int band);
// The fixed-channel bands take their frequencies from the band's channel table while FreqLock
// is on; every other channel gets the free editor.
ChannelDialogKind ChooseChannelDialog(const Authorization& authorization, int band);
// Whether a channel of band may only take the frequencies of the band's channel table now.
bool FixedChannelsOnly(const Authorization& authorization, int band);

// A tone box's text read as a tone code. A tone may be given by value: a CTCSS frequency with a
// point ("67.0", "88.5") or a DCS code after a "D" ("D023", "d754"). Otherwise the text's
// first three characters, blanks trimmed, digits only, at most the last code, are the list
// number (an item's own text reads as its number). Anything else (letters, empty, too large, a
// value the table lacks) is refused.
std::optional<int> ToneCodeOf(std::string_view text);
// What a tone box accepts, for its tool tip.
std::string ToneEntryHint();
// The refusal: "Input Err! Maximun Number is 154".
std::string ToneInputError();

inline constexpr int kRx = 0;
inline constexpr int kTx = 1;

// frmCh_edit in channel mode: one channel's two sides while the dialog is open. The frequency
// boxes are FreqEntry models; the range and raster flags of each box decide the status message.
class ChannelEditModel {
  public:
    // line: the channel's list line; bandLow/bandHigh: the document's band edges.
    ChannelEditModel(int channel, std::string_view line, std::string bandLow, std::string bandHigh);

    int Channel() const { return channel_; }
    FreqEntry& Freq(int side) { return freq_[side]; }
    const FreqEntry& Freq(int side) const { return freq_[side]; }
    int Tone(int side) const { return tone_[side]; }
    void SetTone(int side, int code) { tone_[side] = code; }
    const std::string& Dtmf(int side) const { return dtmf_[side]; }

    // The dialog became active: every flag cleared, both boxes judged. Returns the message.
    std::string Activate();
    // JudgeFreq: the box's flags from its text, then the first message that applies ("" when
    // none). A box without a frequency ("NONE") leaves its flags as they are.
    std::string JudgeFreq(int side);

    // "RX ONLY": no transmitter. "TX=RX": the Tx side copies the Rx side. Both return the
    // message once the Tx box is judged again.
    std::string RxOnly();
    std::string TxEqualsRx();

    // The line OK writes.
    std::string Line() const;

  private:
    std::string Message() const;

    int channel_;
    std::string bandLow_;
    std::string bandHigh_;
    std::array<FreqEntry, 2> freq_;
    std::array<int, 2> tone_{};
    std::array<std::string, 2> dtmf_;
    std::array<bool, 2> outOfRange_{};
    std::array<bool, 2> badStep_{};
};

// The caption of frmCh_edit: "Channel No." n " (" model "," range label ")".
std::string ChannelEditCaption(int channel, std::string_view modelLabel,
                               std::string_view rangeLabel);

// frmChOp: one channel of a fixed-channel band, its frequencies picked from the band's table.
class FixedChannelModel {
  public:
    FixedChannelModel(int band, int channel, std::string_view line);

    int Channel() const { return channel_; }
    std::string Caption() const;
    // "NONE      " followed by the band's channel table.
    const std::vector<std::string>& Frequencies() const { return table_; }
    // The table entry chosen for a side; -1 while the line's own frequency is not in the table
    // (it is then written back unchanged).
    int FreqIndex(int side) const { return freqIndex_[side]; }
    // The frequency field of the line as it was read.
    const std::string& LineFreq(int side) const { return freq_[side]; }
    void SetFreqIndex(int side, int index);
    int Tone(int side) const { return tone_[side]; }
    void SetTone(int side, int code) { tone_[side] = code; }
    bool txEqualsRx = false;

    std::string Line() const;

  private:
    int channel_;
    std::vector<std::string> table_;
    std::array<std::string, 2> freq_;
    std::array<int, 2> freqIndex_{};
    std::array<int, 2> tone_{};
};

}  // namespace petrel
