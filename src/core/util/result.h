#pragma once

#include <optional>
#include <string>
#include <utility>

namespace petrel {

// Why an operation did not do its work, in words the user can act on.
struct Failure {
    std::string message;
};

// What an operation that can fail in the ordinary course returns (a file that does not open
// or write, a radio that does not answer, a row that is refused): its value, or the message of
// its failure. Exceptions are for programming errors only: reading the value of a failure
// throws std::bad_optional_access.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : message_(std::move(failure.message)) {}

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }
    T& operator*() { return value_.value(); }
    const T& operator*() const { return value_.value(); }
    T* operator->() { return &value_.value(); }
    const T* operator->() const { return &value_.value(); }
    // The failure's message; empty when it succeeded.
    const std::string& Message() const { return message_; }

  private:
    std::optional<T> value_;
    std::string message_;
};

// An operation that has nothing to give back but whether it did its work.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : ok_(false), message_(std::move(failure.message)) {}

    bool Ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& Message() const { return message_; }

  private:
    bool ok_ = true;
    std::string message_;
};

}  // namespace petrel
