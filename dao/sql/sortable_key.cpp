#include "dao/sql/sortable_key.h"

#include <bit>
#include <cstdint>

#include "dao/sql/values.h"

namespace dao::sql {
namespace {

enum Tag : std::uint8_t { kNull = 1, kNumber = 2, kText = 3, kBinary = 4, kGuid = 5 };

// Variable-length parts: 0x00 inside is written 0x00 0xFF, and the part
// ends with 0x00 0x01, which sorts before any continuation.
template <class Bytes>
void AppendEscaped(std::string& key, const Bytes& bytes) {
  for (const auto byte : bytes) {
    key.push_back(static_cast<char>(byte));
    if (static_cast<std::uint8_t>(byte) == 0) key.push_back(static_cast<char>(0xFF));
  }
  key.push_back('\0');
  key.push_back('\x01');
}

void AppendNumber(std::string& key, double value) {
  if (value == 0) value = 0;  // -0 and 0 are one value
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  bits = (bits & 0x8000000000000000ull) != 0 ? ~bits : bits | 0x8000000000000000ull;
  for (int shift = 56; shift >= 0; shift -= 8) key.push_back(static_cast<char>(bits >> shift));
}

}  // namespace

void AppendSortableKey(std::string& key, const platform::Variant& value, const TextOrder& order, bool descending) {
  const std::size_t start = key.size();
  switch (value.Type()) {
    case platform::VariantType::kEmpty:
    case platform::VariantType::kNull: key.push_back(static_cast<char>(kNull)); break;
    case platform::VariantType::kString:
      key.push_back(static_cast<char>(kText));
      AppendEscaped(key, order.Key(*value.StringIf()));
      break;
    case platform::VariantType::kBytes:
      key.push_back(static_cast<char>(kBinary));
      AppendEscaped(key, *value.BytesIf());
      break;
    case platform::VariantType::kGuid: {
      key.push_back(static_cast<char>(kGuid));
      const auto bytes = GuidOrderBytes(value.ToGuid());
      key.append(bytes.begin(), bytes.end());
      break;
    }
    default:
      key.push_back(static_cast<char>(kNumber));
      AppendNumber(key, value.ToDouble());
      break;
  }
  if (descending) {
    for (std::size_t i = start; i < key.size(); ++i) key[i] = static_cast<char>(~static_cast<unsigned char>(key[i]));
  }
}

}  // namespace dao::sql
