#pragma once

// Properties that hold lines (SortedBy, QueryDefParameters, MasterFields)
// and their one-text forms.

#include <string>
#include <string_view>
#include <vector>

namespace accessdb {

// The lines of `text`, split at CR LF, LF or CR; a final line break ends
// the last line rather than starting an empty one.
std::vector<std::string> SplitLines(std::string_view text);

// The lines, each followed by a line feed.
std::string LinesText(const std::vector<std::string>& lines);

}  // namespace accessdb
