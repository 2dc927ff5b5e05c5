#include "recordset/field.h"

#include "platform/errors.h"
#include "platform/number_text.h"
#include "recordset/database_error.h"
#include "recordset/dataset.h"
#include "recordset/messages.h"

namespace recordset {

TField::TField(std::string fieldName, TFieldType dataType, int size)
    : fieldName_(std::move(fieldName)), dataType_(dataType), size_(size) {}

TField::~TField() = default;

void TField::CheckChangeable() const {
  if (dataSet_ != nullptr && dataSet_->Active()) dataSet_->RaiseError(messages::kDataSetOpen);
}

void TField::SetFieldName(std::string name) {
  CheckChangeable();
  fieldName_ = std::move(name);
}

void TField::SetSize(int size) {
  CheckChangeable();
  size_ = size;
}

void TField::SetFieldKind(TFieldKind kind) {
  CheckChangeable();
  fieldKind_ = kind;
}

const std::string& TField::DisplayName() const {
  return displayLabel_.empty() ? fieldName_ : displayLabel_;
}

std::string TField::TextValue() const {
  if (!onGetText_) return GetText(false);
  std::string text;
  onGetText_(*this, text, false);
  return text;
}

std::string TField::DisplayTextValue() const {
  if (!onGetText_) return GetText(true);
  std::string text;
  onGetText_(*this, text, true);
  return text;
}

void TField::SetTextValue(std::string_view text) {
  if (onSetText_) {
    onSetText_(*this, text);
  } else {
    SetText(text);
  }
}

Variant TField::VariantValue() const { return GetVariant(); }

void TField::SetVariantValue(const Variant& value) {
  if (value.IsNull()) {
    StoreNull();
    return;
  }
  try {
    SetVariant(value);
  } catch (const platform::ConversionError&) {
    DatabaseError(FillMessage(messages::kInvalidVariantValue, {DisplayName()}));
  }
}

void TField::ClearValue() { StoreNull(); }

void TField::StoreNull() { SetData(std::nullopt); }

bool TField::IsNullValue() const { return !GetData({}); }

TDataSet& TField::OwningDataSet() const {
  if (dataSet_ == nullptr) DatabaseError(FillMessage(messages::kFieldWithoutDataSet, {DisplayName()}));
  return *dataSet_;
}

bool TField::GetData(std::span<std::byte> target) const {
  OwningDataSet();
  // A closed record-set has no row: its persistent fields read as Null
  // instead of reaching an engine that has released its buffers.
  if (dataSet_->State() == TDataSetState::Inactive) return false;
  return dataSet_->GetFieldBytes(*this, target);
}

void TField::SetData(NativeValue value) {
  OwningDataSet();
  if (!dataSet_->Active()) dataSet_->RaiseError(messages::kDataSetClosed);
  dataSet_->PutFieldBytes(*this, value);
  dataSet_->FieldWritten(*this);
}

void TField::Validate(NativeValue value) {
  if (onValidate_) onValidate_(*this, value);
}

void TField::InvalidText(std::string_view pattern, std::string_view text) const {
  DatabaseError(FillMessage(pattern, {text, DisplayName()}));
}

void TField::RangeError(double value, double minimum, double maximum) const {
  DatabaseError(FillMessage(messages::kValueOutOfRange,
                            {platform::FloatToStrGeneral(value), DisplayName(),
                             platform::FloatToStrGeneral(minimum),
                             platform::FloatToStrGeneral(maximum)}));
}

}  // namespace recordset
