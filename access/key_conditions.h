#pragma once

// The SQL condition texts a TAccessTable hands to DAO to find rows by key:
// one "(name test)" part per key field, joined with " AND ". The exact
// form (LookupValues, filters) compares for equality; the lookup form
// (LocateRow) may compare without regard to case and match the key as the
// start of the value. Numbers and dates are read in the user's formats and
// written the way Access SQL reads them (a full stop, #month/day/year#).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "access/sql_literals.h"
#include "platform/variant.h"
#include "recordset/dataset.h"
#include "recordset/field_type.h"

namespace accessdb {

// A key value as the conditions use it: Null, or the value's text; a
// date value keeps its value too, so that no time of day is lost on the
// way through a text (an "8:30:00 PM" without its letters).
struct KeyValue {
  bool null = false;
  std::string text;
  std::optional<platform::TDateTime> date;
};

// A key field: its name as written in SQL, its type and whether it holds
// a GUID.
struct KeyField {
  std::string name;
  recordset::TFieldType type = recordset::ftUnknown;
  bool guid = false;
};

// The key value of a caller's value: Null (or Empty) stays Null, byte
// arrays give their bytes as characters, every other value its text.
KeyValue KeyValueOf(const platform::Variant& value);

// The caller's key values, one per key field: an array given as the only
// value stands for its elements.
std::vector<platform::Variant> KeyValueList(const std::vector<platform::Variant>& values);

// "(name test)" comparing for equality; nullopt when the field's type
// cannot be compared in SQL or a date text does not read as a date.
std::optional<std::string> ExactKeyCondition(const KeyField& field, const KeyValue& value, bool useBrackets);
// As ExactKeyCondition, for texts with the options of LocateRow.
std::optional<std::string> LookupKeyCondition(const KeyField& field, const KeyValue& value, bool useBrackets,
                                              recordset::TLocateOptions options);

// `text` with each of the characters LIKE reads as a pattern ("#", "*",
// "?", "[") enclosed in brackets, so that it matches literally.
std::string LikeLiteral(std::string_view text);
// The literal of a key value of a date field: its date, else its text read
// in the user's format (as it is, else cleaned by CleanDateText); nullopt
// when the text does not read as a date or time.
std::optional<std::string> SqlDateLiteral(recordset::TFieldType type, const KeyValue& value);

}  // namespace accessdb
