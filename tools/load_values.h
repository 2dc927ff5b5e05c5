#pragma once
// Reading the values of a load document into typed values, in the forms
// `nutaro dump` prints them: numbers as JSON numbers, currency exact to four
// decimals, decimals as strings of digits, dates as "YYYY-MM-DD
// HH:MM:SS.mmm", binary data as hex digits, GUIDs in their 38-character
// form. No locale takes part: the document's texts are the same everywhere.
// Each reader throws ValueError with the reason when the value has another
// kind or does not fit.

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "platform/currency.h"
#include "platform/date_time.h"
#include "platform/decimal.h"
#include "platform/guids.h"
#include "platform/variant.h"
#include "tools/json_reader.h"

namespace tools {

// Why a value cannot go into its column; the caller adds which one.
class ValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A JSON integer within [minimum, maximum] (no fraction, no exponent).
std::int64_t ReadInteger(const JsonScalar& value, std::int64_t minimum, std::int64_t maximum);
// A JSON integer within the whole range of the integer type T.
template <typename T>
T ReadInteger(const JsonScalar& value) {
  return static_cast<T>(ReadInteger(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}
// A JSON number as the nearest double; refused beyond the double range.
double ReadDouble(const JsonScalar& value);
// A JSON number as the nearest single; refused beyond the single range.
float ReadSingle(const JsonScalar& value);
// true or false.
bool ReadBoolean(const JsonScalar& value);
// A JSON number with at most four decimals within the currency range.
platform::Currency ReadCurrency(const JsonScalar& value);
// A string (or number) of decimal digits, exactly (trailing zeros of the
// fraction do not count towards the scale).
platform::Decimal ReadDecimal(const JsonScalar& value);
// "YYYY-MM-DD HH:MM:SS.mmm"; the time or its milliseconds may be left out.
platform::TDateTime ReadDateTime(const JsonScalar& value);
// "YYYY-MM-DD" alone.
platform::TDateTime ReadDate(const JsonScalar& value);
// "HH:MM:SS.mmm" alone (the milliseconds may be left out), as a time of
// day on day 0.
platform::TDateTime ReadTime(const JsonScalar& value);
// A string of hex digits (either case, even count).
platform::Bytes ReadHex(const JsonScalar& value);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (either case).
platform::Guid ReadGuid(const JsonScalar& value);
// A string.
const std::string& ReadText(const JsonScalar& value);

// The value as the document shows it, shortened, for messages: "12.5",
// "\"Äpfel\"", "null".
std::string ShowValue(const JsonScalar& value);

}  // namespace tools
