// Matching row values with search keys.

#include "access/key_match.h"

#include "access/field_text.h"
#include "access/key_conditions.h"
#include "platform/errors.h"
#include "platform/text_case.h"

namespace accessdb {

using namespace recordset;

namespace {

bool SameGuid(const std::string& row, const std::string& key) {
  const std::optional<platform::Guid> left = GuidOfValueText(row);
  const std::optional<platform::Guid> right = GuidOfValueText(key);
  if (left && right) return left->bytes == right->bytes;
  return platform::AnsiSameText(row, key);
}

}  // namespace

bool KeyMatches(TFieldType type, bool guid, const platform::Variant& rowValue, const platform::Variant& key,
                TLocateOptions options) {
  const KeyValue wanted = KeyValueOf(key);
  const KeyValue found = KeyValueOf(rowValue);
  if (wanted.null || found.null) return wanted.null && found.null;
  try {
    switch (type) {
      case ftString:
      case ftMemo:
      case ftBlob: {
        const std::string text = platform::AnsiLowerCase(found.text);
        const std::string sought = platform::AnsiLowerCase(wanted.text);
        return options.partialKey ? text.starts_with(sought) : text == sought;
      }
      case ftBoolean:
        return rowValue.ToBoolean() == key.ToBoolean();
      case ftDate:
      case ftTime:
      case ftDateTime: {
        // Equal as the condition's literal is: to the second.
        return SqlDateLiteral(type, rowValue.ToDate()) == SqlDateLiteral(type, wanted);
      }
      case ftBytes:
        return guid ? SameGuid(found.text, wanted.text) : found.text == wanted.text;
      default:
        // A Single column holds the key as DAO stores it: rounded to Single.
        if (rowValue.Type() == platform::VariantType::kSingle) return rowValue.ToSingle() == key.ToSingle();
        return rowValue.ToDouble() == key.ToDouble();
    }
  } catch (const platform::ConversionError&) {
    // A key of another kind matches no row.
    return false;
  }
}

}  // namespace accessdb
