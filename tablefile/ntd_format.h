#pragma once
// Byte-level constants of the table image (.ntd files and the images built in
// memory). Every reader and writer takes its numbers from here.

#include <cstddef>
#include <cstdint>

namespace tablefile {

// Kind byte at offset 4.
inline constexpr std::uint8_t kKindPlain = 'S';
inline constexpr std::uint8_t kKindEnciphered = 'P';
inline constexpr std::uint8_t kKindError = 'E';

// Offsets and sizes of the fixed header. Kind "P" inserts the header block
// after the kind byte, shifting everything behind it.
inline constexpr std::size_t kKindOffset = 4;
inline constexpr std::size_t kPlainCountOffset = 5;
inline constexpr std::size_t kHeaderBlockSize = 40;
inline constexpr std::size_t kGuidTextLength = 38;
inline constexpr std::size_t kCountsSize = 12;  // record count, field count, L

// Field description section.
inline constexpr std::uint8_t kEntryEnd = 0x12;
inline constexpr std::uint8_t kSectionEnd = 0x14;
inline constexpr char kDefaultTablePrefix[] = "XXX";
inline constexpr std::int32_t kMaxDescriptionLength = 99'999;
inline constexpr std::int32_t kBareStringLength = 100;
// A field entry keeps its declared length in 16 bits. A larger number in a
// description is damage: taken as it stands it would size every text value
// the record-set reads (four bytes a character) by it.
inline constexpr std::int32_t kMaxDeclaredLength = 32'767;
inline constexpr int kLargestSmallStr = 35;

// Notes block: "*", i16 length, characters.
inline constexpr std::uint8_t kNotesMark = '*';
inline constexpr std::size_t kNotesHeaderSize = 3;
inline constexpr std::size_t kMaxNotesLength = 32'767;

// Value limits of reference fields, checked while reading.
inline constexpr std::uint32_t kMaxStringLength = 8'191;
inline constexpr std::uint32_t kMaxBlobLength = (1u << 30) - 1;
inline constexpr std::uint8_t kReferenceLengthByte = 4;

// Boolean true as written; any non-zero value reads as true.
inline constexpr std::uint16_t kWrittenTrue = 0xFFFF;

inline constexpr char kEngineVersion[] = "NTD Engine v5.10";

}  // namespace tablefile
