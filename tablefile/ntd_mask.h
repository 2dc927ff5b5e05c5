#pragma once
// TNtdMask: the wildcard pattern of LIKE. "%" and "*" stand for any run of
// characters (also none), "?" and "_" for exactly one; every other character
// matches itself regardless of letter case (Windows-1252 upper-casing). The
// whole text must match.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tablefile {

class TNtdMask {
 public:
  // Builds the mask of `pattern` (bytes of the table's code page); fails
  // with "'%s' is an invalid mask at (%d)" when more than 30 items follow a
  // wildcard. `shownPattern` is the pattern as the message shows it.
  TNtdMask(std::string_view pattern, std::string_view shownPattern);

  // True when all of `text` (bytes of the table's code page) matches.
  bool Matches(std::string_view text) const;

 private:
  // The items of the pattern as a sequence of steps: a wildcard step before
  // each item that may be preceded by any run, then the item itself; the
  // item that stands for the end of the text has no step of its own.
  enum class Step : std::uint8_t { kAnyRun, kAnyCharacter, kCharacter };
  struct Token {
    Step step;
    unsigned char upper = 0;  // kCharacter: the upper-cased character
  };

  std::vector<Token> tokens_;
};

}  // namespace tablefile
