#include "core/util/descriptor_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace petrel {

DescriptorBuffer::DescriptorBuffer(int fd, bool owned) : fd_(fd), owned_(owned) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DescriptorBuffer::~DescriptorBuffer() {
    Close();
}

std::string DescriptorBuffer::ErrorText() const {
    return std::error_code(error_, std::generic_category()).message();
}

bool DescriptorBuffer::Drain() {
    const char* at = pbase();
    auto left = static_cast<std::size_t>(pptr() - pbase());
    while (error_ == 0 && left > 0) {
        const ssize_t n = ::write(fd_, at, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;  // a write that takes nothing would loop for ever
            break;
        }
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type ch) {
    if (fd_ < 0 || !Drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

int DescriptorBuffer::sync() {
    return fd_ >= 0 && Drain() ? 0 : -1;
}

int DescriptorBuffer::Close() {
    if (fd_ < 0) {
        return error_;
    }
    Drain();
    if (owned_) {
        struct stat info {};
        if (error_ == 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode) && ::fsync(fd_) != 0) {
            error_ = errno;
        }
        if (::close(fd_) != 0 && error_ == 0) {
            error_ = errno;
        }
    }
    fd_ = -1;
    return error_;
}

}  // namespace petrel
