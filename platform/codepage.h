#pragma once

// Single-byte Windows code pages <-> UTF-8. In memory all text is UTF-8;
// bytes on disk keep their format's code page, and conversion happens once,
// at that boundary. Any Windows single-byte code page that glibc's iconv
// knows (1250..1258, 437, 850, ...) works; tables are built once per code
// page and cached, so the conversions are cheap enough to run per row.

#include <string>
#include <string_view>

namespace platform {

inline constexpr int kWindowsLatin1CodePage = 1252;
inline constexpr int kDefaultOemCodePage = 850;

// The system's ANSI code page: the one code-page setting of the program
// (.ntd files and Jet 3 text without a code page of their own). Default 1252.
int AnsiCodePage();
void SetAnsiCodePage(int codePage);

// The OEM code page used by the Access layer's translation option. Default 850.
int OemCodePage();
void SetOemCodePage(int codePage);

// True when `codePage` is a single-byte code page this program can convert.
bool IsSupportedCodePage(int codePage);

// Decodes bytes of `codePage` into UTF-8. Bytes the code page leaves
// undefined decode as Windows does: 0x80..0x9F to U+0080..U+009F (so 1252's
// 0x81, 0x8D, 0x8F, 0x90, 0x9D survive a round trip), others to U+FFFD.
// Throws std::invalid_argument for an unsupported code page.
std::string AnsiToUtf8(std::string_view bytes, int codePage = AnsiCodePage());

// Encodes UTF-8 text into `codePage`. Every character the code page cannot
// hold becomes one "?"; malformed UTF-8 sequences become "?" byte by byte.
std::string Utf8ToAnsi(std::string_view utf8, int codePage = AnsiCodePage());

// True when every character of `utf8` has a byte in `codePage`.
bool CanEncode(std::string_view utf8, int codePage = AnsiCodePage());

// Byte-to-byte translation between the ANSI and the OEM code page (the
// Access layer's translation option); characters the other side lacks
// become "?".
std::string AnsiToOem(std::string_view ansiBytes, int ansiCodePage = AnsiCodePage(),
                      int oemCodePage = OemCodePage());
std::string OemToAnsi(std::string_view oemBytes, int oemCodePage = OemCodePage(),
                      int ansiCodePage = AnsiCodePage());

}  // namespace platform
