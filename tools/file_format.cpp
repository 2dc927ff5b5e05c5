#include "tools/file_format.h"

#include "dao/jet/format.h"
#include "platform/file_io.h"
#include "tablefile/ntd_format.h"

namespace tools {

FileFormat RecogniseFileFormat(const std::string& path) {
  using dao::jet::kSignature;
  using dao::jet::kSignatureOffset;
  using dao::jet::kVersionOffset;
  const std::string head = platform::ReadFileHead(path, kVersionOffset + 1);
  // The version byte tells Jet 3 from Jet 4 and later.
  if (head.size() > kVersionOffset && head.compare(kSignatureOffset, kSignature.size(), kSignature) == 0) {
    return static_cast<std::uint8_t>(head[kVersionOffset]) == dao::jet::kJet3VersionByte ? FileFormat::kJet3
                                                                                          : FileFormat::kJet4;
  }
  // A table image has its kind byte where the Jet name begins.
  if (head.size() > tablefile::kKindOffset) {
    const auto kind = static_cast<std::uint8_t>(head[tablefile::kKindOffset]);
    if (kind == tablefile::kKindPlain || kind == tablefile::kKindEnciphered ||
        kind == tablefile::kKindError) {
      return FileFormat::kNtd;
    }
  }
  return FileFormat::kUnknown;
}

}  // namespace tools
