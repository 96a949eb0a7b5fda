#include "core/history/service_history.h"

#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/ports/clock.h"

namespace petrel {

namespace fs = std::filesystem;

namespace {

constexpr int kBusyTimeoutMs = 3000;  // another bench or program writing at the same moment

// The schema, one step per version: step i takes a database of version i to version i + 1.
// Version 1 holds the records and their images; version 2 adds why a record failed, the backup
// file and the computer it was made on, and the indexes the listing filters use.
constexpr std::array<const char*, kHistorySchemaVersion> kMigrations = {
    R"(CREATE TABLE records(
         id INTEGER PRIMARY KEY,
         time TEXT NOT NULL,
         operation TEXT NOT NULL,
         result TEXT NOT NULL,
         port TEXT NOT NULL DEFAULT '',
         band INTEGER NOT NULL DEFAULT 0,
         channels INTEGER NOT NULL DEFAULT 0,
         firmware TEXT NOT NULL DEFAULT '',
         serial TEXT NOT NULL DEFAULT '',
         customer TEXT NOT NULL DEFAULT '',
         file TEXT NOT NULL DEFAULT '');
       CREATE TABLE images(
         record INTEGER NOT NULL REFERENCES records(id) ON DELETE CASCADE,
         kind TEXT NOT NULL,
         bytes BLOB NOT NULL,
         PRIMARY KEY(record, kind));)",
    R"(ALTER TABLE records ADD COLUMN detail TEXT NOT NULL DEFAULT '';
       ALTER TABLE records ADD COLUMN backup TEXT NOT NULL DEFAULT '';
       ALTER TABLE records ADD COLUMN bench TEXT NOT NULL DEFAULT '';
       CREATE INDEX records_time ON records(time);
       CREATE INDEX records_serial ON records(serial);
       CREATE INDEX records_customer ON records(customer);)",
};

// The image kinds as the images table names them.
constexpr const char* kImageBefore = "image_before";
constexpr const char* kInfoBefore = "info_before";
constexpr const char* kImageAfter = "image_after";
constexpr const char* kInfoAfter = "info_after";

constexpr const char* kRecordColumns =
    "id, time, operation, result, detail, port, band, channels, firmware, serial, customer, "
    "file, backup, bench, "
    "EXISTS(SELECT 1 FROM images WHERE record = id AND kind IN ('image_before', "
    "'info_before')), "
    "EXISTS(SELECT 1 FROM images WHERE record = id AND kind IN ('image_after', 'info_after'))";

std::string HostName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    return name.data();
}

