// The service history's database on real disk: records, filters, the schema's migrations, and
// files that are damaged or cannot be written.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/history/service_history.h"
#include "core/ports/clock.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A clock at 10:41:02 on 7 December 2026.
VirtualClock FixedClock() {
    VirtualClock clock;
    clock.SetWallTime({2026, 12, 7, 10, 41, 2});
    return clock;
}

// Runs SQL on a database file directly, as another program (or an older version) would.
std::string Query(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
        sqlite3_exec(
            db, sql.c_str(),
            [](void* out, int columns, char** values, char**) {
                auto& text = *static_cast<std::string*>(out);
                for (int i = 0; i < columns; ++i) {
                    text += (text.empty() ? "" : "|") + std::string(values[i] ? values[i] : "");
                }
                return 0;
            },
            &result, nullptr);
    }
    sqlite3_close(db);
    return result;
}

HistoryRecord Record(const std::string& time, const std::string& serial,
                     const std::string& customer, int band) {
    HistoryRecord record;
    record.time = time;
    record.operation = kOpDownload;
    record.result = kResultDone;
    record.serialNo = serial;
    record.customer = customer;
    record.band = band;
    record.channels = 99;
    return record;
}

HistoryFilter Filter(const std::string& serial, const std::string& customer, int band,
                     const std::string& since, const std::string& until) {
    HistoryFilter filter;
    filter.serialNo = serial;
    filter.customer = customer;
    filter.band = band;
    filter.since = since;
    filter.until = until;
    return filter;
}

class HistoryTest : public ::testing::Test {
  protected:
    std::unique_ptr<ServiceHistory> Open() { return OpenServiceHistory(path, clock); }

    VirtualClock clock = FixedClock();

    test::TempDir dir;
    std::string path = dir.File(kHistoryFileName);
};

