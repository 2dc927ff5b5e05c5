#pragma once

// TField: one column of a record-set, and the value of that column in the
// record-set's active row, converted to and from text and variants. The
// descendants (string_field.h, integer_fields.h, float_fields.h, ...) add
// the rules of each type; field_factory.h creates the right one for a type.
//
// A field reads and writes its value through its record-set's engine hooks
// (GetFieldBytes, PutFieldBytes) in the type's native form. Conversion
// errors are database errors without a component prefix; a failed write
// leaves the pending row as it was.

#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/variant.h"
#include "recordset/field_type.h"

namespace recordset {

using Variant = platform::Variant;

// A value in native form as handed to PutFieldBytes; std::nullopt is Null.
using NativeValue = std::optional<std::span<const std::byte>>;

enum class TAlignment { LeftJustify, RightJustify, Center };

class TDataSet;

class TField {
 public:
  virtual ~TField();
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  // --- Identity -----------------------------------------------------------

  const std::string& FieldName() const { return fieldName_; }
  // Refused ("Operation bei geöffneter Datenmenge nicht ausführbar") while
  // the field belongs to an open record-set; so are SetSize and SetFieldKind.
  void SetFieldName(std::string name);
  TFieldType DataType() const { return dataType_; }
  // Characters for text fields, bytes for byte fields, decimals for BCD.
  int Size() const { return size_; }
  void SetSize(int size);
  // 1-based column position while bound to an open record-set; 0 otherwise
  // and for computed fields.
  int FieldNo() const { return fieldNo_; }
  TFieldKind FieldKind() const { return fieldKind_; }
  void SetFieldKind(TFieldKind kind);
  bool Required() const { return required_; }
  void SetRequired(bool required) { required_ = required; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  const std::string& DisplayLabel() const { return displayLabel_; }
  void SetDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
  // The display label when set, otherwise the field name; messages use it.
  const std::string& DisplayName() const;
  int DisplayWidth() const { return displayWidth_; }
  void SetDisplayWidth(int width) { displayWidth_ = width; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  // A default for new rows, applied by the engine that supports it.
  const std::string& DefaultExpression() const { return defaultExpression_; }
  void SetDefaultExpression(std::string expression) { defaultExpression_ = std::move(expression); }
  // Where the column comes from (free text kept for the engine).
  const std::string& Origin() const { return origin_; }
  void SetOrigin(std::string origin) { origin_ = std::move(origin); }

  // The record-set the field belongs to, or nullptr.
  TDataSet* DataSet() const { return dataSet_; }
  // Bytes of the native form (0 for large values).
  int DataSize() const { return NativeSize(dataType_, size_); }
  // True for memo, blob and graphic fields.
  bool IsBlob() const { return IsLargeValueType(dataType_); }
  // Offset of a computed field's slot in the computed-field area of a row
  // buffer (its has-value byte; the value follows); -1 for data fields.
  int Offset() const { return offset_; }

  // --- Value in the active row -------------------------------------------

  // The value as editable text ("" for Null).
  std::string TextValue() const;
  // Converts `text` to the field's type and stores it; the empty text makes
  // numeric and date fields Null.
  void SetTextValue(std::string_view text);
  // The value as text for display, using the display format.
  std::string DisplayTextValue() const;
  // The value as a variant (Null when the field has no value).
  Variant VariantValue() const;
  // Null clears the field; other values are converted to the field's kind
  // by the variant conversions ("Ungültiger Wert für Feld '%s'" on failure)
  // and then stored as a typed write (cut to size, range check).
  void SetVariantValue(const Variant& value);
  // Makes the value Null.
  void ClearValue();
  bool IsNullValue() const;

  // --- Native access between framework and engine ------------------------

  // Reads the native form into `target` (DataSize() bytes, or empty to ask
  // for Null only) through the engine's GetFieldBytes; false when Null.
  // A field of a closed record-set is Null.
  bool GetData(std::span<std::byte> target) const;
  // Hands a native value to the engine (PutFieldBytes), then marks the row
  // modified and tells the linked controls (except while a key, a filter
  // test or computed fields are being worked on).
  void SetData(NativeValue value);
  // Runs the validation event; engines call it before they store a value.
  void Validate(NativeValue value);

  // --- Events -------------------------------------------------------------

  // Replaces the text conversion; `display` tells DisplayTextValue from TextValue.
  using GetTextEvent = std::function<void(const TField& field, std::string& text, bool display)>;
  using SetTextEvent = std::function<void(TField& field, std::string_view text)>;
  using ValidateEvent = std::function<void(TField& field, NativeValue value)>;
  void SetOnGetText(GetTextEvent handler) { onGetText_ = std::move(handler); }
  void SetOnSetText(SetTextEvent handler) { onSetText_ = std::move(handler); }
  void SetOnValidate(ValidateEvent handler) { onValidate_ = std::move(handler); }

 protected:
  TField(std::string fieldName, TFieldType dataType, int size);

  // The value as text; `display` selects the display format. Null gives "".
  virtual std::string GetText(bool display) const = 0;
  // Stores `text` converted to the field's type.
  virtual void SetText(std::string_view text) = 0;
  // The value as a variant; Null when the field has no value.
  virtual Variant GetVariant() const = 0;
  // Stores a variant that is neither Null nor a failed conversion; throws
  // platform::ConversionError when the variant does not convert.
  virtual void SetVariant(const Variant& value) = 0;
  // Makes the value Null (default: SetData(std::nullopt)).
  virtual void StoreNull();

  // The record-set; fails with "Feld '%s' hat keine Datenmenge" without one.
  TDataSet& OwningDataSet() const;
  // Throws the conversion error `pattern` filled with `text` and the field's
  // display name ("'%s' ist kein gültiger ... für Feld '%s'").
  [[noreturn]] void InvalidText(std::string_view pattern, std::string_view text) const;
  // Throws the range error for `value` outside `minimum`..`maximum`.
  [[noreturn]] void RangeError(double value, double minimum, double maximum) const;

  // The variant of an optional value: Null when there is none.
  template <typename T>
  static Variant VariantOf(std::optional<T> value) {
    return value ? Variant(std::move(*value)) : Variant::Null();
  }

  // Reads the native form of a fixed-size value; nullopt when Null.
  template <typename T>
  std::optional<T> ReadNative() const;
  // Writes a fixed-size value in native form.
  template <typename T>
  void WriteNative(T value);

 private:
  friend class TDataSet;
  void CheckChangeable() const;

  std::string fieldName_;
  TFieldType dataType_;
  int size_;
  int fieldNo_ = 0;
  TFieldKind fieldKind_ = fkData;
  bool required_ = false;
  bool readOnly_ = false;
  std::string displayLabel_;
  int displayWidth_ = 0;
  TAlignment alignment_ = TAlignment::LeftJustify;
  std::string defaultExpression_;
  std::string origin_;
  TDataSet* dataSet_ = nullptr;
  int offset_ = -1;
  GetTextEvent onGetText_;
  SetTextEvent onSetText_;
  ValidateEvent onValidate_;
};

template <typename T>
std::optional<T> TField::ReadNative() const {
  static_assert(std::is_trivially_copyable_v<T>);
  std::array<std::byte, sizeof(T)> bytes{};
  if (!GetData(bytes)) return std::nullopt;
  T value;
  std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

template <typename T>
void TField::WriteNative(T value) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::array<std::byte, sizeof(T)> bytes;
  std::memcpy(bytes.data(), &value, sizeof(T));
  SetData(std::span<const std::byte>(bytes));
}

}  // namespace recordset
