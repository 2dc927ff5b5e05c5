#pragma once

// Text fields: TStringField (ftString, ftFixedChar, ftWideString; at most
// Size characters, UTF-8 in memory) and TGuidField (ftGuid, the 38-character
// braced text of a GUID).

#include <optional>
#include <string>
#include <string_view>

#include "recordset/field.h"

namespace recordset {

class TStringField : public TField {
 public:
  explicit TStringField(std::string fieldName, int size = 20);
  // `dataType` is ftString, ftFixedChar or ftWideString.
  TStringField(std::string fieldName, TFieldType dataType, int size);

  // The stored text, or nullopt for Null.
  std::optional<std::string> Value() const;
  // Stores at most Size() characters of `text` (the rest is cut off); the
  // empty text is stored as an empty text, not as Null.
  void SetValue(std::string_view text);
  // Pass texts through the record-set's TranslateText (default true).
  bool Transliterate() const { return transliterate_; }
  void SetTransliterate(bool on) { transliterate_ = on; }

 protected:
  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;

 private:
  bool transliterate_ = true;
};

class TGuidField : public TStringField {
 public:
  explicit TGuidField(std::string fieldName);

 protected:
  // Accepts the 38-character form in either case and stores it upper-cased;
  // other text fails with "'%s' ist kein gültiger GUID-Wert für Feld '%s'".
  void SetText(std::string_view text) override;
  void SetVariant(const Variant& value) override;
};

}  // namespace recordset
