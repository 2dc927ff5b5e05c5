#pragma once
// Binary values as text: lower-case hex digits, two per byte, in dump
// documents for both file formats (ReadHex in load_values.h reads them
// back); upper-case in the CSV of `nutaro query`.

#include <cstdint>
#include <span>
#include <string>

namespace tools {

// The bytes as hex text, two of `digits` per byte. Inline: dump calls it
// for every binary value it writes.
inline std::string HexText(std::span<const std::uint8_t> bytes, const char (&digits)[17]) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) {
    text += digits[b >> 4];
    text += digits[b & 0x0F];
  }
  return text;
}

// Lower-case hex, as dump writes binary values.
inline std::string LowerHex(std::span<const std::uint8_t> bytes) { return HexText(bytes, "0123456789abcdef"); }
// Upper-case hex, as mdb-export writes them and query --csv follows.
inline std::string UpperHex(std::span<const std::uint8_t> bytes) { return HexText(bytes, "0123456789ABCDEF"); }

}  // namespace tools
