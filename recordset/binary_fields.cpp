#include "recordset/binary_fields.h"

#include <algorithm>
#include <cstring>

namespace recordset {

namespace {

constexpr std::size_t kLengthPrefix = 2;  // ftVarBytes: 16-bit length first

}  // namespace

TBinaryField::TBinaryField(std::string fieldName, TFieldType dataType, int size)
    : TField(std::move(fieldName), dataType, size) {}

std::optional<platform::Bytes> TBinaryField::Value() const {
  std::vector<std::byte> native(static_cast<std::size_t>(DataSize()));
  if (!GetData(native)) return std::nullopt;
  std::size_t offset = 0;
  std::size_t length = native.size();
  if (DataType() == ftVarBytes) {
    std::uint16_t stored = 0;
    std::memcpy(&stored, native.data(), kLengthPrefix);
    offset = kLengthPrefix;
    length = std::min<std::size_t>(stored, native.size() - kLengthPrefix);
  }
  platform::Bytes bytes(length);
  std::memcpy(bytes.data(), native.data() + offset, length);
  return bytes;
}

void TBinaryField::SetValue(std::span<const std::uint8_t> bytes) {
  std::vector<std::byte> native(static_cast<std::size_t>(DataSize()));
  const std::size_t offset = DataType() == ftVarBytes ? kLengthPrefix : 0;
  const std::size_t length = std::min(bytes.size(), native.size() - offset);
  if (offset != 0) {
    const auto stored = static_cast<std::uint16_t>(length);
    std::memcpy(native.data(), &stored, kLengthPrefix);
  }
  if (length != 0) std::memcpy(native.data() + offset, bytes.data(), length);
  SetData(std::span<const std::byte>(native));
}

std::string TBinaryField::GetText(bool) const {
  const auto bytes = Value();
  if (!bytes) return {};
  return std::string(bytes->begin(), bytes->end());
}

void TBinaryField::SetText(std::string_view text) {
  SetValue(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Variant TBinaryField::GetVariant() const { return VariantOf(Value()); }

void TBinaryField::SetVariant(const Variant& value) { SetValue(value.ToBytes()); }

TBytesField::TBytesField(std::string fieldName, int size)
    : TBinaryField(std::move(fieldName), ftBytes, size) {}

TVarBytesField::TVarBytesField(std::string fieldName, int size)
    : TBinaryField(std::move(fieldName), ftVarBytes, size) {}

}  // namespace recordset
