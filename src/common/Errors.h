#pragma once
// Error types of the calibration core. Their what() texts are the runtime messages the
// user sees in the error box ("File not found", "Read beyond end of file", ...).

#include <stdexcept>
#include <string>

class QString;

// Base of every error a command may raise; the command wrapper catches this type.
class ERuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that is not a number: "'%s' is not a valid floating point value" or the integer twin.
// The text is shown with its control characters escaped and cut after 64 characters.
class EConvertError : public ERuntimeError {
 public:
  using ERuntimeError::ERuntimeError;
  static EConvertError InvalidFloat(const QString& text);
  static EConvertError InvalidInteger(const QString& text);
};

// A file error with its input/output code: 2 "File not found", 100 "Read beyond end of
// file", anything else "I/O error %d".
class EInOutError : public ERuntimeError {
 public:
  static constexpr int kFileNotFound = 2;
  static constexpr int kReadBeyondEnd = 100;
  explicit EInOutError(int code);
  // An error with its code and a message of its own (a file that is not what it should be).
  EInOutError(int code, const std::string& message);
  // The error for a failed open or write, from the system's errno value.
  static EInOutError FromErrno(int err);
  int ErrorCode() const { return fErrorCode; }

 private:
  int fErrorCode;
};

// "Floating point division by zero".
class EZeroDivide : public ERuntimeError {
 public:
  EZeroDivide();
};

// The list error: the class name, a colon, a line break and "List Operation Error.".
class EListError : public ERuntimeError {
 public:
  explicit EListError(const std::string& className);
};
