#pragma once

// Values written into Access SQL texts: the literal forms the table uses
// when it puts parameter values into an SQL text and when it builds the
// condition that ties a detail to its master's row. Numbers and dates are
// written in Access's fixed forms, whatever the user's locale.

#include <string>
#include <string_view>

#include "platform/date_time.h"
#include "platform/variant.h"
#include "recordset/field_type.h"

namespace accessdb {

// `text` in double quotes, every double quote inside doubled.
std::string QuotedSqlText(std::string_view text);

// A number written in the user's format as Access SQL wants it: the
// thousands separators dropped and the decimal separator turned into ".".
std::string SqlNumberText(std::string_view text);

// "#MM/DD/YYYY#" for ftDate, "#HH:MM:SS#" for ftTime and
// "#MM/DD/YYYY HH:MM:SS#" for ftDateTime.
std::string SqlDateLiteral(recordset::TFieldType type, platform::TDateTime value);

// "{guid {XXXXXXXX-...}}" for a 16-byte value (a GUID or its bytes); the
// all-zero GUID and values of another length leave the braces empty.
std::string SqlGuidLiteral(const platform::Variant& value);

// "_" followed by the characters of the ANSI code page (codes 32 to 255)
// that are letters or digits: the characters that continue a name, so that
// ":Kal" inside ":Kalorien" is no parameter of its own.
std::u32string IdentifierCharsOfAnsiCodePage();

}  // namespace accessdb
