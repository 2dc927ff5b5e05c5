#include "dao/jet/value_encoder.h"

#include <cstring>

#include "dao/jet/format.h"
#include "dao/jet/guid_value.h"
#include "dao/jet/jet_error.h"
#include "platform/errors.h"

namespace dao::jet {
namespace {

// The engine compresses text of 3 to 1024 characters, all in U+0001-U+00FF.
constexpr std::size_t kMinCompressedChars = 3;
constexpr std::size_t kMaxCompressedChars = 1024;

[[noreturn]] void ThrowTooSmall() {
  throw JetError(kErrFieldTooSmall,
                 "The field is too small to accept the amount of data you attempted to add. Try inserting or "
                 "pasting less data.");
}

std::u16string StoredTextToUtf16(Bytes stored, const Layout& layout) {
  std::u16string text;
  if (!layout.IsJet4()) return text;
  if (stored.size() >= 2 && stored[0] == kCompressedTextMarker0 && stored[1] == kCompressedTextMarker1) {
    bool compressed = true;
    for (std::size_t i = 2; i < stored.size();) {
      if (stored[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        text.push_back(stored[i++]);
      } else if (i + 1 < stored.size()) {
        text.push_back(static_cast<char16_t>(LoadU16(&stored[i])));
        i += 2;
      } else {
        break;
      }
    }
    return text;
  }
  for (std::size_t i = 0; i + 1 < stored.size(); i += 2) text.push_back(static_cast<char16_t>(LoadU16(&stored[i])));
  return text;
}

// Decimal columns keep a fixed scale: the value is rescaled (rounding half
// away from zero) and must keep within the column's precision.
std::vector<std::uint8_t> StoredDecimal(const ColumnDefinition& column, platform::Decimal value) {
  unsigned __int128 magnitude = (static_cast<unsigned __int128>(value.high) << 64) | value.low;
  int scale = value.scale;
  for (; scale < column.scale; ++scale) magnitude *= 10;
  for (; scale > column.scale; --scale) magnitude = (magnitude + 5) / 10;
  unsigned __int128 limit = 1;
  for (int digit = 0; digit < std::max<int>(column.precision, 1); ++digit) limit *= 10;
  if (magnitude >= limit) throw platform::ConversionError(platform::ConversionError::Kind::kOverflow, "decimal overflow");
  std::vector<std::uint8_t> stored(kDecimalSize, 0);
  stored[0] = value.negative && magnitude != 0 ? kDecimalNegative : 0;
  // Four little-endian words, most significant first.
  for (int word = 0; word < 4; ++word)
    StoreU32(&stored[1 + 4 * word], static_cast<std::uint32_t>(magnitude >> (32 * (3 - word))));
  return stored;
}

}  // namespace

FieldValue ConvertVariant(const ColumnDefinition& column, const platform::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return FieldValue::Null();
  switch (column.Type()) {
    case ColumnType::kBoolean: return FieldValue::Integer(value.ToBoolean() ? 1 : 0);
    case ColumnType::kByte: return FieldValue::Integer(value.ToByte());
    case ColumnType::kInteger: return FieldValue::Integer(value.ToInt16());
    case ColumnType::kLong: return FieldValue::Integer(value.ToInt32());
    case ColumnType::kCurrency: return FieldValue::Integer(value.ToCurrency().scaled);
    case ColumnType::kSingle: return FieldValue::Real(value.ToSingle());
    case ColumnType::kDouble: return FieldValue::Real(value.ToDouble());
    case ColumnType::kDateTime: return FieldValue::Real(value.ToDate());
    case ColumnType::kText:
    case ColumnType::kMemo: return FieldValue::Text(value.ToText());
    case ColumnType::kGuid: {
      const platform::Guid guid = GuidOfValue(value);
      return FieldValue::Binary({guid.bytes.begin(), guid.bytes.end()});
    }
    case ColumnType::kDecimal: return FieldValue::Binary(StoredDecimal(column, value.ToDecimal()));
    default: return FieldValue::Binary(value.ToBytes());
  }
}

std::vector<std::uint8_t> EncodeJet4Text(std::string_view utf8, bool compressible) {
  std::vector<std::uint8_t> ucs2 = Utf8ToUtf16Le(utf8);
  const std::size_t chars = ucs2.size() / 2;
  bool compress = compressible && chars >= kMinCompressedChars && chars <= kMaxCompressedChars;
  for (std::size_t i = 0; compress && i < chars; ++i) compress = ucs2[2 * i + 1] == 0 && ucs2[2 * i] != 0;
  if (!compress) return ucs2;
  std::vector<std::uint8_t> packed = {kCompressedTextMarker0, kCompressedTextMarker1};
  for (std::size_t i = 0; i < chars; ++i) packed.push_back(ucs2[2 * i]);
  return packed;
}

std::vector<std::uint8_t> EncodeValue(const ColumnDefinition& column, const FieldValue& value,
                                      const TextCodec& codec) {
  std::vector<std::uint8_t> out(FixedTypeSize(column.Type()), 0);
  switch (column.Type()) {
    case ColumnType::kBoolean: return {};
    case ColumnType::kByte: out[0] = static_cast<std::uint8_t>(value.integer); return out;
    case ColumnType::kInteger: StoreU16(out.data(), static_cast<std::uint16_t>(value.integer)); return out;
    case ColumnType::kLong: StoreU32(out.data(), static_cast<std::uint32_t>(value.integer)); return out;
    case ColumnType::kCurrency: StoreU64(out.data(), static_cast<std::uint64_t>(value.integer)); return out;
    case ColumnType::kSingle: {
      const auto single = static_cast<float>(value.real);
      std::uint32_t bits;
      std::memcpy(&bits, &single, sizeof bits);
      StoreU32(out.data(), bits);
      return out;
    }
    case ColumnType::kDouble:
    case ColumnType::kDateTime: StoreF64(out.data(), value.real); return out;
    case ColumnType::kText: {
      const bool jet4 = codec.GetVersion() == Version::kJet4;
      std::vector<std::uint8_t> stored =
          jet4 ? EncodeJet4Text(value.text, (column.extendedFlags & kColumnCompressedUnicode) != 0)
               : codec.EncodeName(value.text);
      // The column length counts uncompressed bytes (two per character in Jet 4).
      const std::size_t uncompressed = jet4 ? Utf8ToUtf16Le(value.text).size() : stored.size();
      if (uncompressed > column.length) ThrowTooSmall();
      return stored;
    }
    case ColumnType::kBinary:
      if (value.bytes.size() > column.length) ThrowTooSmall();
      return value.bytes;
    case ColumnType::kGuid:
    case ColumnType::kDecimal:
      if (value.bytes.size() != out.size()) ThrowTooSmall();
      return value.bytes;
    default:
      if (column.IsFixed() && value.bytes.size() != column.length) ThrowTooSmall();
      return value.bytes;
  }
}

bool AppendStoredKey(IndexKeyBuilder& key, const ColumnDefinition& column, bool present, Bytes stored,
                     bool descending, const Layout& layout) {
  const KeyOrder order = descending ? KeyOrder::kDescending : KeyOrder::kAscending;
  if (column.Type() == ColumnType::kBoolean) {
    key.AppendBoolean(present, order);
    return true;
  }
  if (!present) {
    key.AppendNull(order);
    return true;
  }
  switch (column.Type()) {
    case ColumnType::kByte: key.AppendByte(stored[0], order); return true;
    case ColumnType::kInteger: key.AppendInteger(static_cast<std::int16_t>(LoadU16(stored.data())), 2, order); return true;
    case ColumnType::kLong: key.AppendInteger(static_cast<std::int32_t>(LoadU32(stored.data())), 4, order); return true;
    case ColumnType::kCurrency: key.AppendInteger(static_cast<std::int64_t>(LoadU64(stored.data())), 8, order); return true;
    case ColumnType::kSingle: key.AppendSingle(LoadF32(stored.data()), order); return true;
    case ColumnType::kDouble:
    case ColumnType::kDateTime: key.AppendDouble(LoadF64(stored.data()), order); return true;
    case ColumnType::kGuid: key.AppendGuid(stored.first<16>(), order); return true;
    case ColumnType::kDecimal: {
      // Rows keep the magnitude as four little-endian words, most significant
      // first; keys want it big-endian throughout.
      std::uint8_t magnitude[16];
      for (int word = 0; word < 4; ++word) StoreU32BigEndian(magnitude + 4 * word, LoadU32(&stored[1 + 4 * word]));
      key.AppendDecimal((stored[0] & kDecimalNegative) != 0, magnitude, order);
      return true;
    }
    case ColumnType::kText:
      if (layout.IsJet4()) return key.AppendJet4Text(StoredTextToUtf16(stored, layout), order);
      key.AppendJet3Text(stored, order);
      return true;
    default: key.AppendBinary(stored, order); return true;
  }
}

}  // namespace dao::jet