TEST_F(HistoryTest, RecordsComeBackWithTheirImagesAndNewestFirst) {
    auto history = Open();
    HistoryRecord full = Record("2026-12-05 09:00:00", "PMR-0042", "Harbour Taxi", 9);
    full.port = "COM1 /dev/ttyUSB0";
    full.firmware = "V1.20";
    full.fileName = "/home/dealer/taxi.cfg";
    full.backup = "/home/dealer/Backups/2026-12-05 09-00-00 x.cfg";
    full.detail = "written";
    full.imageBefore = Bytes(889, 0x11);
    full.infoBefore = Bytes(256, 0x22);
    full.imageAfter = Bytes(889, 0x33);
    const auto id = history->Add(full);
    ASSERT_TRUE(id);
    HistoryRecord bare = Record("", "PMR-0043", "Harbour Taxi", 9);  // no time: the clock's
    ASSERT_TRUE(history->Add(bare));
    ASSERT_TRUE(history->Add(Record("2026-12-06 08:00:00", "PMR-0042", "Harbour Taxi", 9)));

    const auto all = history->Find({});
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].time, "2026-12-07 10:41:02");
    EXPECT_EQ(all[1].time, "2026-12-06 08:00:00");
    EXPECT_EQ(all[2].id, *id);
    EXPECT_TRUE(all[2].hasBefore);
    EXPECT_TRUE(all[2].hasAfter);
    EXPECT_FALSE(all[1].hasBefore || all[1].hasAfter);
    EXPECT_TRUE(all[2].imageBefore.empty());  // a listing leaves the images in the database
    EXPECT_FALSE(all[2].bench.empty());       // this computer's name

    const auto got = history->Get(*id);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->imageBefore, full.imageBefore);
    EXPECT_EQ(got->infoBefore, full.infoBefore);
    EXPECT_EQ(got->imageAfter, full.imageAfter);
    EXPECT_TRUE(got->infoAfter.empty());
    EXPECT_EQ(
        std::tie(got->port, got->firmware, got->fileName, got->backup, got->detail, got->channels),
        std::tie(full.port, full.firmware, full.fileName, full.backup, full.detail, full.channels));
    EXPECT_FALSE(history->Get(*id + 100));
    EXPECT_FALSE(history->TakeNotice());

    // A second program on the same file sees them: the history is the file, not the object.
    EXPECT_EQ(Open()->Find({}).size(), 3u);
    EXPECT_EQ(Query(path, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(Query(path, "PRAGMA user_version"), std::to_string(kHistorySchemaVersion));
}

TEST_F(HistoryTest, FiltersBySerialCustomerBandAndDate) {
    auto history = Open();
    history->Add(Record("2026-11-30 17:00:00", "PMR-0041", "Harbour Taxi", 9));
    history->Add(Record("2026-12-01 08:00:00", "PMR-0042", "Harbour Taxi", 9));
    history->Add(Record("2026-12-02 23:59:59", "PMR-0042", "City Bus", 5));
    history->Add(Record("2026-12-03 00:00:00", "AB_1", "100% Security", 9));
    const auto serials = [&](const HistoryFilter& filter) {
        std::vector<std::string> found;
        for (const auto& record : history->Find(filter)) {
            found.push_back(record.serialNo + "@" + record.time.substr(8, 2));
        }
        return found;
    };
    using Found = std::vector<std::string>;
    EXPECT_EQ(serials(Filter("pmr-0042", "", 0, "", "")), (Found{"PMR-0042@02", "PMR-0042@01"}));
    EXPECT_EQ(serials(Filter("", "taxi", 0, "", "")), (Found{"PMR-0042@01", "PMR-0041@30"}));
    EXPECT_EQ(serials(Filter("", "", 5, "", "")), (Found{"PMR-0042@02"}));
    EXPECT_EQ(serials(Filter("", "", 0, "2026-12-02", "")), (Found{"AB_1@03", "PMR-0042@02"}));
    EXPECT_EQ(serials(Filter("", "", 0, "2026-12-01", "2026-12-02")),
              (Found{"PMR-0042@02", "PMR-0042@01"}));
    // "_" and "%" are the user's characters, not wildcards.
    EXPECT_EQ(serials(Filter("_", "", 0, "", "")), (Found{"AB_1@03"}));
    EXPECT_EQ(serials(Filter("", "0%", 0, "", "")), (Found{"AB_1@03"}));
    EXPECT_EQ(serials(Filter("PMR", "bus", 5, "", "")), (Found{"PMR-0042@02"}));
}

TEST_F(HistoryTest, VersionOneDatabaseIsMigratedWithItsRecords) {
    // The first layout, as the first version of the program left it.
    Query(path,
          "CREATE TABLE records(id INTEGER PRIMARY KEY, time TEXT NOT NULL, operation TEXT NOT "
          "NULL, result TEXT NOT NULL, port TEXT NOT NULL DEFAULT '', band INTEGER NOT NULL "
          "DEFAULT 0, channels INTEGER NOT NULL DEFAULT 0, firmware TEXT NOT NULL DEFAULT '', "
          "serial TEXT NOT NULL DEFAULT '', customer TEXT NOT NULL DEFAULT '', file TEXT NOT "
          "NULL DEFAULT '');"
          "CREATE TABLE images(record INTEGER NOT NULL REFERENCES records(id) ON DELETE "
          "CASCADE, kind TEXT NOT NULL, bytes BLOB NOT NULL, PRIMARY KEY(record, kind));"
          "INSERT INTO records(time, operation, result, band, serial, customer, file) "
          "VALUES('2025-03-01 12:00:00', 'Upload', 'done', 9, 'OLD-1', 'Old Shop', 'a.cfg');"
          "INSERT INTO images VALUES(1, 'image_before', x'0102');"
          "PRAGMA user_version = 1;");
    auto history = Open();
    EXPECT_FALSE(history->TakeNotice());
    EXPECT_EQ(Query(path, "PRAGMA user_version"), "2");
    const auto old = history->Get(1);
    ASSERT_TRUE(old);
    EXPECT_EQ(std::tie(old->serialNo, old->customer, old->fileName, old->detail, old->bench),
              std::tie("OLD-1", "Old Shop", "a.cfg", "", ""));
    EXPECT_EQ(old->imageBefore, (Bytes{1, 2}));
    HistoryRecord next = Record("", "NEW-1", "New Shop", 9);
    next.detail = "written";
    ASSERT_TRUE(history->Add(next));
    EXPECT_EQ(history->Find(Filter("NEW", "", 0, "", "")).at(0).detail, "written");
    // Opening again migrates nothing twice.
    EXPECT_EQ(Open()->Find({}).size(), 2u);
}

TEST_F(HistoryTest, DamagedFileIsSetAsideAndANewHistoryStarted) {
    // Garbage where the database belongs, and a folder of that name.
    const std::vector<std::function<void()>> damages = {
        [&] { test::WriteBytes(path, Bytes(5000, 0x5A)); },
        [&] { fs::create_directory(path); },
        // A database whose first pages were overwritten after it was used.
        [&] {
            Open()->Add(Record("", "X", "Y", 9));
            std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
            file.seekp(100);
            file.write(std::string(3000, '\x7F').data(), 3000);
        },
    };
    const std::string aside = dir.File("history-damaged-2026-12-07 10-41-02.sqlite");
    for (std::size_t i = 0; i < damages.size(); ++i) {
        SCOPED_TRACE(i);
        fs::remove_all(dir.Path());
        fs::create_directories(dir.Path());
        damages[i]();
        auto history = Open();
        const auto notice = history->TakeNotice();
        ASSERT_TRUE(notice);
        EXPECT_NE(notice->find("was damaged. It is kept as " + aside), std::string::npos)
            << *notice;
        EXPECT_FALSE(history->TakeNotice());  // said once
        EXPECT_TRUE(fs::exists(aside));
        EXPECT_TRUE(history->Add(Record("", "PMR-1", "Shop", 9)));
        EXPECT_EQ(history->Find({}).size(), 1u);
    }
    // A second damage the same second does not overwrite the first one set aside.
    test::WriteBytes(path, Bytes(10, 1));
    Open();
    EXPECT_TRUE(fs::exists(dir.File("history-damaged-2026-12-07 10-41-02 (2).sqlite")));
}

// A folder nobody may write in: permissions for a normal user; a read-only mount for root,
// whom permissions do not stop.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const fs::path& folder) : folder_(folder) {
        ::chmod(folder.c_str(), 0555);
        if (::access(folder.c_str(), W_OK) == 0) {
            mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", MS_RDONLY, nullptr) == 0;
        }
        usable_ = ::access(folder.c_str(), W_OK) != 0;
    }
    ~ReadOnlyFolder() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
        ::chmod(folder_.c_str(), 0755);
    }
    bool Usable() const { return usable_; }

  private:
    fs::path folder_;
    bool mounted_ = false;
    bool usable_ = false;
};

