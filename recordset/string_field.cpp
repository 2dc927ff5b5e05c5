#include "recordset/string_field.h"

#include <cstring>

#include "platform/guids.h"
#include "platform/utf8_text.h"
#include "recordset/dataset.h"
#include "recordset/messages.h"

namespace recordset {

TStringField::TStringField(std::string fieldName, int size)
    : TStringField(std::move(fieldName), ftString, size) {}

TStringField::TStringField(std::string fieldName, TFieldType dataType, int size)
    : TField(std::move(fieldName), dataType, size) {}

std::optional<std::string> TStringField::Value() const {
  std::string buffer(static_cast<std::size_t>(DataSize()), '\0');
  if (!GetData(std::as_writable_bytes(std::span(buffer)))) return std::nullopt;
  buffer.resize(std::strlen(buffer.c_str()));
  if (transliterate_) return OwningDataSet().TranslateText(buffer, false, true);
  return buffer;
}

void TStringField::SetValue(std::string_view text) {
  std::string value = transliterate_ ? OwningDataSet().TranslateText(text, true, false)
                                     : std::string(text);
  value.resize(platform::Utf8Prefix(value, static_cast<std::size_t>(Size())).size());
  // The native form is zero-terminated: a text holding a zero ends there.
  value.resize(std::strlen(value.c_str()));
  value.push_back('\0');
  SetData(std::as_bytes(std::span(value)));
}

std::string TStringField::GetText(bool) const { return Value().value_or(std::string()); }

void TStringField::SetText(std::string_view text) { SetValue(text); }

Variant TStringField::GetVariant() const { return VariantOf(Value()); }

void TStringField::SetVariant(const Variant& value) { SetValue(value.ToText()); }

TGuidField::TGuidField(std::string fieldName)
    : TStringField(std::move(fieldName), ftGuid, kGuidFieldSize) {}

void TGuidField::SetText(std::string_view text) {
  if (text.empty()) {
    StoreNull();
    return;
  }
  const auto guid = platform::TryParseGuid(text);
  if (!guid) InvalidText(messages::kInvalidGuidValue, text);
  SetValue(platform::GuidToString(*guid));
}

void TGuidField::SetVariant(const Variant& value) {
  if (value.Type() == platform::VariantType::kGuid) {
    SetValue(platform::GuidToString(value.ToGuid()));
  } else {
    SetText(value.ToText());
  }
}

}  // namespace recordset
