#include "tools/file_format.h"

#include "platform/file_io.h"
#include "tablefile/ntd_format.h"

namespace tools {
namespace {

// Jet files begin with 00 01 00 00 and the engine's name; the byte at 0x14
// tells Jet 3 (0) from Jet 4 and later.
constexpr char kJetSignature[] = "Standard Jet DB";
constexpr std::size_t kJetSignatureOffset = 4;
constexpr std::size_t kJetVersionOffset = 0x14;

}  // namespace

FileFormat RecogniseFileFormat(const std::string& path) {
  const std::string head = platform::ReadFileHead(path, kJetVersionOffset + 1);
  if (head.size() > kJetVersionOffset &&
      head.compare(kJetSignatureOffset, sizeof kJetSignature - 1, kJetSignature) == 0) {
    return head[kJetVersionOffset] == 0 ? FileFormat::kJet3 : FileFormat::kJet4;
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
