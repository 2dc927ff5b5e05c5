#include "dao/default_value.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "dao/sql/date_literal.h"
#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "platform/text_case.h"

namespace dao {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool Is(std::string_view text, std::string_view word) { return platform::AnsiSameText(text, word); }

// A call of the function `name` without arguments; Access keeps what was
// typed, so "Now ( )" is as good as "Now()".
bool IsCall(std::string_view text, std::string_view name) {
  if (text.size() < name.size() || !Is(text.substr(0, name.size()), name)) return false;
  text = Trimmed(text.substr(name.size()));
  if (text.empty() || text.front() != '(') return false;
  text = Trimmed(text.substr(1));
  return text == ")";
}

// A quoted text; a doubled quote inside stands for one.
std::string Unquoted(std::string_view text) {
  const char quote = text.front();
  std::string value;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    value.push_back(text[i]);
    if (text[i] == quote && text[i + 1] == quote) ++i;
  }
  return value;
}

// A random Long from the random part of a new GUID.
std::int32_t RandomLong() {
  const platform::Guid guid = platform::NewGuid();
  std::int32_t value = 0;
  std::memcpy(&value, guid.bytes.data(), sizeof value);
  return value;
}

}  // namespace

platform::Variant EvaluateDefaultValue(std::string_view expression) {
  std::string_view text = Trimmed(expression);
  if (!text.empty() && text.front() == '=') text = Trimmed(text.substr(1));
  if (text.empty() || Is(text, "Null")) return platform::Variant::Null();
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
    return platform::Variant(Unquoted(text));
  if (text.size() >= 2 && text.front() == '#' && text.back() == '#') {
    if (const auto date = sql::ParseDateLiteral(text.substr(1, text.size() - 2))) return platform::Variant::FromDate(*date);
  }
  if (Is(text, "True") || Is(text, "Yes") || Is(text, "On")) return platform::Variant(true);
  if (Is(text, "False") || Is(text, "No") || Is(text, "Off")) return platform::Variant(false);
  if (IsCall(text, "Now")) return platform::Variant::FromDate(platform::Now());
  if (IsCall(text, "Date")) return platform::Variant::FromDate(platform::Today());
  // Access gives ReplicationID AutoNumbers (GUID columns) this default,
  // and Random AutoNumbers (Long columns) GenUniqueID(): a random number.
  if (IsCall(text, "GenGUID")) return platform::Variant(platform::NewGuid());
  if (IsCall(text, "GenUniqueID")) return platform::Variant(RandomLong());
  if (IsCall(text, "Time")) {
    const platform::TDateTime now = platform::Now();
    return platform::Variant::FromDate(now - std::floor(now));
  }
  double number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error == std::errc() && end == text.data() + text.size()) {
    std::int32_t whole = 0;
    const auto [wholeEnd, wholeError] = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (wholeError == std::errc() && wholeEnd == text.data() + text.size()) return platform::Variant(whole);
    return platform::Variant(number);
  }
  return platform::Variant(std::string(text));
}

}  // namespace dao
