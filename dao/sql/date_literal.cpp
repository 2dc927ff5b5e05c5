#include "dao/sql/date_literal.h"

#include <charconv>

namespace dao::sql {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<platform::TDateTime> ParseDateLiteral(std::string_view text) {
  text = Trimmed(text);
  int year = 0, month = 0, day = 0;
  const char* end = text.data() + text.size();
  auto [p, error] = std::from_chars(text.data(), end, year);
  // ISO form yyyy-mm-dd, optionally followed by a time.
  if (error == std::errc() && p != end && *p == '-') {
    auto [q, e2] = std::from_chars(p + 1, end, month);
    if (e2 == std::errc() && q != end && *q == '-') {
      auto [r, e3] = std::from_chars(q + 1, end, day);
      const auto date = e3 == std::errc() ? platform::TryEncodeDate(year, month, day) : std::nullopt;
      if (!date) return std::nullopt;
      const std::string_view rest = Trimmed(std::string_view(r, static_cast<std::size_t>(end - r)));
      if (rest.empty()) return date;
      const auto time = platform::TryParseTime(rest, platform::EnglishUsFormatSettings());
      return time ? std::optional(platform::CombineDateTime(*date, *time)) : std::nullopt;
    }
  }
  return platform::TryParseDateTime(text, platform::EnglishUsFormatSettings());
}

}  // namespace dao::sql
