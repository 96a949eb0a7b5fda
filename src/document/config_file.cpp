#include "document/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "channels/freq_codec.h"
#include "document/band_table.h"
#include "document/document_lifecycle.h"
#include "document/info_page.h"
#include "ports/prompter.h"
#include "util/text.h"

namespace petrel {

namespace fs = std::filesystem;

namespace {

constexpr int kHighestBand = 12;
constexpr std::size_t kByteRecordSize = 3;
constexpr std::size_t kIntegerRecordSize = 4;
constexpr std::string_view kConfigExtension = ".cfg";
constexpr std::string_view kCompanionExtension = ".ptx";
constexpr const char* kUntitledSaveName = "Untitled.cfg";
constexpr const char* kReadOnlyText = " is a read only file";
constexpr int kTemporaryNameAttempts = 8;

std::string SystemErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

std::uint16_t TagAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<InfoPage> ReadCompanion(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    return DecodeCompanionFile(*bytes);
}

// The folder part of a path, with its final separator ("" for a bare name).
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool HasConfigExtension(const std::string& path) {
    const std::string bare = path.substr(FolderOf(path).size());
    return bare.size() >= kConfigExtension.size() &&
           ToUpperAscii(bare.substr(bare.size() - kConfigExtension.size())) ==
               ToUpperAscii(kConfigExtension);
}

// The first companion that exists: the configuration's own, then the name older versions gave
// it (cut at the first ".") beside it, then that name in the working directory, where the
// first versions kept it. One that exists but cannot be read counts as missing.
std::optional<InfoPage> FindCompanion(const std::string& configPath) {
    const std::string oldName = FileBase(configPath) + std::string(kCompanionExtension);
    for (const std::string& candidate :
         {CompanionPath(configPath), FolderOf(configPath) + oldName, oldName}) {
        std::error_code error;
        if (fs::exists(candidate, error)) {
            return ReadCompanion(candidate);
        }
    }
    return std::nullopt;
}

// A short name: the target's own name may already be as long as a name can be.
std::string TemporaryName(const fs::path& target) {
    std::random_device random;
    return (target.parent_path() / (".petrel" + std::to_string(random()) + ".tmp")).string();
}

void ReportSaveError(const std::string& text, Prompter& prompter) {
    prompter.Tell(text, Icon::Exclamation, kMainWindowCaption);
}

// A failure after the configuration was replaced: what failed, and what the pair holds now.
std::string PairMessage(const std::string& failure, const std::string& config,
                        const std::string& companion, bool infoValid) {
    return failure + kLineBreak + config +
           (infoValid ? " was saved, but its radio information in " + companion + " was not."
                      : " was saved, but " + companion + " still holds older radio information.");
}

}  // namespace

std::vector<std::uint8_t> EncodeConfigFile(const ImageBuf& image) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(image.size() * kByteRecordSize);
    for (const std::uint8_t value : image) {
        bytes.push_back(kTagByte & 0xFF);
        bytes.push_back(kTagByte >> 8);
        bytes.push_back(value);
    }
    return bytes;
}

ImageBuf DecodeConfigFile(const std::vector<std::uint8_t>& bytes) {
    ImageBuf image(kImageHeaderSize, 0);
    std::size_t record = 0;
    std::size_t at = 0;
    while (at + 2 <= bytes.size()) {
        const std::uint16_t tag = TagAt(bytes, at);
        int value = 0;
        if (tag == kTagByte && at + kByteRecordSize <= bytes.size()) {
            value = bytes[at + 2];
            at += kByteRecordSize;
        } else if (tag == kTagInteger && at + kIntegerRecordSize <= bytes.size()) {
            value = static_cast<std::int16_t>(bytes[at + 2] | (bytes[at + 3] << 8));
            at += kIntegerRecordSize;
            if (value < 0 || value > 0xFF) {
                break;  // not an image byte: the image ends here
            }
        } else {
            break;  // an unknown tag or a partial record ends the file
        }
        if (record < kImageHeaderSize) {
            image[record] = static_cast<std::uint8_t>(value);
        } else {
            image.push_back(static_cast<std::uint8_t>(value));
        }
        ++record;
    }
    return image;
}

