#include "link/link_trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <ostream>
#include <stdexcept>

namespace petrel {

LinkTrace::LinkTrace(std::unique_ptr<std::ofstream> file) : file_(std::move(file)), out_(*file_) {}

std::unique_ptr<LinkTrace> LinkTrace::Append(const std::string& path) {
    auto file = std::make_unique<std::ofstream>(path, std::ios::app | std::ios::binary);
    if (!*file) {
        throw std::runtime_error("cannot write the trace " + path + ": " + std::strerror(errno));
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char started[32];
    std::strftime(started, sizeof started, "%Y-%m-%d %H:%M:%S", &local);
    *file << "Petrel CPS serial trace, started " << started
          << "; milliseconds since the first event, > written, < read\n";
    return std::unique_ptr<LinkTrace>(new LinkTrace(std::move(file)));
}

void LinkTrace::Line(std::string_view text) {
    out_ << text << '\n';
}

void LinkTrace::Stamp(std::int64_t nowUs) {
    if (!originUs_) {
        originUs_ = nowUs;
    }
    char stamp[24];
    std::snprintf(stamp, sizeof stamp, "%10.3f  ", static_cast<double>(nowUs - *originUs_) / 1e3);
    out_ << stamp;
}

void LinkTrace::Event(std::int64_t nowUs, std::string_view text) {
    Stamp(nowUs);
    out_ << text << '\n';
}

void LinkTrace::Bytes(std::int64_t nowUs, char direction, std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    Stamp(nowUs);
    out_ << direction << ' ' << HexBytes(bytes) << '\n';
}

void LinkTrace::Flush() {
    out_.flush();
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

}  // namespace petrel
