#include "dao/sql/text_order.h"

#include <algorithm>
#include <cstring>

#include "dao/jet/index_key.h"
#include "dao/jet/text_sort_order.h"
#include "platform/text_case.h"
#include "platform/utf8.h"

namespace dao::sql {
namespace {

constexpr std::uint8_t kUncoveredMarker = 0xFF;

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::vector<std::uint8_t> TextOrder::Key(std::string_view utf8) const {
  jet::IndexKeyBuilder builder;
  if (codec_.GetVersion() != jet::Version::kJet4) {
    const std::vector<std::uint8_t> bytes = codec_.EncodeName(utf8);
    builder.AppendJet3Text(bytes, jet::KeyOrder::kAscending);
    return builder.Bytes();
  }
  std::u16string units;
  units.reserve(utf8.size());
  if (IsAscii(utf8)) {
    for (const char c : utf8) units.push_back(static_cast<char16_t>(c));
  } else {
    const std::vector<std::uint8_t> le = jet::Utf8ToUtf16Le(utf8);
    for (std::size_t i = 0; i + 1 < le.size(); i += 2) units.push_back(static_cast<char16_t>(le[i] | le[i + 1] << 8));
  }
  if (builder.AppendJet4Text(units, jet::KeyOrder::kAscending)) return builder.Bytes();
  // Key the covered characters, then the others by their upper case.
  std::u16string covered;
  std::string uncovered;
  for (const char16_t unit : units) {
    if (jet::Jet4SortCode(unit).sortClass == jet::SortClass::kUnsupported) {
      platform::AppendUtf8(unit, uncovered);
    } else {
      covered.push_back(unit);
    }
  }
  (void)builder.AppendJet4Text(covered, jet::KeyOrder::kAscending);
  std::vector<std::uint8_t> key = builder.Bytes();
  key.push_back(kUncoveredMarker);
  const std::string upper = platform::AnsiUpperCase(uncovered);
  std::size_t pos = 0;
  char32_t codePoint = 0;
  while (pos < upper.size()) {
    if (!platform::NextCodePoint(upper, pos, codePoint)) codePoint = platform::kReplacementCharacter;
    for (int shift = 24; shift >= 0; shift -= 8) key.push_back(static_cast<std::uint8_t>(codePoint >> shift));
  }
  return key;
}

int TextOrder::Compare(std::string_view a, std::string_view b) const { return CompareKeys(Key(a), Key(b)); }

int CompareKeys(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  const std::size_t common = std::min(a.size(), b.size());
  const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  if (order != 0) return order < 0 ? -1 : 1;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace dao::sql
