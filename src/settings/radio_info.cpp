#include "settings/radio_info.h"

#include <ctime>

#include "document/band_table.h"
#include "document/radio_image.h"
#include "link/radio_link.h"
#include "util/text.h"

namespace petrel {

namespace {

constexpr std::size_t kPaddedLength = 15;
constexpr std::size_t kDateElement = 13;  // year, month, day follow the serial characters

// Trimmed, at most 15 characters, padded with blanks to 15: as Latin-1 bytes.
std::string PaddedBytes(std::string_view text) {
    return PadRight(Mid(Trim(Utf8ToLatin1(text)), 0, kPaddedLength), kPaddedLength);
}

}  // namespace

std::array<std::string, 6> RadioInfoTexts(const Document& doc) {
    const RadioInfoPage& page = doc.info;
    return {page.CustomerName, page.SerialNo,        RangeText(BandRow(doc.state.Band)),
            page.ProgDate,     page.FirmwareVersion, page.MaskDate};
}

CalendarDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void FillCustomerBlocks(RadioInfoPage& page, std::string_view name, std::string_view serial,
                        CalendarDate today, TextBlock& nameBlock, TextBlock& serialBlock) {
    const std::string nameBytes = PaddedBytes(name);
    const std::string serialBytes = PaddedBytes(serial);
    page.CustomerName = Latin1ToUtf8(nameBytes);
    page.SerialNo = Latin1ToUtf8(serialBytes);
    for (std::size_t i = 0; i < kCustomerNameLength; ++i) {
        nameBlock[1 + i] = static_cast<std::uint8_t>(nameBytes[i]);
    }
    for (std::size_t i = 0; i < kSerialSentLength; ++i) {
        serialBlock[1 + i] = static_cast<std::uint8_t>(serialBytes[i]);
    }
    serialBlock[kDateElement] = static_cast<std::uint8_t>(today.year % 100);
    serialBlock[kDateElement + 1] = static_cast<std::uint8_t>(today.month);
    serialBlock[kDateElement + 2] = static_cast<std::uint8_t>(today.day);
}

bool ReadCustomerInfo(RadioLink& link, RadioInfoPage& page) {
    // Each block operation reads the radio's size first and uses its information page.
    const auto name = link.ReadNameBlock();
    if (name) {
        page.CustomerName = *name;
    }
    const auto serial = link.ReadSerialBlock();
    if (serial) {
        page.SerialNo = *serial;
    }
    return name && serial;
}

bool WriteCustomerInfo(RadioLink& link, RadioInfoPage& page, std::string_view name,
                       std::string_view serial, CalendarDate today) {
    FillCustomerBlocks(page, name, serial, today, link.NameBlock, link.SerialBlock);
    link.WriteNameBlock();
    link.WriteSerialBlock();
    return link.WriteControl90();
}

}  // namespace petrel
