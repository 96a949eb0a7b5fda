#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/info_page.h"
#include "core/model/radio_image.h"
#include "core/model/workspace.h"

namespace petrel {

class Prompter;
class FileChooser;

// Record tags of both files: a 16-bit little-endian tag, then the value.
inline constexpr std::uint16_t kTagByte = 0x0011;     // one unsigned byte
inline constexpr std::uint16_t kTagInteger = 0x0002;  // one signed 16-bit integer

// A configuration file of more bytes than this is refused.
inline constexpr std::uintmax_t kMaxConfigFileSize = 5000;

// The bytes of a ".cfg" file holding image (one byte record per image byte).
std::vector<std::uint8_t> EncodeConfigFile(const ImageBuf& image);
// The image a ".cfg" file holds: always at least the 96 header bytes (missing ones are 0).
// Reading ends at the end of the file, at a partial record, or at a record that is not a
// byte value. Opening refuses a file whose records do not make a configuration (see
// OpenConfigBytes).
ImageBuf DecodeConfigFile(const std::vector<std::uint8_t>& bytes);

// The bytes of a ".ptx" companion: 256 integer records.
std::vector<std::uint8_t> EncodeCompanionFile(const InfoPage& info);
// The information page of a companion, or nothing when it does not hold 256 integer records;
// then why, when given, says what is wrong ("it is 1020 bytes long, not 1024").
std::optional<InfoPage> DecodeCompanionFile(const std::vector<std::uint8_t>& bytes,
                                            std::string* why = nullptr);

// The band number of image byte 0x10: its hexadecimal text read as a decimal number when it
// has only digits (0x12 is band 12), else the byte itself (0x0A is band 10).
int BandNumberFromByte(std::uint8_t byte);

// The file's bare name cut before its first ".".
std::string FileBase(const std::string& path);
// The companion beside a configuration file: its own name with ".cfg" replaced by ".ptx"
// (shop.v2.cfg -> shop.v2.ptx), or with ".ptx" added when it does not end with ".cfg".
std::string CompanionPath(const std::string& configPath);

// True when the file exists and may not be written: no write permission at all (honoured even
// for the superuser, as a read-only mark is) or none for this user.
bool IsReadOnlyFile(const std::string& path);

// Replaces path with bytes through a temporary file in the same folder, so that a failure
// never leaves a half-written file. A symbolic link is written through: the file it names is
// replaced and the link stays. A device or pipe is written as it is. Returns the system's
// error text on failure.
std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::vector<std::uint8_t>& bytes);

// Open (after the file dialog): size check, read, the untouched flag cleared. Returns the new
// document's slot, or nothing after the refusal message.
std::optional<int> OpenConfigFile(Workspace& workspace, const std::string& name,
                                  Prompter& prompter);

// Reads a configuration and its companion and opens a document for it. A companion that
// exists but cannot be read is reported; the document opens without an information page.
std::optional<int> ReadConfigFile(Workspace& workspace, const std::string& name,
                                  Prompter& prompter);
// ReadConfigFile once the files are read: the configuration's bytes and the companion's
// information page, if one was found. Bytes that are no configuration (no record, integer
// records from the start, no channel record) are refused with a message naming the file.
std::optional<int> OpenConfigBytes(Workspace& workspace, const std::vector<std::uint8_t>& bytes,
                                   const std::optional<InfoPage>& companion,
                                   const std::string& name, Prompter& prompter);

// Saves a document under name with its companion. True when both were written, or when the
// document has no information page and a companion that cannot be read was left as it is (a
// save never deletes or replaces such a companion; with a page to write it saves nothing).
bool SaveConfigFile(Workspace& workspace, int slot, const std::string& name, Prompter& prompter);

enum class SaveOutcome { Saved, Cancelled, Failed };
// "&Save": an untitled document asks for a name first.
SaveOutcome SaveDocument(Workspace& workspace, int slot, FileChooser& chooser, Prompter& prompter);
// "Save &As...".
SaveOutcome SaveDocumentAs(Workspace& workspace, int slot, FileChooser& chooser,
                           Prompter& prompter);

// The question before a changed document closes. True when the document may close.
bool QueryClose(Workspace& workspace, int slot, FileChooser& chooser, Prompter& prompter);

}  // namespace petrel