std::vector<std::uint8_t> EncodeCompanionFile(const InfoPage& info) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(info.size() * kIntegerRecordSize);
    for (const std::int16_t word : info) {
        const auto value = static_cast<std::uint16_t>(word);
        bytes.push_back(kTagInteger & 0xFF);
        bytes.push_back(kTagInteger >> 8);
        bytes.push_back(value & 0xFF);
        bytes.push_back(value >> 8);
    }
    return bytes;
}

std::optional<InfoPage> DecodeCompanionFile(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < kInfoPageSize * kIntegerRecordSize) {
        return std::nullopt;
    }
    InfoPage info{};
    for (std::size_t i = 0; i < kInfoPageSize; ++i) {
        const std::size_t at = i * kIntegerRecordSize;
        if (TagAt(bytes, at) != kTagInteger) {
            return std::nullopt;
        }
        info[i] = static_cast<std::int16_t>(bytes[at + 2] | (bytes[at + 3] << 8));
    }
    return info;
}

int BandNumberFromByte(std::uint8_t byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high <= 9 && low <= 9) {
        return high * 10 + low;
    }
    return byte;
}

std::string FileBase(const std::string& path) {
    // The bare name first: a dot in a folder name ("~/.config") must not cut the path.
    const auto slash = path.find_last_of("/\\");
    const std::string bare = slash == std::string::npos ? path : path.substr(slash + 1);
    return bare.substr(0, bare.find('.'));
}

std::string CompanionPath(const std::string& configPath) {
    const std::size_t cut = HasConfigExtension(configPath) ? kConfigExtension.size() : 0;
    return configPath.substr(0, configPath.size() - cut) + std::string(kCompanionExtension);
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::vector<std::uint8_t>& bytes) {
    const fs::path target(path);
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = TemporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return SystemErrorText(errno);
    }
    int error = 0;
    std::size_t written = 0;
    while (error == 0 && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno != EINTR) {
            error = errno;
        } else if (n > 0) {
            written += static_cast<std::size_t>(n);
        }
    }
    if (error == 0 && existed && ::fchmod(fd, old.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return SystemErrorText(error);
    }
    return std::nullopt;
}

std::optional<int> OpenConfigFile(ProgramState& state, const std::string& name,
                                  Prompter& prompter) {
    std::error_code error;
    const auto size = fs::file_size(name, error);
    if (!error && size > kMaxConfigFileSize) {
        prompter.Tell("File is too big to open");
        return std::nullopt;
    }
    const auto slot = ReadConfigFile(state, name, prompter);
    state.NewUntouched = false;  // after every read, whether the file opened or not
    return slot;
}

std::optional<int> ReadConfigFile(ProgramState& state, const std::string& name,
                                  Prompter& prompter) {
    const auto bytes = ReadWholeFile(name);
    if (!bytes) {
        prompter.Tell("Can't open file: " + name);
        return std::nullopt;
    }
    return OpenConfigBytes(state, *bytes, FindCompanion(name), name, prompter);
}

std::optional<int> OpenConfigBytes(ProgramState& state, const std::vector<std::uint8_t>& bytes,
                                   const std::optional<InfoPage>& companion,
                                   const std::string& name, Prompter& prompter) {
    ImageBuf image = DecodeConfigFile(bytes);
    const int band = BandNumberFromByte(image[kSysBand]);
    if (band > kHighestBand) {
        prompter.Tell("Model or Type Error!  Can not Open  " + name);
        return std::nullopt;
    }
    BandInfo(state, band);
    state.BandNo = band;

    // Without a readable companion the information texts and tables keep their values.
    state.InfoValid = false;
    if (companion) {
        state.InfoWords = *companion;
        state.InfoValid = true;
        DecodeInfo(state);
    }

    const int slot = NewDocFromImage(state, std::move(image), name);
    state.workspace.At(slot).path = name;
    return slot;
}

