#include "dao/jet/column_value.h"

#include <algorithm>

#include "dao/jet/long_value.h"

namespace dao::jet {
namespace {

platform::Bytes ToBytes(Bytes data) { return platform::Bytes(data.begin(), data.end()); }

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

}  // namespace

platform::Variant DecodeStoredValue(ColumnType type, Bytes data, std::uint8_t scale, const TextCodec& codec) {
  const std::uint32_t size = FixedTypeSize(type);
  RequireFits(data, 0, size, "a value is shorter than its type");
  const std::uint8_t* p = data.data();
  switch (type) {
    case ColumnType::kBoolean:
      return platform::Variant(!data.empty() && data[0] != 0);
    case ColumnType::kByte:
      return platform::Variant(p[0]);
    case ColumnType::kInteger:
      return platform::Variant(static_cast<std::int16_t>(LoadU16(p)));
    case ColumnType::kLong:
      return platform::Variant(static_cast<std::int32_t>(LoadU32(p)));
    case ColumnType::kCurrency:
      return platform::Variant(platform::Currency{static_cast<std::int64_t>(LoadU64(p))});
    case ColumnType::kSingle:
      return platform::Variant(LoadF32(p));
    case ColumnType::kDouble:
      return platform::Variant(LoadF64(p));
    case ColumnType::kDateTime:
      return platform::Variant::FromDate(LoadF64(p));
    case ColumnType::kBigInt:
      return platform::Variant(static_cast<std::int64_t>(LoadU64(p)));
    case ColumnType::kGuid: {
      platform::Guid guid;
      std::copy_n(p, kGuidSize, guid.bytes.begin());
      return platform::Variant(guid);
    }
    case ColumnType::kDecimal:
      return platform::Variant(DecodeDecimal(data, scale));
    case ColumnType::kText:
    case ColumnType::kMemo:
      return platform::Variant(codec.Value(data));
    default:
      return platform::Variant(ToBytes(data));
  }
}

platform::Variant ValueDecoder::Decode(const ColumnDefinition& column, const RowView& row) {
  const ColumnType type = column.Type();
  if (type == ColumnType::kBoolean) return platform::Variant(row.HasBit(column.number));
  Bytes data;
  if (!row.Value(column, data)) return platform::Variant::Null();
  if (!column.IsLongValue()) return DecodeStoredValue(type, data, column.scale, *codec_);
  ReadLongValue(*pages_, *layout_, data, buffer_);
  if (type == ColumnType::kMemo) return platform::Variant(codec_->Value(buffer_));
  return platform::Variant(platform::Bytes(buffer_.begin(), buffer_.end()));
}

std::uint32_t ValueDecoder::LongValueSize(const ColumnDefinition& column, const RowView& row) const {
  Bytes data;
  if (!row.Value(column, data)) return 0;
  return LongValueLength(data);
}

}  // namespace dao::jet
