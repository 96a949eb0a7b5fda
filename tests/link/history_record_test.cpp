// What the radio operations record in the service history, against the in-process simulated
// radio and a real database in a temporary folder.
#include <gtest/gtest.h>

#include "core/document/new_config.h"
#include "core/history/radio_records.h"
#include "core/history/service_history.h"
#include "core/settings/radio_info.h"
#include "link_fixture.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

class HistoryRecordTest : public test::LinkTest {
  protected:
    HistoryRecordTest() : LinkTest(sim::MakeRadio(9, 99, false, "PMR-0042", "HARBOUR TAXI")) {
        images.SetHistory(history.get());
    }
    std::vector<HistoryRecord> Records() { return history->Find({}); }

    test::TempDir dir;
    std::unique_ptr<ServiceHistory> history = OpenServiceHistory(dir.File(kHistoryFileName), clock);
};

TEST_F(HistoryRecordTest, UploadAndDownloadKeepTheRadioBeforeAndAfter) {
    const TransferResult read = images.Upload();
    ASSERT_TRUE(read.read);
    images.SetBackupPolicy({dir.File("Backups"), true});
    const int slot = BuildNewConfiguration(workspace, 9, 99);
    Document& doc = workspace.At(slot);
    doc.path = "/shop/taxi.cfg";
    ASSERT_TRUE(images.Download(doc).completed);

    const auto records = Records();
    ASSERT_EQ(records.size(), 2u);
    const auto upload = history->Get(records[1].id);
    const auto download = history->Get(records[0].id);
    ASSERT_TRUE(upload && download);
    EXPECT_EQ(upload->operation + " " + upload->result, "Upload done");
    EXPECT_EQ(upload->serialNo + "|" + upload->customer + "|" + upload->firmware,
              "PMR-0042|HARBOUR TAXI|V1.20");
    EXPECT_EQ(upload->band * 1000 + upload->channels, 9099);
    EXPECT_TRUE(upload->port.starts_with("COM1 ")) << upload->port;
    EXPECT_EQ(upload->imageBefore, read.read->image);
    EXPECT_EQ(upload->infoBefore, InfoPageBytes(read.read->page));
    EXPECT_TRUE(upload->imageAfter.empty());

    EXPECT_EQ(download->operation + " " + download->result, "Download done");
    EXPECT_EQ(download->fileName, "/shop/taxi.cfg");
    EXPECT_FALSE(download->backup.empty());
    EXPECT_EQ(download->imageBefore, read.read->image);  // the backup read
    // After: what the radio holds now, which opens as the configuration that was written.
    ASSERT_EQ(download->imageAfter.size(), 889u);
    EXPECT_TRUE(std::equal(download->imageAfter.begin(), download->imageAfter.end() - 1,
                           radio.Memory().bytes.begin()));
    const auto reopened = RecordedRadio(*download);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->band, 9);
    EXPECT_EQ(reopened->page.SerialNo.substr(0, 8), "PMR-0042");
    EXPECT_FALSE(history->TakeNotice());
}

TEST_F(HistoryRecordTest, WritesThatDidNotHappenSayWhatTheRadioHolds) {
    // A Download refused at the band question writes nothing.
    const int other = BuildNewConfiguration(workspace, 5, 99);
    prompter.Expect(std::nullopt, Answer::No);
    EXPECT_FALSE(images.Download(workspace.At(other)).completed);
    // One that stops in the middle leaves a mixture.
    const int same = BuildNewConfiguration(workspace, 9, 99);
    radio.AddFault({sim::FaultKind::Drop, sim::FrameKind::WriteBlock, 20, -1});
    prompter.Expect(std::nullopt, Answer::No);
    EXPECT_FALSE(images.Download(workspace.At(same)).completed);
    // No radio at all is no record.
    radio.Options().silent = true;
    prompter.Expect(std::nullopt, Answer::No);
    EXPECT_FALSE(images.Download(workspace.At(same)).completed);

    const auto records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].result + ": " + records[1].detail, "stopped: nothing was written");
    EXPECT_FALSE(records[1].hasAfter);
    EXPECT_EQ(records[0].result, "failed");
    EXPECT_NE(records[0].detail.find("mixture"), std::string::npos);
    EXPECT_TRUE(records[0].hasAfter);
}

TEST_F(HistoryRecordTest, CustomerAndTableWritesAreRecordedWithTheRadiosSerialNumber) {
    RadioInfoPage page;
    ASSERT_TRUE(ReadCustomerInfo(link, page));
    ASSERT_TRUE(WriteCustomerInfo(link, page, "City Bus", "CB-7", {2026, 12, 7}));
    ASSERT_TRUE(images.ReadRadioIdentity());
    ASSERT_TRUE(images.WriteLevelTable(InfoTable{}));

    const auto records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].operation + " " + records[1].result, "Customer done");
    EXPECT_EQ(records[1].serialNo + "|" + records[1].customer, "CB-7|City Bus");
    EXPECT_EQ(records[1].detail, "was \"PMR-0042\", \"HARBOUR TAXI\"");
    EXPECT_EQ(records[0].operation + " " + records[0].detail, "Tables level table written");
    EXPECT_EQ(records[0].serialNo, "CB-7");
}

TEST_F(HistoryRecordTest, ADamagedHistoryIsToldOnceAndNeverStopsTheRadioWork) {
    test::WriteBytes(dir.File("bad.sqlite"), Bytes(4096, 0xEE));
    auto damaged = OpenServiceHistory(dir.File("bad.sqlite"), clock);
    images.SetHistory(damaged.get());
    prompter.Expect(std::nullopt, Answer::Ok);  // the notice, once
    EXPECT_TRUE(images.Upload().read);
    EXPECT_TRUE(images.Upload().read);
    ASSERT_EQ(prompter.Asked().size(), 1u);
    EXPECT_NE(prompter.Asked()[0].text.find("was damaged"), std::string::npos);
    EXPECT_EQ(damaged->Find({}).size(), 2u);  // the new history has both
}

}  // namespace
}  // namespace petrel
