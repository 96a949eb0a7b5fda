#include "core/link/termios_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace petrel {

namespace {

constexpr std::int64_t kWriteBudgetUs = 1'000'000;  // a full output queue must drain by then
constexpr std::size_t kReadChunk = 256;

timespec ToTimespec(std::int64_t us) {
    return timespec{static_cast<time_t>(us / 1'000'000), static_cast<long>(us % 1'000'000) * 1000};
}

// Sleeps without watching anything: the wait of a port that cannot deliver bytes.
void SleepUs(std::int64_t us) {
    if (us > 0) {
        const timespec span = ToTimespec(us);
        ::ppoll(nullptr, 0, &span, nullptr);
    }
}

std::int64_t MonotonicUs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

// Raw 2400 baud, 8 data bits, no parity, one stop bit, no flow control; reads never block.
bool ConfigureLine(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B2400) != 0 || ::cfsetospeed(&tio, B2400) != 0) {
        return false;
    }
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

TermiosSerialPort::TermiosSerialPort(std::vector<std::string> devices, DeviceSource source)
    : devices_(std::move(devices)), source_(std::move(source)) {}

TermiosSerialPort::~TermiosSerialPort() {
    Close();
}

void TermiosSerialPort::SetPortNumber(int number) {
    number_ = number;
}

std::string TermiosSerialPort::DeviceName(int number) const {
    if (number < kFirstPortNumber || number > static_cast<int>(devices_.size())) {
        return {};
    }
    return devices_[static_cast<std::size_t>(number - 1)];
}

void TermiosSerialPort::Open() {
    if (IsOpen()) {
        return;
    }
    const std::string device = DeviceName(number_);
    if (device.empty()) {
        throw SerialPortError("COM" + std::to_string(number_), ENOENT);
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw SerialPortError(device, errno);
    }
    int error = 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (!ConfigureLine(fd) || ::ioctl(fd, TIOCEXCL) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        throw SerialPortError(device, error);
    }
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    pending_.clear();
    // Opening a terminal raises DTR and RTS; the radio's cable expects both low until DTR is
    // raised to look for the radio, and RTS is never used.
    ModemLines(TIOCMBIC, TIOCM_DTR | TIOCM_RTS);
}

void TermiosSerialPort::Close() {
    if (!IsOpen()) {
        return;
    }
    // The exclusive mark stays on the terminal while anyone holds it open (a simulator does),
    // so it is taken off again for the next user.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    pending_.clear();
}

void TermiosSerialPort::RaiseDtr() {
    if (IsOpen()) {
        ModemLines(TIOCMBIS, TIOCM_DTR);
    }
}

void TermiosSerialPort::ModemLines(unsigned long request, int bits) {
    ::ioctl(fd_, request, &bits);  // a pseudo-terminal has no modem lines: not an error
}

void TermiosSerialPort::RefreshDevices() {
    if (source_ && !IsOpen()) {
        devices_ = source_();
    }
}

void TermiosSerialPort::SetBinaryMode() {
    // The line is raw from the moment it opens: bytes are never translated.
}

int TermiosSerialPort::InBufferCount() {
    if (!IsOpen()) {
        return 0;
    }
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0 || waiting < 0) {
        waiting = 0;
    }
    return static_cast<int>(pending_.size()) + waiting;
}

void TermiosSerialPort::ClearInBuffer() {
    if (IsOpen()) {
        ::tcflush(fd_, TCIFLUSH);
    }
    pending_.clear();
}

void TermiosSerialPort::Write(std::span<const std::uint8_t> bytes) {
    if (!IsOpen()) {
        return;
    }
    const std::int64_t giveUp = MonotonicUs() + kWriteBudgetUs;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        const std::int64_t left = giveUp - MonotonicUs();
        if (n < 0 && errno != EAGAIN) {
            return;  // the device failed: the answer will not come
        }
        if (left <= 0) {
            return;
        }
        pollfd out{fd_, POLLOUT, 0};
        const timespec span = ToTimespec(left);
        ::ppoll(&out, 1, &span, nullptr);
    }
}

std::size_t TermiosSerialPort::Drain() {
    std::size_t total = 0;
    std::uint8_t chunk[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0) {
            pending_.insert(pending_.end(), chunk, chunk + n);
            total += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return total;
    }
}

std::vector<std::uint8_t> TermiosSerialPort::ReadAll() {
    if (IsOpen()) {
        Drain();
    }
    std::vector<std::uint8_t> bytes;
    bytes.swap(pending_);
    return bytes;
}

bool TermiosSerialPort::WaitForInput(std::int64_t timeoutUs) {
    if (timeoutUs <= 0) {
        return false;
    }
    if (!IsOpen()) {
        SleepUs(timeoutUs);
        return false;
    }
    // Bytes the kernel already holds were counted before: take them first so that poll()
    // waits for new ones.
    if (Drain() > 0) {
        return true;
    }
    const std::int64_t deadline = MonotonicUs() + timeoutUs;
    for (;;) {
        const std::int64_t left = deadline - MonotonicUs();
        if (left <= 0) {
            return false;
        }
        pollfd in{fd_, POLLIN, 0};
        const timespec span = ToTimespec(left);
        const int ready = ::ppoll(&in, 1, &span, nullptr);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        if (Drain() > 0) {
            return true;
        }
        // Ready without bytes: a hung-up or failed line reports itself at once and forever,
        // so the rest of the wait is slept out instead of asked again.
        SleepUs(deadline - MonotonicUs());
        return false;
    }
}

}  // namespace petrel
