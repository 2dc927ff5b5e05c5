#pragma once
// The engine's storage types: what each field occupies in a record buffer and
// how it is described in the field description section of an image.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tablefile {

enum class TNtdStorageType : std::uint8_t {
  Unknown = 0,
  SmallInt = 1,
  Integer = 2,
  Int64 = 3,
  Boolean = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  Time = 8,
  DateTime = 9,
  AutoInc = 10,
  SmallStr = 11,
  String = 12,
  BLOB = 13,
  Memo = 14,
  FmtMemo = 15,
  Graphic = 16,
};

// True for String and the BLOB family: their values live beside the slot.
bool IsReferenceType(TNtdStorageType type);
// True for BLOB, Memo, FmtMemo and Graphic.
bool IsBlobFamily(TNtdStorageType type);
// True for SmallStr and String.
bool IsTextType(TNtdStorageType type);

// Bytes the field takes in a record buffer; declaredSize matters for SmallStr.
std::uint16_t SlotSize(TNtdStorageType type, int declaredSize);

// Bytes a non-empty value takes after its length byte in an image, not
// counting the data of reference fields (their u32 length only).
std::uint8_t FixedValueSize(TNtdStorageType type);

// True where an all-zero slot is the value 0, false or midnight; for the
// other types it means the field has no value (Null).
bool ZeroIsAValue(TNtdStorageType type);

// The engine's own name ("SmallInt", "String", ...), as shown by tools.
std::string_view StorageTypeName(TNtdStorageType type);
// The type of that name (exact letter case); empty for Unknown and
// anything else.
std::optional<TNtdStorageType> StorageTypeOfName(std::string_view name);

// The description letter of every type except SmallStr and String, whose
// descriptions carry their length (see field_descriptions.h).
char DescriptionLetter(TNtdStorageType type);

// The type a description letter stands for; SmallStr digits are not letters
// here. Empty for anything unknown.
std::optional<TNtdStorageType> TypeOfLetter(char letter);

// Letters whose values are compared by length first (a c e f i l).
bool LetterOrdersByLength(char letter);

// SmallStr length digit "0"-"9", "A"-"Z" ⇄ 0..35.
char SmallStrDigit(int declaredSize);
std::optional<int> SmallStrSizeOfDigit(char digit);

}  // namespace tablefile
