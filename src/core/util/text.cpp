#include "core/util/text.h"

#include <limits>

namespace petrel {

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string TrimLeft(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string Mid(std::string_view text, std::size_t start, std::size_t length) {
    if (start >= text.size()) {
        return {};
    }
    return std::string(text.substr(start, length));
}

std::string PadRight(std::string_view text, std::size_t width, char fill) {
    std::string result(text);
    if (result.size() < width) {
        result.append(width - result.size(), fill);
    }
    return result;
}

std::string ToUpperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::int64_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10 - 9;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < kLimit) {
            value = value * 10 + (text[i] - '0');
        }
    }
    return negative ? -value : value;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string result;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            result.push_back(c);
        } else {
            result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return result;
}

std::string Utf8ToLatin1(std::string_view text, char replacement) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            result.push_back(text[i]);
            continue;
        }
        // A two-byte sequence lead by 0xC2 or 0xC3 is U+0080..U+00FF; skip the rest of any
        // other sequence.
        const bool latin1 = (byte == 0xC2 || byte == 0xC3) && i + 1 < text.size() &&
                            (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80;
        if (latin1) {
            result.push_back(static_cast<char>(((byte & 0x03) << 6) |
                                               (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
            ++i;
            continue;
        }
        while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            ++i;
        }
        result.push_back(replacement);
    }
    return result;
}

std::string EscapeControls(std::string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    constexpr unsigned char kUtf8C1Lead = 0xC2;  // U+0080..U+009F are C2 80..C2 9F
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        int control = -1;
        if (byte < 0x20 || byte == 0x7F) {
            control = byte;
        } else if (byte == kUtf8C1Lead && next >= 0x80 && next <= 0x9F) {
            control = next;
            ++i;
        }
        if (control >= 0) {
            escaped += "\\x";
            escaped += kDigits[control >> 4];
            escaped += kDigits[control & 0x0F];
        } else if (byte == '\\') {
            escaped += "\\\\";
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

}  // namespace petrel
