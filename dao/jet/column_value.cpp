#include "dao/jet/column_value.h"

#include <algorithm>

#include "dao/jet/long_value.h"

namespace dao::jet {
namespace {

platform::Decimal DecodeDecimal(Bytes data, std::uint8_t scale) {
  // Sign byte, then the 128-bit magnitude as four u32 LE words, most
  // significant word first. Precision is at most 28 digits, so the top word
  // is always zero in a sound file.
  if (LoadU32(data.data() + 1) != 0 || scale > platform::Decimal::kMaxScale) {
    ThrowDamaged("a decimal value is out of range");
  }
  platform::Decimal value;
  value.high = LoadU32(data.data() + 5);
  value.low = (static_cast<std::uint64_t>(LoadU32(data.data() + 9)) << 32) | LoadU32(data.data() + 13);
  value.scale = scale;
  value.negative = (data[0] & kDecimalNegative) != 0;
  return value;
}

// Builds the variant DAO's Field::Value returns.
class VariantSink final : public ValueSink {
 public:
  platform::Variant Take() { return std::move(value_); }

  void Null() override { value_ = platform::Variant::Null(); }
  void Boolean(bool value) override { value_ = platform::Variant(value); }
  void Byte(std::uint8_t value) override { value_ = platform::Variant(value); }
  void Integer(std::int16_t value) override { value_ = platform::Variant(value); }
  void Long(std::int32_t value) override { value_ = platform::Variant(value); }
  void BigInt(std::int64_t value) override { value_ = platform::Variant(value); }
  void Currency(std::int64_t scaled) override { value_ = platform::Variant(platform::Currency{scaled}); }
  void Single(float value) override { value_ = platform::Variant(value); }
  void Double(double value) override { value_ = platform::Variant(value); }
  void Date(double value) override { value_ = platform::Variant::FromDate(value); }
  void Text(std::string_view utf8) override { value_ = platform::Variant(utf8); }
  void Binary(Bytes data) override { value_ = platform::Variant(platform::Bytes(data.begin(), data.end())); }
  void Guid(const platform::Guid& value) override { value_ = platform::Variant(value); }
  void Decimal(const platform::Decimal& value) override { value_ = platform::Variant(value); }

 private:
  platform::Variant value_;
};

}  // namespace

void SendVariant(const platform::Variant& value, ValueSink& sink) {
  using platform::VariantType;
  switch (value.Type()) {
    case VariantType::kEmpty:
    case VariantType::kNull: return sink.Null();
    case VariantType::kBoolean: return sink.Boolean(value.ToBoolean());
    case VariantType::kByte: return sink.Byte(value.ToByte());
    case VariantType::kInt16: return sink.Integer(value.ToInt16());
    case VariantType::kInt32: return sink.Long(value.ToInt32());
    case VariantType::kInt64: return sink.BigInt(value.ToInt64());
    case VariantType::kSingle: return sink.Single(value.ToSingle());
    case VariantType::kDouble: return sink.Double(value.ToDouble());
    case VariantType::kCurrency: return sink.Currency(value.ToCurrency().scaled);
    case VariantType::kDate: return sink.Date(value.ToDouble());
    case VariantType::kString: return sink.Text(*value.StringIf());
    case VariantType::kBytes: return sink.Binary(*value.BytesIf());
    case VariantType::kGuid: return sink.Guid(value.ToGuid());
    case VariantType::kDecimal: return sink.Decimal(value.ToDecimal());
  }
}

void DecodeStoredValue(ColumnType type, Bytes data, std::uint8_t scale, const TextCodec& codec,
                       std::string& text, ValueSink& sink) {
  RequireFits(data, 0, FixedTypeSize(type), "a value is shorter than its type");
  const std::uint8_t* p = data.data();
  switch (type) {
    case ColumnType::kBoolean:
      return sink.Boolean(!data.empty() && data[0] != 0);
    case ColumnType::kByte:
      return sink.Byte(p[0]);
    case ColumnType::kInteger:
      return sink.Integer(static_cast<std::int16_t>(LoadU16(p)));
    case ColumnType::kLong:
      return sink.Long(static_cast<std::int32_t>(LoadU32(p)));
    case ColumnType::kCurrency:
      return sink.Currency(static_cast<std::int64_t>(LoadU64(p)));
    case ColumnType::kSingle:
      return sink.Single(LoadF32(p));
    case ColumnType::kDouble:
      return sink.Double(LoadF64(p));
    case ColumnType::kDateTime:
      return sink.Date(LoadF64(p));
    case ColumnType::kBigInt:
      return sink.BigInt(static_cast<std::int64_t>(LoadU64(p)));
    case ColumnType::kGuid: {
      platform::Guid guid;
      std::copy_n(p, kGuidSize, guid.bytes.begin());
      return sink.Guid(guid);
    }
    case ColumnType::kDecimal:
      return sink.Decimal(DecodeDecimal(data, scale));
    case ColumnType::kText:
    case ColumnType::kMemo:
      text.clear();
      codec.AppendValue(data, text);
      return sink.Text(text);
    default:
      return sink.Binary(data);
  }
}

platform::Variant DecodeStoredValue(ColumnType type, Bytes data, std::uint8_t scale, const TextCodec& codec) {
  VariantSink sink;
  std::string text;
  DecodeStoredValue(type, data, scale, codec, text, sink);
  return sink.Take();
}

void ValueDecoder::Decode(const ColumnDefinition& column, const RowView& row, ValueSink& sink) {
  const ColumnType type = column.Type();
  if (type == ColumnType::kBoolean) return sink.Boolean(row.HasBit(column.number));
  Bytes data;
  if (!row.Value(column, data)) return sink.Null();
  if (!column.IsLongValue()) return DecodeStoredValue(type, data, column.scale, *codec_, text_, sink);
  ReadLongValue(*pages_, *layout_, data, buffer_);
  if (type == ColumnType::kOle) return sink.Binary(buffer_);
  text_.clear();
  codec_->AppendValue(buffer_, text_);
  sink.Text(text_);
}

platform::Variant ValueDecoder::Decode(const ColumnDefinition& column, const RowView& row) {
  VariantSink sink;
  Decode(column, row, sink);
  return sink.Take();
}

std::uint32_t ValueDecoder::LongValueSize(const ColumnDefinition& column, const RowView& row) const {
  Bytes data;
  if (!row.Value(column, data)) return 0;
  return LongValueLength(data);
}

}  // namespace dao::jet
