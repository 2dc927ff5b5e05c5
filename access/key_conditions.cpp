// Building the key conditions a TAccessTable searches with.

#include "access/key_conditions.h"

#include "access/dao_helpers.h"
#include "access/field_text.h"
#include "platform/date_time.h"
#include "platform/guids.h"
#include "platform/text_case.h"

namespace accessdb {

using namespace recordset;

namespace {

std::string DoubledQuotes(std::string_view text) {
  const std::string quoted = QuotedSqlText(text);
  return quoted.substr(1, quoted.size() - 2);
}

bool IsNumberType(TFieldType type) { return (type >= ftSmallint && type <= ftBCD) || type == ftAutoInc; }

bool IsDateType(TFieldType type) { return type == ftDate || type == ftTime || type == ftDateTime; }

bool IsSearchedAsText(TFieldType type) { return type == ftString || type == ftMemo || type == ftBlob; }

std::string Part(const KeyField& field, bool useBrackets, std::string_view test) {
  const std::string name = useBrackets ? BracketName(field.name) : field.name;
  return "(" + name + " " + std::string(test) + ")";
}

// The test of a value of a type other than text; nullopt for types SQL
// cannot compare.
std::optional<std::string> NonTextTest(const KeyField& field, const KeyValue& value) {
  if (IsNumberType(field.type)) {
    if (value.text.empty()) return "IS NULL";
    return "= " + SqlNumberText(value.text);
  }
  if (IsDateType(field.type)) {
    if (value.text.empty()) return "IS NULL";
    const std::optional<std::string> literal = SqlDateLiteral(field.type, value);
    if (!literal) return std::nullopt;
    return "= " + *literal;
  }
  if (field.type == ftBytes) {
    if (value.text.empty()) return "IS NULL";
    if (!field.guid) return "= " + QuotedSqlText(value.text);
    // Row texts of GUID fields carry DAO's own "{guid {...}}" form.
    const std::optional<platform::Guid> guid = GuidOfValueText(value.text);
    return "= {guid " + (guid ? platform::GuidToString(*guid) : value.text) + "}";
  }
  return std::nullopt;
}

}  // namespace

KeyValue KeyValueOf(const platform::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return KeyValue{.null = true, .text = {}, .date = std::nullopt};
  if (const platform::Bytes* bytes = value.BytesIf()) {
    return KeyValue{.null = false, .text = std::string(bytes->begin(), bytes->end()), .date = std::nullopt};
  }
  if (value.Type() == platform::VariantType::kDate) {
    return KeyValue{.null = false, .text = value.ToText(), .date = value.ToDate()};
  }
  return KeyValue{.null = false, .text = value.ToText(), .date = std::nullopt};
}

std::vector<platform::Variant> KeyValueList(const std::vector<platform::Variant>& values) {
  if (values.size() == 1) {
    if (const std::vector<platform::Variant>* items = values.front().ArrayIf()) return *items;
  }
  return values;
}

std::string LikeLiteral(std::string_view text) {
  std::string literal;
  for (const char c : text) {
    // Outside a bracket list "!", "-" and "]" stand for themselves; in
    // brackets "]" would end an empty list that matches nothing and "!"
    // would make one that matches any character.
    if (std::string_view("#*?[").find(c) != std::string_view::npos) {
      literal += '[';
      literal += c;
      literal += ']';
    } else {
      literal += c;
    }
  }
  return literal;
}

std::optional<std::string> SqlDateLiteral(TFieldType type, const KeyValue& value) {
  if (value.date) return SqlDateLiteral(type, *value.date);
  const auto read = [type](std::string_view text) {
    return type == ftTime ? platform::TryParseTime(text) : platform::TryParseDateTime(text);
  };
  std::optional<platform::TDateTime> date = read(value.text);
  if (!date) date = read(CleanDateText(value.text));
  if (!date) return std::nullopt;
  return SqlDateLiteral(type, *date);
}

std::optional<std::string> ExactKeyCondition(const KeyField& field, const KeyValue& value, bool useBrackets) {
  if (value.null) return Part(field, useBrackets, "IS NULL");
  if (IsSearchedAsText(field.type)) return Part(field, useBrackets, "= " + QuotedSqlText(value.text));
  const std::optional<std::string> test = NonTextTest(field, value);
  if (!test) return std::nullopt;
  return Part(field, useBrackets, *test);
}

std::optional<std::string> LookupKeyCondition(const KeyField& field, const KeyValue& value, bool useBrackets,
                                              TLocateOptions options) {
  if (value.null || !IsSearchedAsText(field.type)) return ExactKeyCondition(field, value, useBrackets);
  std::string test;
  if (options.partialKey) {
    const std::string pattern = LikeLiteral(DoubledQuotes(value.text)) + "*";
    test = options.caseInsensitive ? "LIKE LCASE(\"" + platform::AnsiLowerCase(pattern) + "\")"
                                   : "LIKE \"" + pattern + "\"";
  } else if (options.caseInsensitive) {
    test = "= LCASE(\"" + platform::AnsiLowerCase(DoubledQuotes(value.text)) + "\")";
  } else {
    test = "= " + QuotedSqlText(value.text);
  }
  return Part(field, useBrackets, test);
}

}  // namespace accessdb
