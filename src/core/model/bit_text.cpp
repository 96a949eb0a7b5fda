#include "core/model/bit_text.h"

namespace petrel {

std::string Bin8(std::uint8_t value) {
    std::string bits(8, '0');
    for (int bit = 0; bit < 8; ++bit) {
        if (value & (1u << bit)) {
            bits[7 - bit] = '1';
        }
    }
    return bits;
}

std::string ToBin(unsigned n) {
    std::string bits;
    do {
        const unsigned digit = n & 7u;
        bits.insert(
            0, {static_cast<char>('0' + ((digit >> 2) & 1)),
                static_cast<char>('0' + ((digit >> 1) & 1)), static_cast<char>('0' + (digit & 1))});
        n >>= 3;
    } while (n != 0);
    return bits;
}

unsigned BinToVal(std::string_view bits) {
    unsigned value = 0;
    for (const char c : bits) {
        value = (value << 1) | (c == '1' ? 1u : 0u);
    }
    return value;
}

std::string PadCode3(int code) {
    std::string text = std::to_string(code);
    if (text.size() < 3) {
        text.insert(0, 3 - text.size(), '0');
    }
    return text;
}

}  // namespace petrel
