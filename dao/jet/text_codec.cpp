#include "dao/jet/text_codec.h"

#include <bit>
#include <cstring>

#include "platform/codepage.h"
#include "platform/utf8.h"

namespace dao::jet {
namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Writes `c` as UTF-8 at `p` and returns the end.
char* PutUtf8(char32_t c, char* p) {
  if (c < 0x80) {
    *p++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *p++ = static_cast<char>(0xC0 | (c >> 6));
    *p++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *p++ = static_cast<char>(0xE0 | (c >> 12));
    *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *p++ = static_cast<char>(0xF0 | (c >> 18));
    *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return p;
}

// Writes the one-byte characters (U+0001-U+00FF) of compressed text as
// UTF-8 at `p` (room for two bytes each) and returns the end.
char* PutLatin1(Bytes latin1, char* p) {
  std::size_t i = 0;
  // Eight characters at a time: the ASCII ones are their own UTF-8, so the
  // word is copied as it is and kept up to the first other character,
  // which is written as two bytes (eight stored bytes left leave room for
  // sixteen, so the copy stays inside the output).
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  while (i + 8 <= latin1.size()) {
    std::uint64_t word;
    std::memcpy(&word, latin1.data() + i, sizeof word);
    std::memcpy(p, &word, sizeof word);
    const std::uint64_t high = word & kHighBits;
    if (high == 0) {
      p += 8;
      i += 8;
      continue;
    }
    const auto ascii = static_cast<std::size_t>(std::countr_zero(high) / 8);  // little-endian: first byte lowest
    p = PutUtf8(latin1[i + ascii], p + ascii);
    i += ascii + 1;
  }
  for (; i < latin1.size(); ++i) p = PutUtf8(latin1[i], p);
  return p;
}

// Writes UTF-16 LE as UTF-8 at `p` (room for three bytes per unit).
char* PutUtf16(Bytes utf16, char* p) {
  const std::size_t units = utf16.size() / 2;
  const std::uint8_t* in = utf16.data();
  for (std::size_t i = 0; i < units; ++i) {
    char32_t unit = LoadU16(in + 2 * i);
    if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(LoadU16(in + 2 * i + 2))) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (LoadU16(in + 2 * i + 2) - 0xDC00u);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      unit = platform::kReplacementCharacter;
    }
    p = PutUtf8(unit, p);
  }
  return p;
}

// Jet 4 compressed text: after the FF FE marker each byte is a character
// U+0001-U+00FF; a zero byte switches to two bytes per character, and a
// character whose first byte is zero switches back. Writes at `p` (room
// for two bytes per stored byte).
char* PutCompressed(Bytes stored, char* p) {
  bool compressed = true;
  std::size_t i = 2;
  while (i < stored.size()) {
    std::size_t end = i;
    if (compressed) {
      const void* zero = std::memchr(stored.data() + i, 0, stored.size() - i);
      end = zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - stored.data())
                            : stored.size();
      p = PutLatin1(stored.subspan(i, end - i), p);
    } else {
      while (end + 1 < stored.size() && stored[end] != 0) end += 2;
      p = PutUtf16(stored.subspan(i, end - i), p);
    }
    if (end >= stored.size() || stored[end] != 0) break;  // the end, or a stray odd byte
    compressed = !compressed;
    i = end + 1;
  }
  return p;
}

bool IsCompressed(Bytes stored) {
  return stored.size() >= 2 && stored[0] == kCompressedTextMarker0 && stored[1] == kCompressedTextMarker1;
}

// Jet 4 text as UTF-8 at `p`, which has room for two bytes per stored byte
// (enough for both forms).
char* PutJet4Text(Bytes stored, char* p) { return IsCompressed(stored) ? PutCompressed(stored, p) : PutUtf16(stored, p); }

}  // namespace

void AppendUtf16LeAsUtf8(Bytes utf16, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + 3 * (utf16.size() / 2));  // a pair of units takes 4, no unit more than 3
  out.resize(static_cast<std::size_t>(PutUtf16(utf16, out.data() + start) - out.data()));
}

std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view utf8) {
  std::vector<std::uint8_t> out;
  out.reserve(utf8.size() * 2);
  const auto put = [&out](char32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
  };
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length != 0 && i + length <= utf8.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(utf8[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) {
      put(platform::kReplacementCharacter);
      i += 1;
      continue;
    }
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
    i += length;
  }
  return out;
}

TextCodec::TextCodec(Version version, int codePage)
    : version_(version),
      codePage_(platform::IsSupportedCodePage(codePage) ? codePage : platform::kWindowsLatin1CodePage) {}

void TextCodec::AppendValue(Bytes stored, std::string& out) const {
  if (version_ == Version::kJet3) {
    out += platform::AnsiToUtf8(
        std::string_view(reinterpret_cast<const char*>(stored.data()), stored.size()), codePage_);
    return;
  }
  const std::size_t start = out.size();
  out.resize(start + 2 * stored.size());
  out.resize(static_cast<std::size_t>(PutJet4Text(stored, out.data() + start) - out.data()));
}

std::string TextCodec::Value(Bytes stored) const {
  if (version_ == Version::kJet3) {
    return platform::AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(stored.data()), stored.size()),
                                codePage_);
  }
  // Sized once: a value is a fresh string, so growing it would reallocate.
  std::string out(2 * stored.size(), '\0');
  out.resize(static_cast<std::size_t>(PutJet4Text(stored, out.data()) - out.data()));
  return out;
}

std::string TextCodec::Name(Bytes stored) const {
  std::string out;
  if (version_ == Version::kJet3) {
    AppendValue(stored, out);
  } else {
    AppendUtf16LeAsUtf8(stored, out);
  }
  return out;
}

std::vector<std::uint8_t> TextCodec::EncodeName(std::string_view utf8) const {
  if (version_ == Version::kJet4) return Utf8ToUtf16Le(utf8);
  const std::string bytes = platform::Utf8ToAnsi(utf8, codePage_);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace dao::jet
