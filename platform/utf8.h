#pragma once

// Internal: UTF-8 encoding and decoding of single code points, shared by the
// code-page and letter-case conversions.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::detail {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of `codePoint` (at most U+10FFFF) to `out`.
void AppendUtf8(char32_t codePoint, std::string& out);

// Decodes the code point starting at `text[pos]` and advances `pos` past it.
// A malformed or truncated sequence (overlong forms and surrogates included)
// yields nothing and advances `pos` by one byte: the caller decides what the
// stray byte becomes.
bool NextCodePoint(std::string_view text, std::size_t& pos, char32_t& codePoint);

}  // namespace platform::detail
