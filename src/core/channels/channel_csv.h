#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/document_edit.h"

namespace petrel {

struct Document;

// Channels as comma-separated text in the generic column layout radio programming tools (CHIRP
// among them) read and write:
//   Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,
//   RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment
// Frequencies and offsets in MHz with six decimals; the channel's tones as Tone/CrossMode with
// their CTCSS or DCS columns; spacing, power and scan from the option bits, power as watts. The
// radio stores no names: Name stays empty and, like Comment, TStep and the columns of digital
// modes, is not read back.

struct ChannelCsvExport {
    std::string text;  // the header and one row per channel, each ending in CR LF
    // Channels the rows cannot say exactly: not exported, or exported without a tone.
    std::vector<std::string> warnings;
};

// Every channel of the document the radio would hold with a receive frequency, in channel order.
ChannelCsvExport ExportChannelsCsv(const Document& doc);
// The same for the channels named (1-based, ascending); a number outside the list is ignored.
ChannelCsvExport ExportChannelsCsv(const Document& doc, const std::vector<int>& channels);

// The watts the Power column gives the radio's two levels on a band. The configuration holds
// power only as a bit: these are nominal figures (PMR446 is capped at 0.5 W by law).
struct PowerFigures {
    std::string_view high;
    std::string_view low;
};
PowerFigures NominalPower(int band);

struct ChannelImportOptions {
    // While the fixed-channel lock holds, only the band's channel table is offered.
    bool fixedChannelsOnly = false;
    // Rows go, in file order, on this channel and the ones after it; their Location is not
    // read. Unset: each row goes on the channel its Location names.
    std::optional<int> firstChannel;
    // Rows that cannot be stored are left out, each one named, instead of refusing the file.
    bool skipUnstorable = false;
};

enum class ImportRowOutcome { Import, Skip, Refuse };

// One row of a file, as the import will treat it.
struct ChannelImportRow {
    int line = 0;          // where the row starts in the file
    std::string location;  // the Location and Frequency cells as written
    std::string frequency;
    int channel = 0;  // the channel the row goes to; 0 when none
    ImportRowOutcome outcome = ImportRowOutcome::Import;
    std::string why;  // for a row skipped or refused: "Frequency: 467.5 MHz is outside ..."
};

// What an import of a file into a document does: made first, then applied.
struct ChannelCsvImport {
    // The file's faults and refused rows ("line 7, Frequency: 467.5 MHz is outside 446.00625 ~
    // 446.09375"); with any, nothing is imported.
    std::vector<std::string> errors;
    // The rows skipped, in the same form: Location 0 always (a scratch memory, not a channel),
    // rows that cannot be stored when the options say so.
    std::vector<std::string> notes;
    std::vector<ChannelImportRow> rows;  // every row after the header, in file order
    int channels = 0;                    // the rows that go to a channel
    int skipped = 0;
    bool imported = false;  // the document has been changed
    DocumentChange change;  // the lines and option bytes the import writes

    bool CanImport() const { return errors.empty() && channels > 0; }
    // "8 channels imported, 69 rows skipped"
    std::string Summary() const;
    // The preview's words, before the import: for a row ("Import", "Skip: Location: ...",
    // "Refused: Frequency: ..."), and for the whole file.
    std::string RowResult(const ChannelImportRow& row) const;
    std::string PreviewSummary() const;
};

// Reads the rows and checks every one against the document: channel number (or, with a first
// channel, the next free one), band range of both frequencies and whether the document's own
// synthesiser settings can store them (and, with fixedChannelsOnly, the band's channel table),
// known tones, modes and values. Columns may come in any order; unknown ones are ignored. Text
// whose meaning cannot be told is refused: a quote left open, a read column named twice, a
// shifted Duplex without its Offset. A missing Duplex or tone column means simplex without
// tones; a missing Mode, Power or Skip column (or an empty cell) keeps what the channel had, as
// do the options the layout has no column for (busy-channel lock-out, beat shift, and AUTO scan
// while Skip stays empty). Power is "High", "Low" or watts: a figure at least half the largest
// in the file is High. The document is not changed.
ChannelCsvImport PlanChannelsImport(const Document& doc, std::string_view text,
                                    const ChannelImportOptions& options);
// Writes a plan made for doc as one change of the document, when it can be imported.
void ApplyChannelsImport(Document& doc, ChannelCsvImport& plan);
// Both at once.
ChannelCsvImport ImportChannelsCsv(Document& doc, std::string_view text,
                                   const ChannelImportOptions& options);

// No list of 99 channels comes near this; a bigger file is not read.
inline constexpr std::size_t kMaxChannelCsvBytes = 1 << 20;
// The text of a channel file, or nothing with the reason in why.
std::optional<std::string> ReadChannelsCsvFile(const std::string& path, std::string& why);

// The channels a text such as "1-8,12" names, ascending and each once, every one from 1 to
// last; or nothing, with the reason in why.
std::optional<std::vector<int>> ParseChannelSelection(std::string_view text, int last,
                                                      std::string& why);

}  // namespace petrel
