#include "core/model/info_page.h"

#include <array>
#include <cstdio>

#include "core/util/text.h"

namespace petrel {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

// Characters of consecutive information words, one byte each.
std::string InfoText(const RadioInfoPage& page, std::size_t first, std::size_t count) {
    std::string bytes;
    for (std::size_t i = first; i < first + count; ++i) {
        const auto byte = static_cast<std::uint8_t>(page.InfoWords[i] & 0xFF);
        if (IsInfoTextByte(byte)) {
            bytes.push_back(static_cast<char>(byte));
        }
    }
    return Latin1ToUtf8(Trim(bytes));
}

}  // namespace

std::string FormatRadioDate(int year, int month, int day) {
    std::int64_t fullYear = year;
    if (year >= 0 && year <= 29) {
        fullYear += 2000;
    } else if (year >= 30 && year <= 99) {
        fullYear += 1900;
    }
    // Months beyond 12 or below 1 carry into the year, days into the month.
    const std::int64_t monthIndex = fullYear * 12 + (month - 1);
    const std::int64_t y = monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
    const unsigned m = static_cast<unsigned>(monthIndex - y * 12) + 1;
    const std::int64_t days = DaysFromCivil(y, m, 1) + (day - 1);
    std::int64_t outYear = 0;
    unsigned outMonth = 0;
    unsigned outDay = 0;
    CivilFromDays(days, outYear, outMonth, outDay);
    char text[32];
    std::snprintf(text, sizeof text, "%s-%02u-%04lld", kMonthNames[outMonth - 1], outDay,
                  static_cast<long long>(outYear));
    return text;
}

void RadioInfoPage::SetTables(const InfoTables& tables) {
    LevelTable = tables.level;
    PowerTable = tables.power;
    for (std::size_t i = 0; i < kTableSize; ++i) {
        InfoWords[kInfoLevelTable + i] = LevelTable[i];
        InfoWords[kInfoPowerTable + i] = PowerTable[i];
    }
}

void DecodeInfo(RadioInfoPage& page) {
    for (std::size_t i = 0; i < kTableSize; ++i) {
        page.LevelTable[i] = static_cast<std::uint8_t>(page.InfoWords[kInfoLevelTable + i] & 0xFF);
        page.PowerTable[i] = static_cast<std::uint8_t>(page.InfoWords[kInfoPowerTable + i] & 0xFF);
    }
    page.CustomerName = InfoText(page, kInfoNameText, kInfoNameLength);
    page.SerialNo = InfoText(page, kInfoSerialText, kInfoSerialLength);
    page.ProgDate = FormatRadioDate(page.InfoWords[kInfoProgDate] & 0xFF,
                                    page.InfoWords[kInfoProgDate + 1] & 0xFF,
                                    page.InfoWords[kInfoProgDate + 2] & 0xFF);
}

}  // namespace petrel
