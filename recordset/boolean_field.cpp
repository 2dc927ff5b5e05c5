#include "recordset/boolean_field.h"

#include "platform/text_case.h"
#include "recordset/messages.h"

namespace recordset {

namespace {

constexpr std::int16_t kNativeTrue = -1;  // all bits set
constexpr std::string_view kDefaultDisplayValues = "True;False";

// True when `text` is the beginning of `candidate`, regardless of case.
bool StartsWithText(std::string_view candidate, std::string_view text) {
  return platform::AnsiUpperCase(candidate).starts_with(platform::AnsiUpperCase(text));
}

}  // namespace

TBooleanField::TBooleanField(std::string fieldName) : TField(std::move(fieldName), ftBoolean, 0) {
  SetDisplayValues(std::string(kDefaultDisplayValues));
}

void TBooleanField::SetDisplayValues(std::string values) {
  const auto separator = values.find(';');
  trueText_ = values.substr(0, separator);
  falseText_ = separator == std::string::npos ? std::string() : values.substr(separator + 1);
  displayValues_ = std::move(values);
}

std::optional<bool> TBooleanField::Value() const {
  const auto value = ReadNative<std::int16_t>();
  if (!value) return std::nullopt;
  return *value != 0;
}

void TBooleanField::SetValue(bool value) {
  WriteNative<std::int16_t>(value ? kNativeTrue : std::int16_t{0});
}

std::string TBooleanField::GetText(bool) const {
  const auto value = Value();
  if (!value) return {};
  return *value ? trueText_ : falseText_;
}

void TBooleanField::SetText(std::string_view text) {
  if (text.empty()) {
    // A value list with an empty text gives that value to the empty text.
    if (falseText_.empty()) {
      SetValue(false);
    } else if (trueText_.empty()) {
      SetValue(true);
    } else {
      StoreNull();
    }
  } else if (StartsWithText(falseText_, text)) {
    SetValue(false);
  } else if (StartsWithText(trueText_, text)) {
    SetValue(true);
  } else {
    InvalidText(messages::kInvalidBooleanValue, text);
  }
}

Variant TBooleanField::GetVariant() const { return VariantOf(Value()); }

void TBooleanField::SetVariant(const Variant& value) { SetValue(value.ToBoolean()); }

}  // namespace recordset
