#include "core/link/radio_backup.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>
#include <vector>

#include "core/document/config_file.h"
#include "core/model/band_table.h"
#include "core/model/info_page.h"
#include "core/model/workspace.h"
#include "core/ports/prompter.h"
#include "core/util/text.h"

namespace petrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kConfigExtension = ".cfg";
constexpr std::string_view kCompanionExtension = ".ptx";
constexpr std::size_t kStampLength = 19;  // "yyyy-mm-dd hh-mm-ss"

bool SafeInName(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view(" -_.()").find(c) != std::string_view::npos;
}

// Whether a file name is one of ours: a time stamp, a blank, then the rest.
bool IsBackupName(const std::string& name) {
    if (name.size() <= kStampLength || name[kStampLength] != ' ') {
        return false;
    }
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const char c = name[i];
        const bool separator = i == 4 || i == 7 || i == 13 || i == 16;
        const bool ok = i == 10 ? c == ' ' : separator ? c == '-' : c >= '0' && c <= '9';
        if (!ok) {
            return false;
        }
    }
    return name.ends_with(kConfigExtension) || name.ends_with(kCompanionExtension);
}

// Removes the oldest backups, each with its companion, while more than keep files are left.
// The backup named newest is never removed, even when other names carry later time stamps (a
// clock once set ahead, backups made in another time zone): it is the one about to be relied on.
void PruneBackups(const fs::path& folder, const std::string& newest, std::size_t keep) {
    std::map<std::string, std::vector<fs::path>>
        backups;  // by name without extension: oldest first
    std::size_t files = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && IsBackupName(name)) {
            ++files;
            if (const std::string stem = entry.path().stem().string(); stem != newest) {
                backups[stem].push_back(entry.path());
            }
        }
    }
    for (auto oldest = backups.begin(); files > keep && oldest != backups.end(); ++oldest) {
        for (const fs::path& path : oldest->second) {
            files -= fs::remove(path, error) ? 1 : 0;
        }
    }
}

// Keeps the first message File > Open would have shown, instead of showing it.
class FirstMessage : public Prompter {
  public:
    Answer Ask(const Message& message) override {
        if (text.empty()) {
            text = message.text;
            // One line for a list: the two line-break characters become one blank.
            for (std::size_t at; (at = text.find(kLineBreak)) != std::string::npos;) {
                text.replace(at, std::string_view(kLineBreak).size(), " ");
            }
        }
        return message.buttons == Buttons::YesNo || message.buttons == Buttons::YesNoCancel
                   ? Answer::No
                   : Answer::Cancel;
    }
    std::string text;
};

// "yyyy-mm-dd hh-mm-ss" of a backup's name as a date and a time of day.
std::string TakenText(const std::string& name) {
    std::string taken = name.substr(0, kStampLength);
    taken[13] = ':';
    taken[16] = ':';
    return taken;
}

BackupEntry ReadBackupEntry(const fs::path& path) {
    BackupEntry entry;
    entry.path = path.string();
    entry.taken = TakenText(path.filename().string());
    if (path.extension() == kCompanionExtension) {
        entry.problem = "The configuration file beside " + entry.path + " is missing.";
        return entry;
    }
    Workspace workspace;
    FirstMessage message;
    const auto slot = OpenConfigFile(workspace, entry.path, message);
    entry.problem = message.text;
    if (slot) {
        const Document& doc = workspace.At(*slot);
        entry.band = BandName(BandRow(doc.state.Band));
        entry.serial = Trim(doc.info.SerialNo);
        entry.customer = Trim(doc.info.CustomerName);
        entry.channels = static_cast<int>(doc.lines.size());
        if (const auto missing = BackupMissing(entry.path); missing && entry.problem.empty()) {
            entry.problem = *missing;
        }
    }
    return entry;
}

}  // namespace

std::string BackupFileName(const LocalTime& when, std::string_view bandName,
                           std::string_view serial) {
    std::string name = StampText(when, '-');
    for (const std::string_view part : {bandName, serial}) {
        std::string safe;
        for (const char c : part) {
            // Erased memory (0x00, 0xFF) reads as blank.
            safe += c == '\0' || c == '\xFF' ? ' ' : SafeInName(c) ? c : '_';
        }
        if (!Trim(safe).empty()) {
            name += ' ' + Trim(safe);
        }
    }
    return name + std::string(kConfigExtension);
}

Result<std::string> SaveRadioBackup(const std::string& folder, const ImageBuf& image,
                                    const InfoPage& info, const LocalTime& when) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        return Failure{"Can't make the folder " + folder + ": " + error.message() + "."};
    }
    std::string serial;
    for (std::size_t i = 0; i < kInfoSerialLength; ++i) {
        serial += static_cast<char>(info[kInfoSerialText + i] & 0xFF);
    }
    const std::string name =
        BackupFileName(when, BandName(BandRow(image.empty() ? 0 : image.back())), serial);
    const std::string stem = name.substr(0, name.size() - kConfigExtension.size());
    fs::path config = fs::path(folder) / name;
    for (int copy = 2;
         fs::exists(config, error) || fs::exists(CompanionPath(config.string()), error); ++copy) {
        config = fs::path(folder) /
                 (stem + " (" + std::to_string(copy) + ")" + std::string(kConfigExtension));
    }
    const std::string path = config.string();
    if (const auto failure = WriteFileAtomically(path, EncodeConfigFile(image))) {
        return Failure{"Can't save " + path + ": " + *failure + "."};
    }
    const std::string companion = CompanionPath(path);
    if (const auto failure = WriteFileAtomically(companion, EncodeCompanionFile(info))) {
        fs::remove(config, error);  // half a backup would restore another radio's tables
        return Failure{"Can't save " + companion + ": " + *failure + "."};
    }
    PruneBackups(folder, config.stem().string(), kBackupFilesKept);
    return path;
}

std::optional<std::string> BackupMissing(const std::string& path) {
    std::error_code error;
    for (const std::string& file : {path, CompanionPath(path)}) {
        if (!fs::is_regular_file(file, error)) {
            return "The backup " + file + " is no longer on disk.";
        }
    }
    return std::nullopt;
}

BackupList ListBackups(const std::string& folder) {
    BackupList list;
    std::error_code error;
    if (!fs::exists(folder, error)) {
        return list;
    }
    // By name without extension: a configuration with its companion is one backup.
    std::map<std::string, fs::path> backups;
    for (const auto& item : fs::directory_iterator(folder, error)) {
        const std::string name = item.path().filename().string();
        std::error_code kind;
        if (!item.is_regular_file(kind) || !IsBackupName(name)) {
            continue;
        }
        auto& path = backups[item.path().stem().string()];
        if (path.empty() || item.path().extension() == kConfigExtension) {
            path = item.path();
        }
    }
    if (error) {
        list.error = "Can't read the folder " + folder + ": " + error.message() + ".";
    }
    // Newest first: the time stamp leads the name, and " (2)" sorts after the name it repeats.
    for (auto backup = backups.rbegin(); backup != backups.rend(); ++backup) {
        list.entries.push_back(ReadBackupEntry(backup->second));
    }
    return list;
}

}  // namespace petrel
