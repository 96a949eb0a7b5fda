#include "core/document/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/document/document_lifecycle.h"
#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/model/freq_codec.h"
#include "core/model/info_page.h"
#include "core/ports/prompter.h"
#include "core/util/text.h"

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

// The bytes of a regular file, or nothing with the reason in why. Opened without waiting, so
// that a pipe in the file's place cannot hold the program up.
// "0x0011": a record tag as the format writes it down.
std::string HexTag(std::uint16_t tag) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += kDigits[(tag >> shift) & 0x0F];
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = SystemErrorText(errno);
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::vector<std::uint8_t>> bytes;
    if (::fstat(fd, &info) != 0) {
        why = SystemErrorText(errno);
    } else if (S_ISDIR(info.st_mode)) {
        why = SystemErrorText(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        why = "it is not a regular file";
    } else {
        bytes.emplace();
        std::uint8_t buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                why = SystemErrorText(errno);
                bytes.reset();
                break;
            }
            if (n == 0) {
                break;
            }
            bytes->insert(bytes->end(), buffer, buffer + n);
        }
    }
    ::close(fd);
    return bytes;
}

// A companion's page, or nothing with the reason in why.
std::optional<InfoPage> ReadCompanion(const std::string& path, std::string& why) {
    const auto bytes = ReadWholeFile(path, why);
    return bytes ? DecodeCompanionFile(*bytes, &why) : std::nullopt;
}

// True when something is at path (a link is followed; a dangling one counts as nothing).
bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
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

// What opening found beside a configuration: the companion's path (empty when there is none),
// its page, and why it could not be read.
struct CompanionRead {
    std::optional<InfoPage> page;
    std::string path;
    std::string problem;
};

// The first companion that exists: the configuration's own, then the name older versions gave
// it (cut at the first ".") beside it, then that name in the working directory, where the
// first versions kept it. One that exists but cannot be read is reported, not passed over.
CompanionRead FindCompanion(const std::string& configPath) {
    const std::string oldName = FileBase(configPath) + std::string(kCompanionExtension);
    for (const std::string& candidate :
         {CompanionPath(configPath), FolderOf(configPath) + oldName, oldName}) {
        if (Exists(candidate)) {
            CompanionRead found{std::nullopt, candidate, {}};
            found.page = ReadCompanion(candidate, found.problem);
            return found;
        }
    }
    return {};
}

// Writes every byte to fd; the system's error number, or 0. A write that takes nothing is an
// error too, so that the loop always ends.
int WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        written += static_cast<std::size_t>(n);
    }
    return 0;
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

namespace {

// The records of a configuration file from its start: the image they hold (at least the header,
// missing bytes 0), how many there were, and whether the first one was an integer record.
struct ConfigRecords {
    ImageBuf image;
    std::size_t count = 0;
    bool startsWithInteger = false;
};

ConfigRecords ReadConfigRecords(const std::vector<std::uint8_t>& bytes) {
    ConfigRecords read{ImageBuf(kImageHeaderSize, 0)};
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
            read.startsWithInteger = read.startsWithInteger || read.count == 0;
        } else {
            break;  // an unknown tag or a partial record ends the file
        }
        if (read.count < kImageHeaderSize) {
            read.image[read.count] = static_cast<std::uint8_t>(value);
        } else {
            read.image.push_back(static_cast<std::uint8_t>(value));
        }
        ++read.count;
    }
    return read;
}

// Why the records read are no configuration the program can open, or nothing. A file the radio
// software wrote starts with byte records and, however short or padded, holds at least one
// channel; anything else (text, random bytes, a companion chosen by mistake) would open as an
// empty configuration of band 0.
std::optional<std::string> ConfigRecordsProblem(const ConfigRecords& read) {
    if (read.count == 0) {
        return "it is not a configuration file (it holds no configuration records).";
    }
    if (read.startsWithInteger) {
        return "it holds integer records, as a radio information (.ptx) file does, not the byte "
               "records of a configuration.";
    }
    if (ChannelCountOf(read.image.size()) == 0) {
        return "it holds no channel record (its records end after " + std::to_string(read.count) +
               " bytes of the radio image, before the first channel). It may have been cut "
               "short.";
    }
    return std::nullopt;
}

}  // namespace

