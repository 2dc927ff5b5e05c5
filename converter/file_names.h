#pragma once

// File names as the handlers treat them.

#include <string>
#include <string_view>

namespace converter {

// `fileName` with its extension replaced by `extension` (".mdb"): the part
// from the last full stop is replaced when that full stop comes after the
// last "/"; a name without an extension gets `extension` appended.
std::string ChangeFileExtension(std::string_view fileName, std::string_view extension);

// True when both names reach the same existing file: the same device and
// inode, whatever the path texts (links, "..", another spelling).
bool SameFile(const std::string& first, const std::string& second);

}  // namespace converter
