#include "platform/codepage.h"

#include <iconv.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/utf8.h"

namespace platform {
namespace {

// Both directions of one single-byte code page, built once from iconv.
struct CodePageTable {
  std::array<char32_t, 256> toUnicode{};
  std::array<std::string, 256> toUtf8{};  // toUnicode, encoded
  // Basic-plane code point -> byte + 1 (0 = the code page lacks it).
  std::vector<std::uint16_t> fromUnicode = std::vector<std::uint16_t>(0x10000, 0);
};

// What byte `byte` of code page `name` means, or nullopt when iconv leaves
// it undefined. A stateful converter (1255, 1258) is flushed after the byte.
std::optional<char32_t> DecodeByte(const std::string& name, unsigned char byte) {
  iconv_t cd = iconv_open("UTF-32LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char input = static_cast<char>(byte);
  char* in = &input;
  std::size_t inLeft = 1;
  unsigned char output[32] = {};
  char* out = reinterpret_cast<char*>(output);
  std::size_t outLeft = sizeof output;
  const std::size_t converted = iconv(cd, &in, &inLeft, &out, &outLeft);
  const bool ok = converted != static_cast<std::size_t>(-1) &&
                  iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  // Exactly one code point: a byte that decomposes into several has no
  // single-character meaning here.
  if (!ok || sizeof output - outLeft != 4) return std::nullopt;
  return static_cast<char32_t>(output[0] | output[1] << 8 | output[2] << 16 | output[3] << 24);
}

std::unique_ptr<CodePageTable> BuildTable(int codePage) {
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t probe = iconv_open("UTF-32LE", name.c_str());
  if (probe == reinterpret_cast<iconv_t>(-1)) return nullptr;
  iconv_close(probe);

  auto table = std::make_unique<CodePageTable>();
  for (int byte = 0; byte < 256; ++byte) {
    char32_t codePoint = kReplacementCharacter;
    if (auto decoded = DecodeByte(name, static_cast<unsigned char>(byte))) {
      codePoint = *decoded;
    } else if (byte >= 0x80 && byte <= 0x9F) {
      // Windows gives the bytes a code page leaves undefined in this range
      // the C1 control of the same number, so they survive a round trip.
      codePoint = static_cast<char32_t>(byte);
    }
    table->toUnicode[byte] = codePoint;
    AppendUtf8(codePoint, table->toUtf8[byte]);
  }
  // Lowest byte wins where two bytes decode to the same character.
  for (int byte = 255; byte >= 0; --byte) {
    const char32_t codePoint = table->toUnicode[byte];
    if (codePoint < 0x10000 && codePoint != kReplacementCharacter) {
      table->fromUnicode[codePoint] = static_cast<std::uint16_t>(byte + 1);
    }
  }
  return table;
}

// nullptr when the code page is not supported. Tables live until the end of
// the program; the last one looked up is remembered per thread, since table
// engines convert row after row in the same code page.
const CodePageTable* FindTable(int codePage) {
  thread_local int lastCodePage = 0;
  thread_local const CodePageTable* lastTable = nullptr;
  if (codePage == lastCodePage && lastTable != nullptr) return lastTable;
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<CodePageTable>> tables;
  std::lock_guard lock(mutex);
  auto it = tables.find(codePage);
  if (it == tables.end()) it = tables.emplace(codePage, BuildTable(codePage)).first;
  lastCodePage = codePage;
  lastTable = it->second.get();
  return lastTable;
}

const CodePageTable& TableOf(int codePage) {
  const CodePageTable* table = FindTable(codePage);
  if (table == nullptr) {
    throw std::invalid_argument("Code page " + std::to_string(codePage) + " is not supported");
  }
  return *table;
}

// The byte of `codePoint`, or "?" when the code page lacks it.
char EncodeCodePoint(const CodePageTable& table, char32_t codePoint) {
  if (codePoint < 0x10000) {
    const std::uint16_t entry = table.fromUnicode[codePoint];
    if (entry != 0) return static_cast<char>(entry - 1);
  }
  return '?';
}

std::size_t AsciiPrefixLength(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

int& AnsiCodePageSetting() {
  static int codePage = kWindowsLatin1CodePage;
  return codePage;
}

int& OemCodePageSetting() {
  static int codePage = kDefaultOemCodePage;
  return codePage;
}

std::string Translate(std::string_view bytes, int fromCodePage, int toCodePage) {
  const CodePageTable& from = TableOf(fromCodePage);
  const CodePageTable& to = TableOf(toCodePage);
  std::string result(bytes);
  for (char& c : result) {
    c = EncodeCodePoint(to, from.toUnicode[static_cast<unsigned char>(c)]);
  }
  return result;
}

}  // namespace

int AnsiCodePage() { return AnsiCodePageSetting(); }

void SetAnsiCodePage(int codePage) {
  TableOf(codePage);
  AnsiCodePageSetting() = codePage;
}

int OemCodePage() { return OemCodePageSetting(); }

void SetOemCodePage(int codePage) {
  TableOf(codePage);
  OemCodePageSetting() = codePage;
}

bool IsSupportedCodePage(int codePage) { return FindTable(codePage) != nullptr; }

std::string AnsiToUtf8(std::string_view bytes, int codePage) {
  const CodePageTable& table = TableOf(codePage);
  const std::size_t asciiLength = AsciiPrefixLength(bytes);
  if (asciiLength == bytes.size()) return std::string(bytes);
  std::string result(bytes.substr(0, asciiLength));
  result.reserve(bytes.size() + bytes.size() / 2);
  for (std::size_t i = asciiLength; i < bytes.size(); ++i) {
    result += table.toUtf8[static_cast<unsigned char>(bytes[i])];
  }
  return result;
}

std::string Utf8ToAnsi(std::string_view utf8, int codePage) {
  const CodePageTable& table = TableOf(codePage);
  const std::size_t asciiLength = AsciiPrefixLength(utf8);
  if (asciiLength == utf8.size()) return std::string(utf8);
  std::string result(utf8.substr(0, asciiLength));
  std::size_t pos = asciiLength;
  while (pos < utf8.size()) {
    char32_t codePoint = 0;
    result += NextCodePoint(utf8, pos, codePoint) ? EncodeCodePoint(table, codePoint) : '?';
  }
  return result;
}

bool CanEncode(std::string_view utf8, int codePage) {
  const CodePageTable& table = TableOf(codePage);
  const std::size_t asciiLength = AsciiPrefixLength(utf8);
  if (asciiLength == utf8.size()) return true;
  std::size_t pos = asciiLength;
  while (pos < utf8.size()) {
    char32_t codePoint = 0;
    if (!NextCodePoint(utf8, pos, codePoint)) return false;
    if (codePoint >= 0x10000 || table.fromUnicode[codePoint] == 0) return false;
  }
  return true;
}

std::string AnsiToOem(std::string_view ansiBytes, int ansiCodePage, int oemCodePage) {
  return Translate(ansiBytes, ansiCodePage, oemCodePage);
}

std::string OemToAnsi(std::string_view oemBytes, int oemCodePage, int ansiCodePage) {
  return Translate(oemBytes, oemCodePage, ansiCodePage);
}

}  // namespace platform
