#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/new_config.h"
#include "core/model/channel_line.h"
#include "core/model/radio_image.h"
#include "core/model/workspace.h"
#include "core/settings/sys_block.h"

namespace petrel::test {

// Channel lines drawn as one letter per channel: 'B' both sides, 'R' receive only, 'T' transmit
// only, anything else empty. Channel n receives on 446.00625 MHz with tone n and transmits on
// 446.01875 MHz without a tone, so every line differs from the others.
inline std::vector<std::string> ChannelLines(std::string_view kinds) {
    std::vector<std::string> lines;
    for (const char kind : kinds) {
        const int n = static_cast<int>(lines.size()) + 1;
        const bool rx = kind == 'B' || kind == 'R';
        const bool tx = kind == 'B' || kind == 'T';
        lines.push_back(rx || tx ? ChannelLine(n, rx ? "446.006250" : "NONE", rx ? n : 0,
                                               tx ? "446.018750" : "NONE", 0)
                                 : EmptyChannelLine(n));
    }
    return lines;
}

// An open document holding those lines, every channel with the same option byte.
inline Document DocumentOf(std::vector<std::string> lines, std::uint8_t options = 0x02) {
    Document doc;
    doc.state.Deleted = false;
    doc.state.ChOption.assign(lines.size(), options);
    doc.lines = std::move(lines);
    return doc;
}

// Bytes of a system block written "at=value ..." in hex: "05=07 0A=40".
inline void Poke(SysBlockBytes& block, const std::string& bytes) {
    std::istringstream in(bytes);
    for (std::string item; in >> item;) {
        block.at(std::stoul(item.substr(0, 2), nullptr, 16)) =
            static_cast<std::uint8_t>(std::stoul(item.substr(3), nullptr, 16));
    }
}

}  // namespace petrel::test
