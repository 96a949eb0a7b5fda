#include "core/history/radio_records.h"

#include "core/model/band_table.h"
#include "core/model/channel_line.h"
#include "core/util/text.h"

namespace petrel {

namespace {

constexpr int kBigRadioChannels = 99;

// The image sizes a radio gives: the header, 8 bytes per channel, the band byte.
constexpr std::size_t ImageSizeFor(int channels) {
    return kImageHeaderSize + static_cast<std::size_t>(channels) * kChannelRecordSize + 1;
}

}  // namespace

std::vector<std::uint8_t> InfoPageBytes(const RadioInfoPage& page) {
    std::vector<std::uint8_t> bytes(kInfoPageSize);
    for (std::size_t i = 0; i < kInfoPageSize; ++i) {
        bytes[i] = static_cast<std::uint8_t>(page.InfoWords[i]);
    }
    return bytes;
}

RadioInfoPage InfoPageFromBytes(const std::vector<std::uint8_t>& bytes) {
    RadioInfoPage page;
    if (bytes.size() != kInfoPageSize) {
        return page;  // not a page: none
    }
    for (std::size_t i = 0; i < kInfoPageSize; ++i) {
        page.InfoWords[i] = bytes[i];
    }
    page.InfoValid = true;
    DecodeInfo(page);
    return page;
}

HistoryRecord RadioRecord(const char* operation, const char* result, const RadioRead& read) {
    HistoryRecord record = BareRecord(operation, result, {});
    record.band = read.band;
    record.channels = read.image.size() == ImageSizeFor(kSmallRadioChannels) ? kSmallRadioChannels
                                                                             : kBigRadioChannels;
    record.firmware = read.page.FirmwareVersion;
    record.serialNo = Trim(read.page.SerialNo);
    record.customer = Trim(read.page.CustomerName);
    record.imageBefore = read.image;
    if (read.page.InfoValid) {
        record.infoBefore = InfoPageBytes(read.page);
    }
    return record;
}

HistoryRecord BareRecord(const char* operation, const char* result, std::string detail) {
    HistoryRecord record;
    record.operation = operation;
    record.result = result;
    record.detail = std::move(detail);
    return record;
}

std::optional<RadioRead> RecordedRadio(const HistoryRecord& record) {
    const bool after = !record.imageAfter.empty();
    const auto& image = after ? record.imageAfter : record.imageBefore;
    const auto& info = after && !record.infoAfter.empty() ? record.infoAfter : record.infoBefore;
    // Only an image of a radio's size and a band this program knows makes a configuration.
    if (image.size() != ImageSizeFor(kSmallRadioChannels) &&
        image.size() != ImageSizeFor(kBigRadioChannels)) {
        return std::nullopt;
    }
    const int band = record.band != 0 ? record.band : image.back();
    if (band < 1 || band > kBandCount) {
        return std::nullopt;
    }
    RadioRead read{image, InfoPageFromBytes(info), band};
    read.image.back() = static_cast<std::uint8_t>(band);
    if (!record.firmware.empty()) {
        read.page.FirmwareVersion = record.firmware;
    }
    return read;
}

}  // namespace petrel
