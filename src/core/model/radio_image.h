#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/info_page.h"

namespace petrel {

class Workspace;
struct DocumentChange;

// Layout of the radio image: system block, tuning block, then one 8-byte record per channel.
inline constexpr std::size_t kSysBlockSize = 32;
inline constexpr std::size_t kTuneBlockStart = 0x20;
inline constexpr std::size_t kTuneBlockSize = 64;
inline constexpr std::size_t kImageHeaderSize = 0x60;  // first channel record

// System block bytes this program itself reads or writes.
enum SysByte : std::size_t {
    kSysButtonSideA = 0x00,
    kSysButtonSideB = 0x01,
    kSysResumeTimes = 0x07,
    kSysLongPressPowerSave = 0x09,
    kSysOptions0A = 0x0A,
    kSysOptions0E = 0x0E,
    kSysVoxTimes = 0x0F,
    kSysBand = 0x10,
    kSysMaxChannel = 0x11,
    kSysCallOptions = 0x17,
};

// Byte 0x0A, bit 1: the image is a 99-channel radio's (clear: a 16-channel radio's).
inline constexpr std::uint8_t kNinetyNineChannelBit = 0x02;
inline constexpr int kSmallRadioChannels = 16;

// The transient image: bytes 0x00 .. image top - 1, and for a file the band byte after them.
using ImageBuf = std::vector<std::uint8_t>;

// The state of one editor window's document.
struct DocState {
    bool Deleted = true;  // the slot is free
    bool Dirty = false;
    std::uint8_t Band = 0;
    std::array<std::uint8_t, kSysBlockSize> SysBlock{};
    std::array<std::uint8_t, kTuneBlockSize> TuneBlock{};
    std::vector<std::uint8_t> ChOption;  // ChannelFlags per channel
    bool Key4Assigned = false;
};

// Takes what every change of one document replaced (document_edit.h): the editor's undo
// stack. It belongs to that document alone: a copy (a report works on one) records nothing,
// and a document assigned over it (a reused slot) drops it.
struct ChangeRecorder {
    std::function<void(DocumentChange)> record;

    ChangeRecorder() = default;
    ChangeRecorder(const ChangeRecorder& /*other*/) {}
    ChangeRecorder& operator=(const ChangeRecorder& /*other*/) {
        record = nullptr;
        return *this;
    }
};

// The origin of a document opened from the backup folder.
inline constexpr const char* kBackupOrigin = "backup";

// One open configuration: its state, its channel lines (the only store of the channels'
// frequencies and tones while it is open), its radio's information page, its title and the
// texts of its header labels.
struct Document {
    DocState state;
    std::vector<std::string> lines;
    RadioInfoPage info;
    std::string title;    // the window caption
    std::string path;     // where the file really is; empty for an untitled document
    // For a copy of what a radio held, where it came from ("backup", "history record 12"):
    // shown in its caption, and saved only under another name. Empty for any other document.
    std::string origin;
    std::string modelLabel = "Model:";
    std::string rangeLabel = "Range:";
    std::string serialLabel = "Serial No:";
    std::string customerLabel = "Customer:";
    ChangeRecorder changes;

    bool IsRadioCopy() const { return !origin.empty(); }
};

// A radio as an Upload read it: its image with the band byte last (as a file holds it), the
// information page read with it, and the band it identified with.
struct RadioRead {
    ImageBuf image;
    RadioInfoPage page;
    int band = 0;
};

// A document's band edges as MHz texts ("446.00625", "446.09375"), from its range label.
struct BandEdges {
    std::string low;
    std::string high;
};
BandEdges DocumentBandEdges(const Document& doc);

// True when any nibble of system bytes 0x00 and 0x01 holds function code 4.
bool Key4Assigned(const std::array<std::uint8_t, kSysBlockSize>& sysBlock);

// Builds the image of a document: header, channel records, then the band byte.
ImageBuf PackImage(const Document& doc);

// Opens a new document of band from an image (at least the 96 header bytes) and the
// information page it came with under title; returns its slot. The image is consumed. A band
// without a row (above 12) takes the labels of the active document's band.
int NewDocFromImage(Workspace& workspace, ImageBuf image, RadioInfoPage info,
                    const std::string& title, int band);

// The window's label texts from a band row; returns the length of its frequency texts.
int FillBandLabels(Document& doc, std::string_view bandRow);

}  // namespace petrel
