#pragma once

// Lengths of UTF-8 text counted in characters (code points), for fields
// whose size is a number of characters. A malformed byte counts as one
// character of its own.

#include <cstddef>
#include <string_view>

namespace platform {

// The number of characters of `text`.
std::size_t Utf8CharacterCount(std::string_view text);

// The longest beginning of `text` with at most `characters` characters; it
// never ends inside a character.
std::string_view Utf8Prefix(std::string_view text, std::size_t characters);

}  // namespace platform