bool SaveConfigFile(ProgramState& state, int slot, const std::string& name, Prompter& prompter) {
    Document& doc = state.workspace.At(slot);
    const ImageBuf image = PackImage(state, doc);
    if (IsReadOnlyFile(name)) {
        prompter.Tell(name + kReadOnlyText, Icon::Exclamation);
        return false;
    }
    if (const auto error = WriteFileAtomically(name, EncodeConfigFile(image))) {
        ReportSaveError(
            "Can't save " + name + ": " + *error + "." + kLineBreak + "Nothing was saved.",
            prompter);
        return false;
    }
    // From here on the configuration is already replaced: when the companion fails, the
    // message says what the pair now holds, and the document stays unsaved.
    const std::string companion = CompanionPath(name);
    if (IsReadOnlyFile(companion)) {
        prompter.Tell(PairMessage(companion + kReadOnlyText, name, companion, state.InfoValid),
                      Icon::Exclamation);
        return false;
    }
    if (state.InfoValid) {
        if (const auto error =
                WriteFileAtomically(companion, EncodeCompanionFile(state.InfoWords))) {
            ReportSaveError(
                PairMessage("Can't save " + companion + ": " + *error + ".", name, companion, true),
                prompter);
            return false;
        }
    } else if (::unlink(companion.c_str()) != 0 && errno != ENOENT) {
        // Without an information page an old companion would belong to another radio.
        const std::string error = SystemErrorText(errno);
        ReportSaveError(
            PairMessage("Can't delete " + companion + ": " + error + ".", name, companion, false),
            prompter);
        return false;
    }
    doc.title = ToUpperAscii(name);
    doc.path = name;
    doc.state.Dirty = false;
    return true;
}

namespace {
// Where a titled document is saved: its file, or for a new one its title in the working folder.
std::string SavePathOf(const Document& doc) {
    return doc.path.empty() ? doc.title : doc.path;
}

// The name the user chose in the Save dialog, always with ".cfg" ("dealer1" -> "dealer1.cfg").
std::string AskConfigName(FileChooser& chooser, const std::string& proposed) {
    const std::string name = chooser.AskSaveName(proposed);
    return name.empty() || HasConfigExtension(name) ? name : name + std::string(kConfigExtension);
}

SaveOutcome SaveUnder(ProgramState& state, int slot, const std::string& name, Prompter& prompter) {
    if (name.empty()) {
        return SaveOutcome::Cancelled;
    }
    return SaveConfigFile(state, slot, name, prompter) ? SaveOutcome::Saved : SaveOutcome::Failed;
}
}  // namespace

SaveOutcome SaveDocument(ProgramState& state, int slot, FileChooser& chooser, Prompter& prompter) {
    const Document& doc = state.workspace.At(slot);
    const std::string name =
        IsUntitled(doc.title) ? AskConfigName(chooser, doc.title) : SavePathOf(doc);
    return SaveUnder(state, slot, name, prompter);
}

SaveOutcome SaveDocumentAs(ProgramState& state, int slot, FileChooser& chooser,
                           Prompter& prompter) {
    const Document& doc = state.workspace.At(slot);
    const std::string name = AskConfigName(
        chooser, IsUntitled(doc.title) ? std::string(kUntitledSaveName) : SavePathOf(doc));
    return SaveUnder(state, slot, name, prompter);
}

bool QueryClose(ProgramState& state, int slot, FileChooser& chooser, Prompter& prompter) {
    const Document& doc = state.workspace.At(slot);
    if (!doc.state.Dirty) {
        return true;
    }
    const std::string base = FileBase(doc.title);
    const Answer answer = prompter.Ask(Message{
        "The data in [" + base + "] has changed." + kLineBreak + "Do you want to save the changes?",
        kMainWindowCaption, Buttons::YesNoCancel, Icon::Exclamation, std::nullopt});
    if (answer == Answer::No) {
        return true;
    }
    if (answer != Answer::Yes) {
        return false;
    }
    // A file of its own is proposed as it is, not as the upper-cased name of the title. A failed
    // save keeps the window open: closing it would lose the changes.
    const std::string proposed = doc.path.empty() ? base : doc.path;
    return SaveUnder(state, slot, AskConfigName(chooser, proposed), prompter) == SaveOutcome::Saved;
}

}  // namespace petrel
