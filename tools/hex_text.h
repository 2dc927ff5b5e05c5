#pragma once
// Binary values in dump documents: lower-case hex digits, two per byte, as
// dump writes them for both file formats (ReadHex in load_values.h reads
// them back).

#include <cstdint>
#include <span>
#include <string>

namespace tools {

// The bytes as lower-case hex text. Inline: dump calls it for every binary
// value it writes.
inline std::string LowerHex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

}  // namespace tools
