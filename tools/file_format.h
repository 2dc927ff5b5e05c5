#pragma once
// Recognises the kind of database file by its first bytes, whatever its name.

#include <string>

namespace tools {

enum class FileFormat { kNtd, kJet3, kJet4, kUnknown };

// Reads the head of the file; throws platform::FileError when it cannot be read.
FileFormat RecogniseFileFormat(const std::string& path);

}  // namespace tools