TEST_F(HistoryTest, UnwritableFolderRecordsNothingAndSaysSoOnce) {
    const fs::path folder = dir.Path() / "locked";
    fs::create_directory(folder);
    ReadOnlyFolder locked(folder);
    if (!locked.Usable()) {
        GTEST_SKIP() << "no way to make a folder read-only here";
    }
    auto history = OpenServiceHistory((folder / kHistoryFileName).string(), clock);
    const auto notice = history->TakeNotice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find("nothing is recorded"), std::string::npos) << *notice;
    EXPECT_FALSE(history->Add(Record("", "PMR-1", "Shop", 9)));
    EXPECT_FALSE(history->TakeNotice());
    EXPECT_TRUE(history->Find({}).empty());
    EXPECT_FALSE(history->Get(1));
}

TEST_F(HistoryTest, NewerSchemaIsLeftAloneAndNotRecordedInto) {
    Query(path, "CREATE TABLE later(x); PRAGMA user_version = 7;");
    auto history = Open();
    const auto notice = history->TakeNotice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find("newer version"), std::string::npos) << *notice;
    EXPECT_FALSE(history->Add(Record("", "PMR-1", "Shop", 9)));
    EXPECT_EQ(Query(path, "PRAGMA user_version"), "7");
    EXPECT_EQ(fs::directory_iterator(dir.Path())->path().filename().string(), kHistoryFileName);
}

TEST(HistoryDateTest, OnlyRealDatesInTheirOneForm) {
    for (const auto& [text, valid] : std::vector<std::pair<std::string, bool>>{
             {"2026-12-07", true},
             {"2024-02-29", true},
             {"2025-02-29", false},
             {"2000-02-29", true},
             {"1900-02-29", false},
             {"2026-04-31", false},
             {"2026-13-01", false},
             {"2026-00-10", false},
             {"2026-1-07", false},
             {"2026-12-07x", false},
             {"26-12-2007", false},
             {"2026/12/07", false},
             {"", false},
         }) {
        EXPECT_EQ(IsHistoryDate(text), valid) << text;
    }
}

}  // namespace
}  // namespace petrel
