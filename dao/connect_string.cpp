#include "dao/connect_string.h"

#include "platform/text_case.h"

namespace dao {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

ConnectString::ConnectString(std::string_view text) {
  std::size_t start = 0;
  bool first = true;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(';', start), text.size());
    const std::string_view part = Trim(text.substr(start, end - start));
    const std::size_t equals = part.find('=');
    if (first && equals == std::string_view::npos) {
      type_ = std::string(part);
    } else if (equals != std::string_view::npos) {
      pairs_.emplace_back(std::string(Trim(part.substr(0, equals))), std::string(part.substr(equals + 1)));
    }
    first = false;
    start = end + 1;
  }
}

std::optional<std::string> ConnectString::Value(std::string_view key) const {
  for (const auto& [name, value] : pairs_) {
    if (platform::AnsiSameText(name, key)) return value;
  }
  return std::nullopt;
}

}  // namespace dao
