#include "core/link/link_trace.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "core/util/descriptor_output.h"

namespace petrel {

// The trace's own file: the descriptor's buffer keeps the reason of a failed write.
struct LinkTrace::File {
    explicit File(int fd) : buffer(fd, true), stream(&buffer) {}
    DescriptorBuffer buffer;
    std::ostream stream;
};

LinkTrace::LinkTrace(std::unique_ptr<File> file, std::string path)
    : file_(std::move(file)), path_(std::move(path)), out_(file_->stream) {}

LinkTrace::LinkTrace(std::ostream& out) : out_(out) {}

LinkTrace::~LinkTrace() = default;

Result<std::unique_ptr<LinkTrace>> LinkTrace::Append(const std::string& path,
                                                     const LocalTime& started) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return Failure{"cannot write the trace " + path + ": " + std::strerror(errno)};
    }
    auto trace = std::unique_ptr<LinkTrace>(new LinkTrace(std::make_unique<File>(fd), path));
    trace->out_ << "Petrel CPS serial trace, started " << StampText(started)
                << "; milliseconds since the first event, > written, < read\n";
    return trace;
}

std::optional<std::string> LinkTrace::Finish() {
    out_.flush();
    if (file_) {
        file_->buffer.Close();
        if (file_->buffer.Error() != 0) {
            return "cannot write the trace " + path_ + ": " + file_->buffer.ErrorText();
        }
    }
    if (!out_) {
        return "cannot write the trace " + path_;
    }
    return std::nullopt;
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
