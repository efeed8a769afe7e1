#pragma once
// What a routine gives back when it can fail: its value, or an error with the text
// the user is to read. Routines below the view return these; the view and the app
// turn an error into the message box or the line on standard error.

#include <string>
#include <utility>
#include <variant>

namespace quarn {

struct Error {
  std::string message;
};

template <typename T>
class Result {
 public:
  Result(T value) : v_(std::move(value)) {}      // NOLINT: a value converts implicitly
  Result(Error error) : v_(std::move(error)) {}  // NOLINT: so does an error

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Error& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

// A routine that gives nothing but can fail: an empty message means success.
struct Status {
  std::string error;
  bool ok() const { return error.empty(); }
  explicit operator bool() const { return ok(); }
  static Status Ok() { return {}; }
  static Status Fail(std::string message) { return {std::move(message)}; }
};

}  // namespace quarn
