#include "platform/name_list.h"

namespace platform {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string_view> SplitNameList(std::string_view list) {
  std::vector<std::string_view> names;
  while (!list.empty()) {
    const auto separator = list.find(kNameListSeparator);
    const std::string_view name = TrimBlanks(list.substr(0, separator));
    if (!name.empty()) names.push_back(name);
    if (separator == std::string_view::npos) break;
    list.remove_prefix(separator + 1);
  }
  return names;
}

}  // namespace platform
