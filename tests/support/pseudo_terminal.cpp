#include "support/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace petrel::test {

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    device_ = ::ptsname(master_);
    keepOpen_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    ::tcgetattr(keepOpen_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(keepOpen_, TCSANOW, &tio);
}

PseudoTerminal::~PseudoTerminal() {
    if (keepOpen_ >= 0) {
        ::close(keepOpen_);
    }
    HangUp();
}

void PseudoTerminal::Send(const std::vector<std::uint8_t>& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("pseudo-terminal write failed");
    }
}

std::vector<std::uint8_t> PseudoTerminal::Receive(std::size_t count, int timeoutMs) {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        pollfd in{master_, POLLIN, 0};
        if (::poll(&in, 1, timeoutMs) <= 0) {
            break;
        }
        std::uint8_t chunk[256];
        const ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void PseudoTerminal::HangUp() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace petrel::test
