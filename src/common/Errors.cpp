#include "common/Errors.h"

#include <QString>
#include <cerrno>

#include "common/ShownText.h"

EConvertError EConvertError::InvalidFloat(const QString& text) {
  return EConvertError(QStringLiteral("'%1' is not a valid floating point value")
                           .arg(ShownPiece(text))
                           .toStdString());
}

EConvertError EConvertError::InvalidInteger(const QString& text) {
  return EConvertError(
      QStringLiteral("'%1' is not a valid integer value").arg(ShownPiece(text)).toStdString());
}

namespace {
std::string InOutMessage(int code) {
  switch (code) {
    case EInOutError::kFileNotFound:
      return "File not found";
    case EInOutError::kReadBeyondEnd:
      return "Read beyond end of file";
    default:
      return "I/O error " + std::to_string(code);
  }
}
}  // namespace

EInOutError::EInOutError(int code) : ERuntimeError(InOutMessage(code)), fErrorCode(code) {}

EInOutError::EInOutError(int code, const std::string& message)
    : ERuntimeError(message), fErrorCode(code) {}

EInOutError EInOutError::FromErrno(int err) {
  if (err == ENOENT || err == ENOTDIR) return EInOutError(kFileNotFound);
  return EInOutError(err);
}

EZeroDivide::EZeroDivide() : ERuntimeError("Floating point division by zero") {}

EListError::EListError(const std::string& className)
    : ERuntimeError(className + ":\r\nList Operation Error.") {}
