#include "platform/utf8_text.h"

namespace platform {

namespace {

// Bytes of the well-formed character starting at `text[pos]`, or 1 for a
// byte that does not start one.
std::size_t CharacterLength(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (pos + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

std::size_t Utf8CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharacterLength(text, pos)) ++count;
  return count;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t characters) {
  std::size_t pos = 0;
  for (std::size_t count = 0; count < characters && pos < text.size(); ++count) {
    pos += CharacterLength(text, pos);
  }
  return text.substr(0, pos);
}

}  // namespace platform
