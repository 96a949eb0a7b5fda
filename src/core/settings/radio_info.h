#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/image_link.h"
#include "core/ports/clock.h"
#include "core/util/result.h"

namespace petrel {

class RadioLink;
struct Document;
struct RadioInfoPage;

// frmRadioInfo, "Radio Information": the information texts of one document's page. The last
// two boxes are never shown.
struct RadioInfoBox {
    const char* name;
    const char* caption;
    bool visible;
};
inline constexpr std::array<RadioInfoBox, 6> kRadioInfoBoxes = {{
    {"txtCustomer", "Customer", true},
    {"txtSerial", "Serial  Nember", true},
    {"txtFreqRange", "Frequency Range", true},
    {"txtPrgDate", "Programming Date", true},
    {"txtVersion", "Soft Version", false},
    {"txtMaskDate", "Masked Date", false},
}};
inline constexpr const char* kRadioInfoCaption = "Radio Information";

// The boxes' texts of a document, in the order above; the frequency range is the 22
// characters of its band row around the first "~", trimmed.
std::array<std::string, 6> RadioInfoTexts(const Document& doc);

// frmCustomer, "Customer Info.": the customer name and serial number kept in the radio.
inline constexpr const char* kCustomerCaption = "Customer Info.";
inline constexpr std::size_t kCustomerNameLength = 15;  // characters the name block holds
inline constexpr std::size_t kSerialTypedLength = 13;   // characters the serial box takes
inline constexpr std::size_t kSerialSentLength = 12;    // characters the serial block holds

// The customer name and serial number as the customer editor's OK stores them: trimmed and
// padded to 15 characters (a longer name is cut).
struct CustomerTexts {
    std::string name;
    std::string serial;
};

// The customer editor's OK without the radio: the name block's elements 1-15 take the name,
// the serial block's elements 1-12 the first 12 serial characters and 13-15 the date
// (two-digit year, month, day). Element 0 of each block is left as it is. Characters go out
// as Latin-1 bytes.
CustomerTexts FillCustomerBlocks(std::string_view name, std::string_view serial, CalendarDate today,
                                 TextBlock& nameBlock, TextBlock& serialBlock);

// READ: the name and serial blocks from the radio into the page's CustomerName and SerialNo.
// True when both were read.
bool ReadCustomerInfo(RadioLink& link, RadioInfoPage& page);

// OK: the name block, then the serial block, as FillCustomerBlocks makes them, then the control
// code 0x90 0x0A. The first block the radio does not take ends it: the serial number is never
// written after a name that was not. The page takes each text the radio took. It succeeds when
// both blocks were written and the closing code answered; a failure says what failed and what
// the radio holds now.
Result<void> WriteCustomerInfo(RadioLink& link, RadioInfoPage& page, std::string_view name,
                               std::string_view serial, CalendarDate today);
// The two blocks alone, without the closing code and without a record: the fleet reads them
// back before it closes.
Result<void> WriteCustomerBlocks(RadioLink& link, RadioInfoPage& page, std::string_view name,
                                 std::string_view serial, CalendarDate today);
// The message after an OK that did not complete.
std::string CustomerNotWrittenText(const Result<void>& write);

}  // namespace petrel
