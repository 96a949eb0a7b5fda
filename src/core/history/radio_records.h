#pragma once

// Service history records of radio operations, filled from what the link read.

#include <string>
#include <vector>

#include "core/history/service_history.h"
#include "core/model/radio_image.h"

namespace petrel {

// The 256 bytes of an information page.
std::vector<std::uint8_t> InfoPageBytes(const RadioInfoPage& page);
// An information page from its bytes, decoded (texts and tables) as a read page is.
RadioInfoPage InfoPageFromBytes(const std::vector<std::uint8_t>& bytes);

// A record of an operation on a radio that was read: its band, channel count, firmware, serial
// number, customer, image and page as "before".
HistoryRecord RadioRecord(const char* operation, const char* result, const RadioRead& read);
// A record of an operation that read nothing of the radio.
HistoryRecord BareRecord(const char* operation, const char* result, std::string detail);

// The radio a record holds, as a configuration opens it: the image after the operation when
// there is one, else before; nothing when the record holds no image.
std::optional<RadioRead> RecordedRadio(const HistoryRecord& record);

}  // namespace petrel
