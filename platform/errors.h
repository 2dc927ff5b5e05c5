#pragma once

// Error kinds of the platform layer. Callers above map them to their own
// messages where a message is prescribed; otherwise the text is shown as is.

#include <stdexcept>
#include <string>

namespace platform {

// The silent error: it ends the current action, and the application never
// shows it to the user.
class EAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "Operation aborted"; }
};

// A failed file-system operation. The message names the path and the
// operating system's reason, e.g. "Cannot open file '/a/b.ntd': No such file
// or directory".
class FileError : public std::runtime_error {
 public:
  // `action` is the failed step ("Cannot open file"), `errorNumber` the errno.
  FileError(const std::string& action, const std::string& path, int errorNumber);
  // A failure that is no operating-system error: `reason` takes the place
  // of the system's text ("Cannot write file '/a/b.ntd': <reason>").
  FileError(const std::string& action, const std::string& path, const std::string& reason);

  const std::string& Path() const { return path_; }
  // The errno value behind the failure (0 when there was none, e.g. a short read).
  int ErrorNumber() const { return errorNumber_; }

 private:
  std::string path_;
  int errorNumber_;
};

// A value that cannot be converted to the requested kind: a variant change of
// type, a date-time outside the calendar, a malformed GUID text. The message
// is German like every message the user sees from the record-set framework.
class ConversionError : public std::runtime_error {
 public:
  enum class Kind {
    kTypeMismatch,     // the value has no meaning in the target kind ("abc" as a number)
    kOverflow,         // the value does not fit the target kind (70000 as Int16)
    kInvalidDateTime,  // a date, time or time stamp outside the calendar
    kInvalidGuid,      // a text that is not the 38-character form of a GUID
  };

  ConversionError(Kind kind, const std::string& message);

  Kind GetKind() const { return kind_; }

 private:
  Kind kind_;
};

}  // namespace platform
