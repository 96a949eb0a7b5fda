#include "core/settings/radio_info.h"

#include "core/history/service_history.h"
#include "core/link/radio_link.h"
#include "core/model/band_table.h"
#include "core/model/radio_image.h"
#include "core/ports/prompter.h"
#include "core/util/text.h"

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

CustomerTexts FillCustomerBlocks(std::string_view name, std::string_view serial, CalendarDate today,
                                 TextBlock& nameBlock, TextBlock& serialBlock) {
    const std::string nameBytes = PaddedBytes(name);
    const std::string serialBytes = PaddedBytes(serial);
    for (std::size_t i = 0; i < kCustomerNameLength; ++i) {
        nameBlock[1 + i] = static_cast<std::uint8_t>(nameBytes[i]);
    }
    for (std::size_t i = 0; i < kSerialSentLength; ++i) {
        serialBlock[1 + i] = static_cast<std::uint8_t>(serialBytes[i]);
    }
    serialBlock[kDateElement] = static_cast<std::uint8_t>(today.year % 100);
    serialBlock[kDateElement + 1] = static_cast<std::uint8_t>(today.month);
    serialBlock[kDateElement + 2] = static_cast<std::uint8_t>(today.day);
    return {Latin1ToUtf8(nameBytes), Latin1ToUtf8(serialBytes)};
}

bool ReadCustomerInfo(RadioLink& link, RadioInfoPage& page) {
    // Each block operation reads the radio's size first and uses its information page.
    const auto name = link.Images().ReadNameBlock();
    if (name) {
        page.CustomerName = *name;
    }
    const auto serial = link.Images().ReadSerialBlock();
    if (serial) {
        page.SerialNo = *serial;
    }
    return name && serial;
}

Result<void> WriteCustomerBlocks(RadioLink& link, RadioInfoPage& page, std::string_view name,
                                 std::string_view serial, CalendarDate today) {
    TextBlock nameBlock{};
    TextBlock serialBlock{};
    const CustomerTexts texts = FillCustomerBlocks(name, serial, today, nameBlock, serialBlock);
    const TextWrite nameWrite = link.Images().WriteNameBlock(nameBlock);
    if (nameWrite != TextWrite::Written) {
        return Failure{std::string(nameWrite == TextWrite::NotSent
                                       ? "the customer name was not written"
                                       : "the customer name may be written only in part") +
                       "; the serial number is unchanged"};
    }
    page.CustomerName = texts.name;
    const TextWrite serialWrite = link.Images().WriteSerialBlock(serialBlock);
    if (serialWrite != TextWrite::Written) {
        return Failure{
            std::string("the customer name was written; the serial number ") +
            (serialWrite == TextWrite::NotSent ? "is unchanged" : "may be written only in part")};
    }
    page.SerialNo = texts.serial;
    return {};
}

Result<void> WriteCustomerInfo(RadioLink& link, RadioInfoPage& page, std::string_view name,
                               std::string_view serial, CalendarDate today) {
    const std::string wasName = Trim(page.CustomerName);
    const std::string wasSerial = Trim(page.SerialNo);
    Result<void> written = WriteCustomerBlocks(link, page, name, serial, today);
    if (written && !link.Params().WriteControl90()) {
        written = Failure{
            "the customer name and serial number were written, but the radio did not answer the "
            "closing code 90H"};
    }
    if (link.Frames().DetectedBand()) {
        HistoryRecord record;
        record.operation = kOpCustomer;
        record.result = written ? kResultDone : kResultFailed;
        record.serialNo = Trim(page.SerialNo);
        record.customer = Trim(page.CustomerName);
        record.detail =
            written ? "was \"" + wasSerial + "\", \"" + wasName + "\"" : written.Message();
        link.Images().Record(std::move(record));
    }
    return written;
}

std::string CustomerNotWrittenText(const Result<void>& write) {
    return "The customer information was not written completely: " + write.Message() + "." +
           kLineBreak + "Check the cable, then press OK to write it again.";
}

}  // namespace petrel
