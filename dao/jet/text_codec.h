// Text as Jet stores it, turned into UTF-8 and back: Jet 4 keeps UCS-2
// (optionally compressed to one byte per character), Jet 3 keeps bytes of
// the database's code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"

namespace dao::jet {

// Appends UTF-16 little-endian text as UTF-8; unpaired surrogates become
// U+FFFD and a trailing odd byte is ignored.
void AppendUtf16LeAsUtf8(Bytes utf16, std::string& out);
// UTF-8 as UTF-16 little-endian; malformed sequences become U+FFFD.
std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view utf8);

class TextCodec {
 public:
  // `codePage` is the database's code page, used by Jet 3 only; a code page
  // this program cannot convert falls back to Windows-1252.
  TextCodec(Version version, int codePage);

  Version GetVersion() const { return version_; }
  int CodePage() const { return codePage_; }

  // Appends a Text or Memo value as stored in a row or long value (Jet 4:
  // plain or compressed UCS-2; Jet 3: code-page bytes).
  void AppendValue(Bytes stored, std::string& out) const;
  std::string Value(Bytes stored) const;
  // Names, property texts and passwords, which are never compressed.
  std::string Name(Bytes stored) const;
  // The stored, uncompressed form of a name or password.
  std::vector<std::uint8_t> EncodeName(std::string_view utf8) const;

 private:
  Version version_;
  int codePage_;
};

}  // namespace dao::jet
