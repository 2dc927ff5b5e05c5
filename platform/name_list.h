#pragma once

// Names in lists like "Name; Kcal;Fett", as record-set properties and
// callers write them: separated by ";", with blanks around them that are
// no part of the names.

#include <string_view>
#include <vector>

namespace platform {

inline constexpr char kNameListSeparator = ';';

// `text` without the blanks (' ') at either end.
std::string_view TrimBlanks(std::string_view text);

// The names of `list` in order, each without its blanks; empty entries are
// left out. The views point into `list`.
std::vector<std::string_view> SplitNameList(std::string_view list);

}  // namespace platform
