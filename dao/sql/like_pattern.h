// Access's LIKE patterns: * any run of characters, ? one character, # one
// digit, [abc] and [a-z] one of a set, [!...] one character not in it;
// letters match without regard to case. A wildcard inside brackets stands
// for itself ([*] matches a star).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dao::sql {

class LikePattern {
 public:
  // Raises error 93 for a pattern with an unclosed bracket.
  explicit LikePattern(std::string_view pattern);

  bool Matches(std::string_view text) const;

 private:
  struct Range {
    char32_t first;
    char32_t last;
  };
  enum class Kind : std::uint8_t { kLiteral, kAnyRun, kAnyOne, kDigit, kSet };
  struct Element {
    Kind kind;
    bool negated = false;
    char32_t literal = 0;
    std::vector<Range> ranges;
  };

  bool MatchesOne(const Element& element, char32_t c) const;

  std::vector<Element> elements_;
};

}  // namespace dao::sql
