#pragma once

// "ANSI" upper-casing and case-insensitive comparison. On stored bytes the
// rules are Windows-1252's (a-z, the accented letters 0xE0..0xFE except
// 0xF7, and 0x9A/0x9C/0x9E/0xFF); on UTF-8 text they are Unicode's simple
// case mapping. Comparisons are ordinal after upper-casing, so they define a
// total order that sorting and binary search can rely on.

#include <string>
#include <string_view>

namespace platform {

// Upper case of one Windows-1252 byte.
unsigned char AnsiUpperCaseByte(unsigned char byte);

// Upper-cases Windows-1252 bytes.
std::string AnsiUpperCaseBytes(std::string_view bytes);

// <0, 0, >0 as `a` sorts before, equal to or after `b` when both are
// upper-cased by the Windows-1252 rules.
int AnsiCompareTextBytes(std::string_view a, std::string_view b);

// Upper-cases UTF-8 text by Unicode simple case mapping (ß stays ß).
// Malformed sequences are copied unchanged.
std::string AnsiUpperCase(std::string_view utf8);

// Lower-cases UTF-8 text by Unicode simple case mapping.
std::string AnsiLowerCase(std::string_view utf8);

// <0, 0, >0 comparing the upper-cased code points of two UTF-8 texts.
int AnsiCompareText(std::string_view a, std::string_view b);

// True when two UTF-8 texts differ at most in letter case.
bool AnsiSameText(std::string_view a, std::string_view b);

}  // namespace platform
