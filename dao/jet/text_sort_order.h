#pragma once

// Character classes and sort codes of the "General" text sort order, which
// text index keys are built from (Jet 4 by Unicode code point, Jet 3 by
// Windows-1252 byte).

#include <cstdint>

namespace dao::jet {

enum class SortClass : std::uint8_t {
  kSimple,         // contributes its inline bytes only
  kInternational,  // inline bytes of its base letter plus an extra (accent) code
  kUnprintable,    // Jet 4: no inline bytes; recorded with its position at the key's end
  kSignificant,    // Jet 3: a plain letter that has accented variants; counted for accents
  kIgnored,        // the NUL character
  kUnsupported,    // Jet 4 characters the table does not reach (above U+00FF, outside 1252)
};

struct SortCode {
  SortClass sortClass;
  std::uint8_t inlineLength;     // 0, 1 or 2 bytes in inlineBytes
  std::uint8_t inlineBytes[2];
  std::uint8_t extra;            // accent code (international), character code (unprintable)
};

// Sort code of one Jet 4 character; kUnsupported for characters the General
// order table of this engine does not cover.
const SortCode& Jet4SortCode(char32_t codePoint);

// Sort code of one Jet 3 text byte (code page 1252).
const SortCode& Jet3SortCode(std::uint8_t byte);

}  // namespace dao::jet
