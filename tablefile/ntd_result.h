#pragma once
// The outcome of a record-store operation: a success flag and, on failure, the
// reason text that the dataset puts into its error message.

#include <string>
#include <utility>

namespace tablefile {

struct TNtdResult {
  bool Ok = true;
  std::string Reason;  // empty on success (partial opening may keep one)

  static TNtdResult Success() { return {}; }
  static TNtdResult Failure(std::string reason) { return {false, std::move(reason)}; }
};

// Reason texts of the image reader and the record operations.
namespace reason {
inline constexpr char kCorruption[] = "Buffer structure corruption!";
inline constexpr char kBadDescription[] = "Error in buffer structure (field description section)";
inline constexpr char kInvalidPassword[] = "Invalid password. Table cannot be open";
inline constexpr char kUnexpectedEnd[] = "Unexpected end of buffer";
inline constexpr char kWrongLength[] = "Field '%s' has wrong length %d in record %d";
inline constexpr char kWrongStringLength[] = "String field '%s' has wrong length %d in record %d";
inline constexpr char kWrongBlobLength[] = "BLOB field '%s' has wrong length %d in record %d";
inline constexpr char kCountMismatch[] =
    "Number of records read (%d) does not match declared record count (%d)";
inline constexpr char kRecordNotFound[] = "Record is not found";
inline constexpr char kRecordDeleted[] = "Record has been deleted";
inline constexpr char kAutoIncExhausted[] = "No auto-increment value is left";
}  // namespace reason

}  // namespace tablefile
