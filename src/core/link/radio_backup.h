#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/config_file.h"
#include "core/ports/clock.h"
#include "core/util/result.h"

namespace petrel {

// Every radio read is kept as "<yyyy-mm-dd hh-mm-ss> <band name> <serial>.cfg" with its ".ptx"
// in a backup folder, so that a radio written wrongly can be written back as it was.
inline constexpr const char* kBackupFolderName = "Backups";
// The folder keeps the newest backups, at most this many files.
inline constexpr std::size_t kBackupFilesKept = 500;

struct BackupPolicy {
    std::string folder;           // where backups go; empty: none are made
    bool beforeDownload = false;  // read and keep the radio before every Download
};

// The backup's file name. The serial number comes from the radio and may hold any byte: every
// character but letters, digits, blank, "-", "_", ".", "(" and ")" becomes "_".
std::string BackupFileName(const LocalTime& when, std::string_view bandName,
                           std::string_view serial);

// Keeps a radio image (its band byte last, as in a file) and information page as a
// configuration and companion in folder, made when missing. A name that is taken gets " (2)",
// " (3)", ...; then the oldest other backups go until the folder holds at most kBackupFilesKept
// backup files (the one just written and other files are left alone). The result is the
// configuration file written; a failure keeps nothing.
Result<std::string> SaveRadioBackup(const std::string& folder, const ImageBuf& image,
                                    const InfoPage& info, const LocalTime& when);

// Why the backup at path (a configuration and its companion) cannot be relied on: one of its
// files is not on disk. Nothing when both are there.
std::optional<std::string> BackupMissing(const std::string& path);

// One backup kept in a folder, as a list of backups shows it.
struct BackupEntry {
    std::string path;    // its configuration file (or its companion, when that is all there is)
    std::string taken;   // when it was made, from its name: "2026-12-07 05:20:26"
    std::string band;    // the band's name: "Petrel (PMR)"
    std::string serial;  // the radio's serial number and customer name, trimmed
    std::string customer;
    int channels = 0;
    std::string problem;  // why it cannot be opened, or what it lacks; empty when whole
};

struct BackupList {
    std::vector<BackupEntry> entries;  // newest first
    std::string error;                 // why the folder could not be read; empty when it was
};

// The backups in folder (files named as BackupFileName names them), newest first; each is
// opened as File > Open opens it. One that cannot be opened, or lacks its companion, is listed
// with the reason. A folder that does not exist holds no backups.
BackupList ListBackups(const std::string& folder);

}  // namespace petrel
