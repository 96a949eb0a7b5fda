#pragma once

// The service history: one record per radio operation (what was read from or written to which
// radio, when, on which port, and how it ended), with the radio's configuration image and
// information page before and after. It answers "what did we program into this radio, and
// when?" long after the backup folder has been pruned.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace petrel {

class Clock;

// The database's file name in the program's work folder.
inline constexpr const char* kHistoryFileName = "history.sqlite";

// What a record is about.
inline constexpr const char* kOpUpload = "Upload";
inline constexpr const char* kOpDownload = "Download";
inline constexpr const char* kOpCustomer = "Customer";  // name and serial blocks
inline constexpr const char* kOpTables = "Tables";      // calibration tables
inline constexpr const char* kOpFleet = "Fleet";        // one radio of a fleet run

// How it ended.
inline constexpr const char* kResultDone = "done";
inline constexpr const char* kResultFailed = "failed";
inline constexpr const char* kResultStopped = "stopped";  // given up by the user
inline constexpr const char* kResultRefused = "refused";  // nothing written (wrong band, ...)

struct HistoryRecord {
    std::int64_t id = 0;    // given by the database
    std::string time;       // local time "yyyy-mm-dd hh:mm:ss"; empty: now
    std::string operation;  // kOp...
    std::string result;     // kResult...
    std::string detail;     // why it failed, or what was written
    std::string port;       // "COM1 /dev/ttyUSB0"
    int band = 0;           // the band the radio identified with; 0: not known
    int channels = 0;       // 16 or 99; 0: not known
    std::string firmware;   // "V1.20"
    std::string serialNo;   // as read from the radio (after a write: as written)
    std::string customer;
    std::string fileName;  // the configuration file involved
    std::string backup;    // the backup file kept of the radio
    std::string bench;     // the computer the record was made on; empty: this one
    // The radio's configuration image (band byte last, as in a file) and information page
    // (256 bytes) before and, for writes, after the operation; empty when not known.
    std::vector<std::uint8_t> imageBefore;
    std::vector<std::uint8_t> infoBefore;
    std::vector<std::uint8_t> imageAfter;
    std::vector<std::uint8_t> infoAfter;
    // In a listing the images are not loaded; these say which are there.
    bool hasBefore = false;
    bool hasAfter = false;
};

// Which records a listing shows; empty fields match everything. Texts match anywhere in the
// field, ignoring case.
struct HistoryFilter {
    std::string serialNo;
    std::string customer;
    int band = 0;
    std::string since;  // "yyyy-mm-dd": records of that day and later
    std::string until;  // "yyyy-mm-dd": records of that day and earlier
};

class ServiceHistory {
  public:
    virtual ~ServiceHistory() = default;

    // Keeps a record with its images, in one transaction. Its id, or nothing when it could not
    // be kept (the reason comes once through TakeNotice).
    virtual std::optional<std::int64_t> Add(const HistoryRecord& record) = 0;
    // The records the filter lets through, newest first, without their images.
    virtual std::vector<HistoryRecord> Find(const HistoryFilter& filter) = 0;
    // One record with its images.
    virtual std::optional<HistoryRecord> Get(std::int64_t id) = 0;
    // What the user must be told about the history (it could not be opened, it was damaged and
    // set aside, a record could not be kept), once: later calls return nothing until something
    // new happens that is worth saying.
    virtual std::optional<std::string> TakeNotice() = 0;
};

// The history in an SQLite database at path. A file that is not a database, or is damaged, is
// renamed aside with the date and a new one started; one that cannot be opened at all leaves a
// history that keeps nothing. Either way a notice says so, and programming goes on.
// The clock's wall time stamps the records and a damaged file's new name; the history reads
// it for as long as it lives.
std::unique_ptr<ServiceHistory> OpenServiceHistory(const std::string& path, const Clock& clock);

// The schema version this program writes (PRAGMA user_version).
inline constexpr int kHistorySchemaVersion = 2;

// Whether text is a date "yyyy-mm-dd" that exists.
bool IsHistoryDate(const std::string& text);

}  // namespace petrel
