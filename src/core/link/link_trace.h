#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "core/ports/clock.h"
#include "core/util/result.h"

namespace petrel {

// The environment variable that names the file a serial trace is appended to.
inline constexpr const char* kTraceVariable = "PETREL_TRACE";

// A serial trace for support: the link writes every byte it sends (">") and reads ("<"), the
// start and end of each frame, time-outs, retries and the questions it asks, one event a line
// with the milliseconds since the trace began on the link's steady clock. The link writes it
// itself, on its own thread, into a buffered stream that goes to the file whenever a port is
// closed, so that tracing costs a transfer no time worth measuring.
class LinkTrace {
  public:
    explicit LinkTrace(std::ostream& out);
    ~LinkTrace();
    // Appends to the file at path, after a line with the date and time it started. A file
    // that cannot be opened fails with its name and the system's reason.
    static Result<std::unique_ptr<LinkTrace>> Append(const std::string& path,
                                                     const LocalTime& started);

    // A line without a time (the port list).
    void Line(std::string_view text);
    void Event(std::int64_t nowUs, std::string_view text);
    // Bytes in one direction: '>' written to the line, '<' read from it.
    void Bytes(std::int64_t nowUs, char direction, std::span<const std::uint8_t> bytes);
    void Flush();
    // Flushes and, for a file, closes it; then why the trace is not whole ("cannot write the
    // trace PATH: No space left on device"), or nothing when every line went out.
    std::optional<std::string> Finish();

  private:
    struct File;
    LinkTrace(std::unique_ptr<File> file, std::string path);
    void Stamp(std::int64_t nowUs);

    std::unique_ptr<File> file_;
    std::string path_;
    std::ostream& out_;
    std::optional<std::int64_t> originUs_;
};

// "52 00 08": bytes as hexadecimal pairs.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace petrel
