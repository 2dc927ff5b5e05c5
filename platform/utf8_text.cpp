#include "platform/utf8_text.h"

#include "platform/utf8.h"

namespace platform {

std::size_t Utf8CharacterCount(std::string_view text) {
  std::size_t count = 0;
  std::size_t pos = 0;
  char32_t codePoint = 0;
  while (pos < text.size()) {
    NextCodePoint(text, pos, codePoint);  // a malformed byte advances by one
    ++count;
  }
  return count;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t characters) {
  std::size_t pos = 0;
  char32_t codePoint = 0;
  for (std::size_t count = 0; count < characters && pos < text.size(); ++count) {
    NextCodePoint(text, pos, codePoint);
  }
  return text.substr(0, pos);
}

}  // namespace platform
