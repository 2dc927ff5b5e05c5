#include "tablefile/ntd_mask.h"

#include "platform/text_case.h"
#include "recordset/database_error.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/text_format.h"

namespace tablefile {
namespace {

constexpr int kMaxWildcardItems = 30;

}  // namespace

TNtdMask::TNtdMask(std::string_view pattern, std::string_view shownPattern) {
  bool pendingWildcard = false;
  int wildcardItems = 0;
  // Adds an item (kCharacter, kAnyCharacter, or nothing for the end).
  const auto addItem = [&](std::size_t position, std::optional<Token> item) {
    if (pendingWildcard) {
      if (++wildcardItems > kMaxWildcardItems) {
        recordset::DatabaseError(
            FormatText(messages::kInvalidMask, {shownPattern, std::to_string(position)}));
      }
      tokens_.push_back({Step::kAnyRun});
    }
    if (item) tokens_.push_back(*item);
    pendingWildcard = false;
  };
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto c = static_cast<unsigned char>(pattern[i]);
    if (c == '%' || c == '*') {
      pendingWildcard = true;
    } else if (c == '?' || c == '_') {
      // Directly after a wildcard one character more or less makes no
      // difference to what the wildcard takes.
      if (!pendingWildcard) addItem(i + 1, Token{Step::kAnyCharacter});
    } else {
      addItem(i + 1, Token{Step::kCharacter, platform::AnsiUpperCaseByte(c)});
    }
  }
  addItem(pattern.size() + 1, std::nullopt);
}

bool TNtdMask::Matches(std::string_view text) const {
  // Greedy matching with one point to return to: the last wildcard takes
  // one character more whenever the rest fails. This gives the result of
  // trying every start in order, in time linear in text times pattern.
  std::size_t token = 0;
  std::size_t at = 0;
  std::size_t lastRun = tokens_.size();  // none yet
  std::size_t runTakesUpTo = 0;
  while (at < text.size()) {
    if (token < tokens_.size() && tokens_[token].step == Step::kAnyRun) {
      lastRun = token++;
      runTakesUpTo = at;
      continue;
    }
    const bool fits = token < tokens_.size() &&
                      (tokens_[token].step == Step::kAnyCharacter ||
                       tokens_[token].upper == platform::AnsiUpperCaseByte(static_cast<unsigned char>(text[at])));
    if (fits) {
      ++token;
      ++at;
    } else if (lastRun < tokens_.size()) {
      token = lastRun + 1;
      at = ++runTakesUpTo;
    } else {
      return false;
    }
  }
  while (token < tokens_.size() && tokens_[token].step == Step::kAnyRun) ++token;
  return token == tokens_.size();
}

}  // namespace tablefile
