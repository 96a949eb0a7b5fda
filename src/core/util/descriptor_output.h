#pragma once

#include <array>
#include <streambuf>
#include <string>

namespace petrel {

// An output stream buffer on a file descriptor that keeps the system's reason for the first
// failed write: a stream over stdio or std::filebuf reports a full disk only as a flag, and by
// the time the flag is looked at errno says something else. After a failure nothing more is
// written and the stream that uses the buffer goes bad.
class DescriptorBuffer : public std::streambuf {
  public:
    // owned: the descriptor is closed by Close() and the destructor.
    DescriptorBuffer(int fd, bool owned);
    ~DescriptorBuffer() override;
    DescriptorBuffer(const DescriptorBuffer&) = delete;
    DescriptorBuffer& operator=(const DescriptorBuffer&) = delete;

    // The errno of the first failure, 0 while none.
    int Error() const { return error_; }
    std::string ErrorText() const;
    // Writes what is buffered; for an owned regular file also waits until it is on the disk,
    // then closes it. Returns Error().
    int Close();

  protected:
    int_type overflow(int_type ch) override;
    int sync() override;

  private:
    bool Drain();

    int fd_;
    bool owned_;
    int error_ = 0;
    std::array<char, 8192> buffer_{};
};

}  // namespace petrel
