#pragma once

// UTF-8 encoding and decoding of single code points, for every reader and
// writer of text that works a character at a time (code pages, letter case,
// JSON strings).

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// U+FFFD, which stands for a character that has no code point of its own.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of `codePoint` (at most U+10FFFF) to `out`.
void AppendUtf8(char32_t codePoint, std::string& out);

// The length of the sequence that the byte `lead` starts: 1 for ASCII, 2 to
// 4 for a byte that can start a well-formed sequence, 0 for any other byte
// (continuation bytes, C0, C1 and F5 to FF).
std::size_t Utf8SequenceLength(unsigned char lead);

// Decodes the code point starting at `text[pos]` and advances `pos` past it.
// A malformed or truncated sequence (overlong forms and surrogates included)
// yields nothing and advances `pos` by one byte: the caller decides what the
// stray byte becomes.
bool NextCodePoint(std::string_view text, std::size_t& pos, char32_t& codePoint);

}  // namespace platform
