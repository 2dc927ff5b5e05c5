#pragma once

// Index keys exactly as the Jet engines build them: per key column a flag
// byte (value present or Null, ascending or descending) and the column's
// value in an order-preserving byte form, so that keys compare as unsigned
// bytes. Text uses the "General" sort order of the engine generation.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace dao::jet {

enum class KeyOrder : std::uint8_t { kAscending, kDescending };

class IndexKeyBuilder {
 public:
  // A Null column value: one flag byte.
  void AppendNull(KeyOrder order);
  // Yes/No columns (never Null).
  void AppendBoolean(bool value, KeyOrder order);
  // Byte columns: the unsigned byte itself.
  void AppendByte(std::uint8_t value, KeyOrder order);
  // Integer (2 bytes), Long (4) and Currency (8, the stored value x 10 000):
  // two's complement of `byteWidth` bytes with the sign bit inverted.
  void AppendInteger(std::int64_t value, int byteWidth, KeyOrder order);
  // Single columns.
  void AppendSingle(float value, KeyOrder order);
  // Double and Date/Time columns.
  void AppendDouble(double value, KeyOrder order);
  // GUID columns; `stored` is the 16-byte column value as it lies in a row.
  void AppendGuid(std::span<const std::uint8_t, 16> stored, KeyOrder order);
  // Binary columns.
  void AppendBinary(std::span<const std::uint8_t> value, KeyOrder order);
  // Decimal columns (Jet 4): sign and the 16-byte magnitude, most significant byte first.
  void AppendDecimal(bool negative, std::span<const std::uint8_t, 16> magnitude, KeyOrder order);
  // Jet 4 text. Returns false (and appends nothing) when the text holds a
  // character the General sort order table does not cover; such a key cannot
  // be built correctly, so the caller must refuse the write.
  [[nodiscard]] bool AppendJet4Text(std::u16string_view text, KeyOrder order);
  // Jet 3 text, as bytes in the database's code page (1252).
  void AppendJet3Text(std::span<const std::uint8_t> text, KeyOrder order);

  // The key built so far.
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  // Starts a new key (keeps the buffer's capacity).
  void Clear() { bytes_.clear(); }

 private:
  void AppendFlag(KeyOrder order);
  void FlipFrom(std::size_t start);
  void AppendSegments(std::span<const std::uint8_t> data, KeyOrder order);
  void AppendFloatBits(std::uint64_t bits, int byteWidth, KeyOrder order);

  std::vector<std::uint8_t> bytes_;
};

}  // namespace dao::jet