// A prepared statement, finalized when it goes.
class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
            stmt_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return stmt_ != nullptr; }
    sqlite3_stmt* operator*() const { return stmt_; }

    void Bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.c_str(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void Bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    void Bind(int index, const std::vector<std::uint8_t>& bytes) {
        sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
    }
    std::string Text(int column) const {
        const auto* text = sqlite3_column_text(stmt_, column);
        return text ? std::string(reinterpret_cast<const char*>(text),
                                  static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }
    std::vector<std::uint8_t> Blob(int column) const {
        const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
        const int size = sqlite3_column_bytes(stmt_, column);
        return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>();
    }
    std::int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }

  private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Damage: the file is not a database, or its pages do not hold together.
bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// A free name beside path for a damaged database: "history-damaged-2026-12-07 10-41-02.sqlite",
// with " (2)", " (3)", ... when that is taken.
fs::path AsideName(const fs::path& path, const LocalTime& when) {
    const std::string base = path.stem().string() + "-damaged-" + StampText(when, '-');
    std::error_code error;
    for (int n = 1;; ++n) {
        const std::string suffix = n == 1 ? "" : " (" + std::to_string(n) + ")";
        fs::path candidate = path.parent_path() / (base + suffix + path.extension().string());
        if (!fs::exists(fs::symlink_status(candidate, error))) {
            return candidate;
        }
    }
}

class SqliteHistory : public ServiceHistory {
  public:
    SqliteHistory(std::string path, const Clock& clock)
        : path_(std::move(path)), clock_(clock), bench_(HostName()) {
        if (!Open()) {
            Close();
        }
    }
    ~SqliteHistory() override { Close(); }
    SqliteHistory(const SqliteHistory&) = delete;
    SqliteHistory& operator=(const SqliteHistory&) = delete;

    std::optional<std::int64_t> Add(const HistoryRecord& record) override {
        if (!db_) {
            return std::nullopt;
        }
        std::string error;
        auto id = Insert(record, error);
        if (!id && damaged_) {
            // The file went bad under us: set it aside and keep the record in a new one.
            Close();
            if (Open()) {
                id = Insert(record, error);
            } else {
                Close();
            }
        }
        if (!id && db_ && !addFailureTold_) {
            addFailureTold_ = true;
            Notice("A record of this radio operation could not be kept in the service history " +
                   path_ + ": " + error + ". Programming goes on; later records are tried again.");
        }
        return id;
    }

    std::vector<HistoryRecord> Find(const HistoryFilter& filter) override {
        std::vector<HistoryRecord> records;
        if (!db_) {
            return records;
        }
        std::string sql = std::string("SELECT ") + kRecordColumns + " FROM records WHERE 1";
        std::vector<std::string> texts;
        std::optional<std::int64_t> band;
        if (!filter.serialNo.empty()) {
            sql += " AND serial LIKE ? ESCAPE '\\'";
            texts.push_back(Pattern(filter.serialNo));
        }
        if (!filter.customer.empty()) {
            sql += " AND customer LIKE ? ESCAPE '\\'";
            texts.push_back(Pattern(filter.customer));
        }
        if (!filter.since.empty()) {
            sql += " AND time >= ?";
            texts.push_back(filter.since);
        }
        if (!filter.until.empty()) {
            sql += " AND time < ?";
            texts.push_back(filter.until + "~");  // "~" sorts after every time of day
        }
        if (filter.band != 0) {
            sql += " AND band = ?";
            band = filter.band;
        }
        sql += " ORDER BY time DESC, id DESC";
        Statement select(db_, sql);
        if (!select.Ok()) {
            return records;
        }
        int index = 1;
        for (const auto& text : texts) {
            select.Bind(index++, text);
        }
        if (band) {
            select.Bind(index, *band);
        }
        while (sqlite3_step(*select) == SQLITE_ROW) {
            records.push_back(ReadRecord(select));
        }
        return records;
    }

    std::optional<HistoryRecord> Get(std::int64_t id) override {
        if (!db_) {
            return std::nullopt;
        }
        Statement select(db_,
                         std::string("SELECT ") + kRecordColumns + " FROM records WHERE id = ?");
        if (!select.Ok()) {
            return std::nullopt;
        }
        select.Bind(1, id);
        if (sqlite3_step(*select) != SQLITE_ROW) {
            return std::nullopt;
        }
        HistoryRecord record = ReadRecord(select);
        Statement images(db_, "SELECT kind, bytes FROM images WHERE record = ?");
        if (images.Ok()) {
            images.Bind(1, id);
            while (sqlite3_step(*images) == SQLITE_ROW) {
                const std::string kind = images.Text(0);
                auto bytes = images.Blob(1);
                if (kind == kImageBefore) {
                    record.imageBefore = std::move(bytes);
                } else if (kind == kInfoBefore) {
                    record.infoBefore = std::move(bytes);
                } else if (kind == kImageAfter) {
                    record.imageAfter = std::move(bytes);
                } else if (kind == kInfoAfter) {
                    record.infoAfter = std::move(bytes);
                }
            }
        }
        return record;
    }

    std::optional<std::string> TakeNotice() override { return std::exchange(notice_, {}); }

  private:
    void Notice(std::string text) { notice_ = notice_ ? *notice_ + "\n" + text : std::move(text); }

    static std::string Pattern(const std::string& text) {
        std::string pattern = "%";
        for (const char c : text) {
            if (c == '%' || c == '_' || c == '\\') {
                pattern.push_back('\\');
            }
            pattern.push_back(c);
        }
        return pattern + "%";
    }

    static HistoryRecord ReadRecord(const Statement& row) {
        HistoryRecord record;
        record.id = row.Int(0);
        record.time = row.Text(1);
        record.operation = row.Text(2);
        record.result = row.Text(3);
        record.detail = row.Text(4);
        record.port = row.Text(5);
        record.band = static_cast<int>(row.Int(6));
        record.channels = static_cast<int>(row.Int(7));
        record.firmware = row.Text(8);
        record.serialNo = row.Text(9);
        record.customer = row.Text(10);
        record.fileName = row.Text(11);
        record.backup = row.Text(12);
        record.bench = row.Text(13);
        record.hasBefore = row.Int(14) != 0;
        record.hasAfter = row.Int(15) != 0;
        return record;
    }

    // Runs sql; on failure notes the error text and whether it means damage.
    bool Exec(const char* sql, std::string& error) {
        char* message = nullptr;
        const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
        if (code != SQLITE_OK) {
            error = message ? message : sqlite3_errstr(code);
            damaged_ = damaged_ || IsDamage(code) || IsDamage(sqlite3_extended_errcode(db_));
        }
        sqlite3_free(message);
        return code == SQLITE_OK;
    }

    void Close() {
        if (db_) {
            sqlite3_close_v2(db_);
            db_ = nullptr;
        }
    }

    // Opens the database, setting a damaged one aside once; false when there is none to use.
    bool Open() {
        std::string error;
        damaged_ = false;
        if (TryOpen(error)) {
            return true;
        }
        if (!damaged_) {
            Notice("The service history " + path_ + " cannot be used: " + error +
                   ". Radios are programmed as before, but nothing is recorded.");
            return false;
        }
        Close();
        const fs::path aside = AsideName(path_, clock_.WallTime());
        std::error_code renameError;
        fs::rename(path_, aside, renameError);
        if (renameError) {
            Notice("The service history " + path_ + " is damaged and could not be set aside (" +
                   renameError.message() +
                   "). Radios are programmed as before, but nothing is recorded.");
            return false;
        }
        // Its journal files belong to the damaged file, not to the new one.
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            std::error_code ignored;
            fs::rename(path_ + suffix, aside.string() + suffix, ignored);
        }
        damaged_ = false;
        if (!TryOpen(error)) {
            Notice("The service history " + path_ + " was damaged and is kept as " +
                   aside.string() + "; a new one could not be started: " + error +
                   ". Radios are programmed as before, but nothing is recorded.");
            return false;
        }
        Notice("The service history " + path_ + " was damaged. It is kept as " + aside.string() +
               " and a new history has been started.");
        return true;
    }

    bool TryOpen(std::string& error) {
        std::error_code statError;
        const auto status = fs::status(path_, statError);
        if (fs::exists(status) && !fs::is_regular_file(status)) {
            // A folder or a device where the database belongs is as good as a damaged file.
            error = "it is not a file";
            damaged_ = true;
            return false;
        }
        const int code = sqlite3_open_v2(path_.c_str(), &db_,
                                         SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (code != SQLITE_OK) {
            error = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
            Close();
            return false;
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        if (!Exec("PRAGMA foreign_keys = ON", error)) {
            return false;
        }
        // Reading the version reads the file's header: a file that is not a database fails here.
        int version = -1;
        {
            Statement read(db_, "PRAGMA user_version");
            const int step = read.Ok() ? sqlite3_step(*read) : sqlite3_errcode(db_);
            if (step != SQLITE_ROW) {
                error = sqlite3_errmsg(db_);
                damaged_ = IsDamage(sqlite3_extended_errcode(db_));
                return false;
            }
            version = static_cast<int>(read.Int(0));
        }
        if (version > kHistorySchemaVersion) {
            error = "it was written by a newer version of this program (schema " +
                    std::to_string(version) + ")";
            return false;
        }
        if (!Exec("PRAGMA journal_mode = WAL", error) || !CheckPages(error)) {
            return false;
        }
        for (int step = version; step < kHistorySchemaVersion; ++step) {
            const std::string bump = "PRAGMA user_version = " + std::to_string(step + 1);
            if (!Exec("BEGIN IMMEDIATE", error)) {
                return false;
            }
            if (!Exec(kMigrations[static_cast<std::size_t>(step)], error) ||
                !Exec(bump.c_str(), error) || !Exec("COMMIT", error)) {
                std::string ignored;
                Exec("ROLLBACK", ignored);
                return false;
            }
        }
        return true;
    }

    // A quick look at every page: damage found now is set aside before records go into it.
    bool CheckPages(std::string& error) {
        Statement check(db_, "PRAGMA quick_check");
        if (!check.Ok() || sqlite3_step(*check) != SQLITE_ROW) {
            error = sqlite3_errmsg(db_);
            damaged_ = IsDamage(sqlite3_extended_errcode(db_));
            return false;
        }
        if (const std::string result = check.Text(0); result != "ok") {
            error = result;
            damaged_ = true;
            return false;
        }
        return true;
    }

    std::optional<std::int64_t> Insert(const HistoryRecord& record, std::string& error) {
        if (!Exec("BEGIN IMMEDIATE", error)) {
            return std::nullopt;
        }
        const auto id = InsertRows(record, error);
        if (!id || !Exec("COMMIT", error)) {
            std::string ignored;
            Exec("ROLLBACK", ignored);
            return std::nullopt;
        }
        return id;
    }

    std::optional<std::int64_t> InsertRows(const HistoryRecord& record, std::string& error) {
        Statement insert(db_,
                         "INSERT INTO records(time, operation, result, detail, port, band, "
                         "channels, firmware, serial, customer, file, backup, bench) "
                         "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        if (!insert.Ok()) {
            return Failed(error);
        }
        insert.Bind(1, record.time.empty() ? StampText(clock_.WallTime()) : record.time);
        insert.Bind(2, record.operation);
        insert.Bind(3, record.result);
        insert.Bind(4, record.detail);
        insert.Bind(5, record.port);
        insert.Bind(6, static_cast<std::int64_t>(record.band));
        insert.Bind(7, static_cast<std::int64_t>(record.channels));
        insert.Bind(8, record.firmware);
        insert.Bind(9, record.serialNo);
        insert.Bind(10, record.customer);
        insert.Bind(11, record.fileName);
        insert.Bind(12, record.backup);
        insert.Bind(13, record.bench.empty() ? bench_ : record.bench);
        if (sqlite3_step(*insert) != SQLITE_DONE) {
            return Failed(error);
        }
        const std::int64_t id = sqlite3_last_insert_rowid(db_);
        const std::pair<const char*, const std::vector<std::uint8_t>*> images[] = {
            {kImageBefore, &record.imageBefore},
            {kInfoBefore, &record.infoBefore},
            {kImageAfter, &record.imageAfter},
            {kInfoAfter, &record.infoAfter},
        };
        for (const auto& [kind, bytes] : images) {
            if (bytes->empty()) {
                continue;
            }
            Statement image(db_, "INSERT INTO images(record, kind, bytes) VALUES(?, ?, ?)");
            if (!image.Ok()) {
                return Failed(error);
            }
            image.Bind(1, id);
            image.Bind(2, std::string(kind));
            image.Bind(3, *bytes);
            if (sqlite3_step(*image) != SQLITE_DONE) {
                return Failed(error);
            }
        }
        return id;
    }

    std::optional<std::int64_t> Failed(std::string& error) {
        error = sqlite3_errmsg(db_);
        damaged_ = damaged_ || IsDamage(sqlite3_extended_errcode(db_));
        return std::nullopt;
    }

    std::string path_;
    const Clock& clock_;
    std::string bench_;
    sqlite3* db_ = nullptr;
    bool damaged_ = false;
    bool addFailureTold_ = false;
    std::optional<std::string> notice_;
};

}  // namespace

std::unique_ptr<ServiceHistory> OpenServiceHistory(const std::string& path, const Clock& clock) {
    return std::make_unique<SqliteHistory>(path, clock);
}

bool IsHistoryDate(const std::string& text) {
    int year = 0;
    int month = 0;
    int day = 0;
    char rest = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &rest) != 3) {
        return false;
    }
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month >= 1 && month <= 12 && day >= 1 &&
           day <= (month == 2 && !leap ? 28 : kDays[static_cast<std::size_t>(month - 1)]);
}

}  // namespace petrel
