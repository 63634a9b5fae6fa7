// Result of an operation at the driver's edge: success, or an error with a message a user can
// act on. Errors are values here; nothing in the driver throws, and no caller may drop one.
#pragma once

#include <string>
#include <utility>

namespace textdb {

enum class ErrorCode {
  kNone,
  kNotFound,  // the folder or the table's file does not exist
  kRefused,   // the file exists but cannot serve as a library (missing columns, unreadable)
  kBadQuery,  // the query text is not in the dialect, or names an unknown column
};

class [[nodiscard]] Status {
 public:
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(ErrorCode code, std::string message) {
    Status s;
    s.code_ = code;
    s.message_ = std::move(message);
    return s;
  }

  bool ok() const { return code_ == ErrorCode::kNone; }
  ErrorCode code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  ErrorCode code_ = ErrorCode::kNone;
  std::string message_;
};

}  // namespace textdb
