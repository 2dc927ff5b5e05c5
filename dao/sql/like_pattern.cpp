#include "dao/sql/like_pattern.h"

#include "dao/sql/sql_error.h"
#include "platform/text_case.h"
#include "platform/utf8.h"

namespace dao::sql {
namespace {

// The upper-cased code points of a text.
std::u32string Folded(std::string_view text) {
  const std::string upper = platform::AnsiUpperCase(text);
  std::u32string points;
  points.reserve(upper.size());
  std::size_t pos = 0;
  char32_t c = 0;
  while (pos < upper.size()) {
    if (!platform::NextCodePoint(upper, pos, c)) c = platform::kReplacementCharacter;
    points.push_back(c);
  }
  return points;
}

}  // namespace

LikePattern::LikePattern(std::string_view pattern) {
  const std::u32string points = Folded(pattern);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const char32_t c = points[i];
    Element element{Kind::kLiteral, false, 0, {}};
    if (c == U'*') {
      // Runs of stars are one star.
      if (!elements_.empty() && elements_.back().kind == Kind::kAnyRun) continue;
      element.kind = Kind::kAnyRun;
    } else if (c == U'?') {
      element.kind = Kind::kAnyOne;
    } else if (c == U'#') {
      element.kind = Kind::kDigit;
    } else if (c == U'[') {
      std::size_t j = i + 1;
      element.kind = Kind::kSet;
      if (j < points.size() && points[j] == U'!') {
        element.negated = true;
        ++j;
      }
      bool closed = false;
      for (; j < points.size(); ++j) {
        if (points[j] == U']') {
          closed = true;
          break;
        }
        if (j + 2 < points.size() && points[j + 1] == U'-' && points[j + 2] != U']') {
          element.ranges.push_back({points[j], points[j + 2]});
          j += 2;
        } else {
          element.ranges.push_back({points[j], points[j]});
        }
      }
      if (!closed) RaiseSql(93, "Invalid pattern string.");
      // [] matches nothing; [!] any one character.
      i = j;
    } else {
      element.literal = c;
    }
    elements_.push_back(std::move(element));
  }
}

bool LikePattern::MatchesOne(const Element& element, char32_t c) const {
  switch (element.kind) {
    case Kind::kLiteral: return element.literal == c;
    case Kind::kAnyOne: return true;
    case Kind::kDigit: return c >= U'0' && c <= U'9';
    case Kind::kSet: {
      bool inSet = false;
      for (const Range& range : element.ranges) inSet = inSet || (c >= range.first && c <= range.last);
      return inSet != element.negated;
    }
    case Kind::kAnyRun: return false;
  }
  return false;
}

// Greedy matching that backs up to the last star: linear for patterns
// with one star, at most quadratic otherwise.
bool LikePattern::Matches(std::string_view text) const {
  const std::u32string points = Folded(text);
  std::size_t p = 0, t = 0;
  std::size_t starP = std::string::npos, starT = 0;
  while (t < points.size()) {
    if (p < elements_.size() && elements_[p].kind == Kind::kAnyRun) {
      starP = p++;
      starT = t;
    } else if (p < elements_.size() && MatchesOne(elements_[p], points[t])) {
      ++p;
      ++t;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < elements_.size() && elements_[p].kind == Kind::kAnyRun) ++p;
  return p == elements_.size();
}

}  // namespace dao::sql