ImageBuf DecodeConfigFile(const std::vector<std::uint8_t>& bytes) {
    return ReadConfigRecords(bytes).image;
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

std::optional<InfoPage> DecodeCompanionFile(const std::vector<std::uint8_t>& bytes,
                                            std::string* why) {
    const std::size_t size = kInfoPageSize * kIntegerRecordSize;
    if (bytes.size() < size) {
        if (why != nullptr) {
            *why = "it is " + std::to_string(bytes.size()) + " bytes long, not " +
                   std::to_string(size);
        }
        return std::nullopt;
    }
    InfoPage info{};
    for (std::size_t i = 0; i < kInfoPageSize; ++i) {
        const std::size_t at = i * kIntegerRecordSize;
        if (const std::uint16_t tag = TagAt(bytes, at); tag != kTagInteger) {
            if (why != nullptr) {
                *why = "its record " + std::to_string(i) + " (at byte " + std::to_string(at) +
                       ") has tag " + HexTag(tag) + ", not " + HexTag(kTagInteger);
            }
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

namespace {

// How many links are followed before a path counts as a loop (the system's own limit).
constexpr int kMaxLinksFollowed = 40;

// The file path names once the links in its last part are followed, so that writing or
// deleting through a link reaches the file it names and keeps the link; a relative target is
// taken from the link's folder. A dangling link gives the file it would name.
std::string FollowLinks(const std::string& path, int& error) {
    std::string target = path;
    for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return target;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = errno;
            return target;
        }
        link.resize(static_cast<std::size_t>(n));
        target = link.starts_with('/') ? link : FolderOf(target) + link;
    }
    error = ELOOP;
    return target;
}

// Writes bytes into something that is not a regular file (a device, a pipe): there is no file
// to replace, and a rename would put a plain file in its place.
int WriteInPlace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// Deletes the file path names (through its links); nothing when there was none.
std::optional<std::string> DeleteFile(const std::string& path) {
    int error = 0;
    const std::string target = FollowLinks(path, error);
    if (error == 0 && ::unlink(target.c_str()) != 0 && errno != ENOENT) {
        error = errno;
    }
    return error == 0 ? std::nullopt : std::optional(SystemErrorText(error));
}

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::vector<std::uint8_t>& bytes) {
    int error = 0;
    const std::string target = FollowLinks(path, error);
    if (error != 0) {
        return SystemErrorText(error);
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) {
        error = WriteInPlace(target, bytes);
        return error == 0 ? std::nullopt : std::optional(SystemErrorText(error));
    }
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = TemporaryName(fs::path(target));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return SystemErrorText(errno);
    }
    error = WriteAll(fd, bytes);
    if (error == 0 && existed && ::fchmod(fd, old.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return SystemErrorText(error);
    }
    return std::nullopt;
}

std::optional<int> OpenConfigFile(Workspace& workspace, const std::string& name,
                                  Prompter& prompter) {
    std::error_code error;
    const auto size = fs::file_size(name, error);
    if (!error && size > kMaxConfigFileSize) {
        prompter.Tell("File is too big to open");
        return std::nullopt;
    }
    return ReadConfigFile(workspace, name, prompter);
}

std::optional<int> ReadConfigFile(Workspace& workspace, const std::string& name,
                                  Prompter& prompter) {
    std::string why;
    const auto bytes = ReadWholeFile(name, why);
    if (!bytes) {
        prompter.Tell("Can't open file: " + name);
        return std::nullopt;
    }
    const CompanionRead companion = FindCompanion(name);
    const auto slot = OpenConfigBytes(workspace, *bytes, companion.page, name, prompter);
    if (slot && !companion.page && !companion.problem.empty()) {
        prompter.Tell("The radio information in " + companion.path +
                          " could not be read: " + companion.problem + "." + kLineBreak +
                          "The configuration opens without it, and saving leaves " +
                          companion.path + " as it is.",
                      Icon::Exclamation);
    }
    return slot;
}

std::optional<int> OpenConfigBytes(Workspace& workspace, const std::vector<std::uint8_t>& bytes,
                                   const std::optional<InfoPage>& companion,
                                   const std::string& name, Prompter& prompter) {
    ConfigRecords read = ReadConfigRecords(bytes);
    if (const auto problem = ConfigRecordsProblem(read)) {
        prompter.Tell("Can't open " + name + ": " + *problem);
        return std::nullopt;
    }
    ImageBuf image = std::move(read.image);
    const int band = BandNumberFromByte(image[kSysBand]);
    if (band > kHighestBand) {
        prompter.Tell("Model or Type Error!  Can not Open  " + name);
        return std::nullopt;
    }

    // The document's own page: its companion's, or none (not valid) without a readable one.
    RadioInfoPage info;
    if (companion) {
        info.InfoWords = *companion;
        info.InfoValid = true;
        DecodeInfo(info);
    }

    const int slot = NewDocFromImage(workspace, std::move(image), std::move(info), name, band);
    workspace.At(slot).path = name;
    return slot;
}

bool SaveConfigFile(Workspace& workspace, int slot, const std::string& name, Prompter& prompter) {
    Document& doc = workspace.At(slot);
    const ImageBuf image = PackImage(doc);
    if (IsReadOnlyFile(name)) {
        prompter.Tell(name + kReadOnlyText, Icon::Exclamation);
        return false;
    }
    // A companion that exists but cannot be read may hold the only copy of a radio's serial
    // number and tables: a save never deletes or replaces it.
    const std::string companion = CompanionPath(name);
    std::string unreadable;
    if (Exists(companion)) {
        std::string why;
        if (!ReadCompanion(companion, why)) {
            unreadable = why;
        }
    }
    if (!unreadable.empty() && doc.info.InfoValid) {
        ReportSaveError("Can't save " + name + ": its radio information file " + companion +
                            " could not be read (" + unreadable +
                            "), and a save never replaces one it could not read." + kLineBreak +
                            "Nothing was saved. Move " + companion + " away, then save again.",
                        prompter);
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
    if (!unreadable.empty()) {
        ReportSaveError(companion + " could not be read (" + unreadable +
                            "), so it was left as it is." + kLineBreak + name +
                            " was saved without radio information.",
                        prompter);
    } else if (IsReadOnlyFile(companion)) {
        prompter.Tell(PairMessage(companion + kReadOnlyText, name, companion, doc.info.InfoValid),
                      Icon::Exclamation);
        return false;
    } else if (doc.info.InfoValid) {
        if (const auto error =
                WriteFileAtomically(companion, EncodeCompanionFile(doc.info.InfoWords))) {
            ReportSaveError(
                PairMessage("Can't save " + companion + ": " + *error + ".", name, companion, true),
                prompter);
            return false;
        }
    } else if (const auto error = DeleteFile(companion)) {
        // Without an information page an old companion would belong to another radio.
        ReportSaveError(
            PairMessage("Can't delete " + companion + ": " + *error + ".", name, companion, false),
            prompter);
        return false;
    }
    doc.title = ToUpperAscii(name);
    doc.path = name;
    doc.origin.clear();
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

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error)) {
        return true;
    }
    const fs::path first = fs::weakly_canonical(a, error);
    const fs::path second = error ? fs::path() : fs::weakly_canonical(b, error);
    return !error && !first.empty() && first == second;
}

SaveOutcome SaveUnder(Workspace& workspace, int slot, const std::string& name, Prompter& prompter) {
    if (name.empty()) {
        return SaveOutcome::Cancelled;
    }
    // A backup is what a radio held: it stays as it was read.
    if (const Document& doc = workspace.At(slot); doc.IsRadioCopy() && SameFile(name, doc.path)) {
        prompter.Tell(name + " is a backup of a radio and is kept as it was read." + kLineBreak +
                          "Save the configuration under another name.",
                      Icon::Exclamation);
        return SaveOutcome::Failed;
    }
    return SaveConfigFile(workspace, slot, name, prompter) ? SaveOutcome::Saved
                                                           : SaveOutcome::Failed;
}
}  // namespace

SaveOutcome SaveDocument(Workspace& workspace, int slot, FileChooser& chooser, Prompter& prompter) {
    const Document& doc = workspace.At(slot);
    // An untitled document, or a backup (which is never saved over), asks for a name.
    const std::string name = IsUntitled(doc.title) ? AskConfigName(chooser, doc.title)
                             : doc.IsRadioCopy()
                                 ? AskConfigName(chooser, fs::path(doc.path).filename().string())
                                 : SavePathOf(doc);
    return SaveUnder(workspace, slot, name, prompter);
}

SaveOutcome SaveDocumentAs(Workspace& workspace, int slot, FileChooser& chooser,
                           Prompter& prompter) {
    const Document& doc = workspace.At(slot);
    const std::string name = AskConfigName(
        chooser, IsUntitled(doc.title) ? std::string(kUntitledSaveName) : SavePathOf(doc));
    return SaveUnder(workspace, slot, name, prompter);
}

bool QueryClose(Workspace& workspace, int slot, FileChooser& chooser, Prompter& prompter) {
    const Document& doc = workspace.At(slot);
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
    return SaveUnder(workspace, slot, AskConfigName(chooser, proposed), prompter) ==
           SaveOutcome::Saved;
}

}  // namespace petrel
