#include "recordset/blob_fields.h"

#include "recordset/dataset.h"

namespace recordset {

TBlobField::TBlobField(std::string fieldName) : TBlobField(std::move(fieldName), ftBlob) {}

TBlobField::TBlobField(std::string fieldName, TFieldType dataType)
    : TField(std::move(fieldName), dataType, 0) {}

std::optional<std::string> TBlobField::Value() const {
  if (IsNullValue()) return std::nullopt;
  const auto stream =
      OwningDataSet().OpenLargeValueStream(const_cast<TBlobField&>(*this), TLargeValueMode::Read);
  return stream->ReadAll();
}

void TBlobField::SetValue(std::string_view bytes) {
  const auto stream = OwningDataSet().OpenLargeValueStream(*this, TLargeValueMode::Write);
  stream->WriteAll(bytes);
}

void TBlobField::StoreNull() { SetValue({}); }

std::string TBlobField::GetText(bool) const { return Value().value_or(std::string()); }

void TBlobField::SetText(std::string_view text) { SetValue(text); }

Variant TBlobField::GetVariant() const {
  auto value = Value();
  if (!value) return Variant::Null();
  return Variant(platform::Bytes(value->begin(), value->end()));
}

void TBlobField::SetVariant(const Variant& value) {
  const platform::Bytes bytes = value.ToBytes();
  SetValue(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

TMemoField::TMemoField(std::string fieldName) : TBlobField(std::move(fieldName), ftMemo) {}

TMemoField::TMemoField(std::string fieldName, TFieldType dataType)
    : TBlobField(std::move(fieldName), dataType) {}

Variant TMemoField::GetVariant() const { return VariantOf(Value()); }

void TMemoField::SetVariant(const Variant& value) { SetValue(value.ToText()); }

TGraphicField::TGraphicField(std::string fieldName)
    : TBlobField(std::move(fieldName), ftGraphic) {}

}  // namespace recordset
