#include "platform/errors.h"

#include <cstring>

namespace platform {
namespace {

std::string FileErrorMessage(const std::string& action, const std::string& path,
                             int errorNumber) {
  std::string message = action + " '" + path + "'";
  if (errorNumber != 0) {
    char buffer[256];
    // The GNU strerror_r returns the message, which need not live in `buffer`.
    message += ": ";
    message += strerror_r(errorNumber, buffer, sizeof buffer);
  }
  return message;
}

}  // namespace

FileError::FileError(const std::string& action, const std::string& path, int errorNumber)
    : std::runtime_error(FileErrorMessage(action, path, errorNumber)),
      path_(path),
      errorNumber_(errorNumber) {}

FileError::FileError(const std::string& action, const std::string& path, const std::string& reason)
    : std::runtime_error(action + " '" + path + "': " + reason), path_(path), errorNumber_(0) {}

ConversionError::ConversionError(Kind kind, const std::string& message)
    : std::runtime_error(message), kind_(kind) {}

}  // namespace platform
