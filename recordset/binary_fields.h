#pragma once

// Byte fields: TBytesField (ftBytes, exactly Size bytes) and TVarBytesField
// (ftVarBytes, a 16-bit length and up to Size bytes). Their text is the
// bytes, one character per byte.

#include <optional>
#include <span>
#include <string>

#include "platform/variant.h"
#include "recordset/field.h"

namespace recordset {

class TBinaryField : public TField {
 public:
  std::optional<platform::Bytes> Value() const;
  // Stores `bytes`: cut to Size(); a fixed-size field pads with zeros.
  void SetValue(std::span<const std::uint8_t> bytes);

 protected:
  TBinaryField(std::string fieldName, TFieldType dataType, int size);

  std::string GetText(bool display) const override;
  void SetText(std::string_view text) override;
  Variant GetVariant() const override;
  void SetVariant(const Variant& value) override;
};

class TBytesField : public TBinaryField {
 public:
  explicit TBytesField(std::string fieldName, int size = 16);
};

class TVarBytesField : public TBinaryField {
 public:
  explicit TVarBytesField(std::string fieldName, int size = 16);
};

}  // namespace recordset
