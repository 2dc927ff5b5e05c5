// The one exception type of the Jet engine. It carries the DAO error number
// that the DAO layer reports, so that a damaged page deep in a row read ends
// as the same error a DAO user would see.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace dao::jet {

// DAO's published error numbers, used by the engine and the DAO objects.
enum ErrorNumber : int {
  kErrInvalidArgument = 3001,
  kErrTableExists = 3010,
  kErrObjectNotFound = 3011,
  kErrUpdateWithoutEdit = 3020,
  kErrNoCurrentRecord = 3021,
  kErrDuplicateKey = 3022,
  kErrFileNotFound = 3024,
  kErrDiskFull = 3026,
  kErrReadOnly = 3027,
  kErrWrongPassword = 3031,
  kErrDiskError = 3043,
  kErrRecordTooLarge = 3047,
  kErrInvalidPath = 3044,
  kErrFileInUse = 3045,
  kErrDatabaseDamaged = 3049,
  kErrCannotLock = 3050,
  kErrNoPermission = 3051,
  kErrNullInIndex = 3058,
  kErrInputTableNotFound = 3078,
  kErrNotBookmark = 3159,
  kErrFieldTooSmall = 3163,
  kErrFieldNotUpdatable = 3164,
  kErrRecordDeleted = 3167,
  kErrTooManyFields = 3190,
  kErrDuplicateFieldName = 3191,
  kErrDatabaseExists = 3204,
  kErrLocked = 3218,
  kErrInvalidOperation = 3219,
  kErrNotSupported = 3251,
  kErrInvalidFieldType = 3259,
  kErrNoFieldDefined = 3264,
  kErrItemNotFound = 3265,
  kErrPropertyNotFound = 3270,
  kErrPrimaryKeyExists = 3283,
  kErrIndexExists = 3284,
  kErrIndexInRelationship = 3303,
  kErrRequiredValue = 3314,
  kErrZeroLengthString = 3315,
  kErrUnrecognizedFormat = 3343,
  kErrObjectInvalid = 3420,
  kErrTypeConversion = 3421,
};

class JetError : public std::runtime_error {
 public:
  // `number` is the DAO error number, `description` the English text shown
  // to the user.
  JetError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  // The DAO error number.
  int Number() const { return number_; }

 private:
  int number_;
};

// Raises the error for a damaged structure; `detail` says what was found.
[[noreturn]] void ThrowDamaged(std::string_view detail);

}  // namespace dao::jet
