#pragma once

// The free functions the Access layer shares: translating between the
// record-set's field types and DAO's field type codes, the size DAO is given
// for a field, type names, bracketing of dotted names for SQL, and the two
// conversions of date texts.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/variant.h"
#include "recordset/field_type.h"

namespace accessdb {

// The layer's own type code: a Long field that DAO numbers automatically
// (DAO type dbLong with the attribute dbAutoIncrField).
inline constexpr std::int32_t AutoIncrementType = 40000;
// What field types without a DAO counterpart map to; DAO refuses it.
inline constexpr std::int32_t kNoDaoType = 1024;

// The DAO type code a new field of `type` gets. ftFloat becomes dbSingle
// (6): the Nutaro tables keep their nutrient values in Single fields.
std::int32_t DaoTypeOfField(recordset::TFieldType type);
// The field type a DAO field of type code `daoType` is described with.
recordset::TFieldType FieldTypeOfDao(std::int32_t daoType);
// The size DAO is given: `size` for the text, memo and binary codes (9, 10,
// 11, 12, 15, 17, 18), 0 for every other code.
std::int32_t DaoFieldSize(std::int32_t daoType, std::int32_t size);
// "ftString", "ftSmallInt", ... ; "ftUnknown" for types without a name here.
std::string FieldTypeName(recordset::TFieldType type);
// Each "."-separated part of `name` in brackets: a.b gives [a].[b].
std::string BracketName(std::string_view name);
// A date text with every character that is neither a digit, "/" nor a date
// or time separator of the current format settings removed; a blank stays
// only between the date and the time ("12. 3. 2007 14:05" with "." gives
// "12.3.2007 14:05").
std::string CleanDateText(std::string_view text);
// A time-stamp text (day number with 1 January 0001 as day 1, a blank,
// milliseconds since midnight) as a date-time variant; Null for any text
// that is not such a pair or lies outside the calendar.
platform::Variant TimeStampTextToDateTime(std::string_view text);

}  // namespace accessdb
