#pragma once

// The text form in which a TAccessTable keeps every value in its row
// buffers, and the conversions to it from DAO values and native field
// values (recordset::NativeSize) and back.
//
//   ftString            the characters
//   integers            decimal
//   ftBoolean           "True" / "False"
//   ftFloat, ftCurrency the general float text (user's decimal separator)
//   dates and times     day number (1 January 0001 = 1), a blank, milliseconds
//   GUID fields         "{guid {XXXXXXXX-...}}", as DAO writes a GUID
//   other ftBytes       the raw bytes, one character per byte
//   memo, blob          the value when loaded, else its size in bytes

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/date_time.h"
#include "platform/guids.h"
#include "platform/variant.h"
#include "recordset/field_type.h"

namespace accessdb {

// "730120 43200000" for 1 January 2000, noon.
std::string TimeStampText(platform::TDateTime value);
// "{guid {...}}".
std::string GuidValueText(const platform::Guid& guid);
// The GUID of a "{guid {...}}" text (or of the bare 38-character form).
std::optional<platform::Guid> GuidOfValueText(std::string_view text);

// The text of a value DAO read from a field that is not a large value:
// Null gives the empty text, byte arrays their bytes, dates the time-stamp
// text, booleans "True"/"False", GUIDs their DAO text, everything else the
// variant's text.
std::string TextOfDaoValue(const platform::Variant& value);

// Fills `target` (the native form of `type` with `size`) from `text`;
// false for the empty text (Null). A number, boolean or date text that
// does not convert leaves `target` as it is (and answers true).
bool TextToNative(recordset::TFieldType type, bool guid, int size, std::string_view text,
                  std::span<std::byte> target);
// The text of a native value of `type` with `size`.
std::string NativeToText(recordset::TFieldType type, bool guid, int size, std::span<const std::byte> native);

// The time-stamp text of a DAO date default written "month/day/year
// [hours:minutes:seconds [AM|PM]]" without its "#" signs; empty when it
// does not read as such.
std::string DateDefaultToTimeStampText(std::string_view text);

}  // namespace accessdb
