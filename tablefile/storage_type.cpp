#include "tablefile/storage_type.h"

#include <array>

#include "tablefile/ntd_format.h"

namespace tablefile {
namespace {

struct TypeTraits {
  std::string_view name;
  char letter;            // 0 where the description carries a length
  std::uint16_t slot;     // 0 where it depends on the declared size
  std::uint8_t valueSize; // bytes after the length byte
};

constexpr std::array<TypeTraits, 17> kTraits{{
    {"Unknown", 0, 0, 0},
    {"SmallInt", 'l', 2, 2},
    {"Integer", 'i', 4, 4},
    {"Int64", 'e', 8, 8},
    {"Boolean", 'b', 2, 2},
    {"Double", 'f', 8, 8},
    {"Currency", 'c', 8, 8},
    {"Date", 'd', 4, 4},
    {"Time", 'v', 4, 4},
    {"DateTime", 't', 8, 8},
    {"AutoInc", 'a', 4, 4},
    {"SmallStr", 0, 0, 0},
    {"String", 's', 4, kReferenceLengthByte},
    {"BLOB", 'o', 8, kReferenceLengthByte},
    {"Memo", 'm', 8, kReferenceLengthByte},
    {"FmtMemo", 'r', 8, kReferenceLengthByte},
    {"Graphic", 'g', 8, kReferenceLengthByte},
}};

const TypeTraits& TraitsOf(TNtdStorageType type) {
  return kTraits[static_cast<std::size_t>(type)];
}

}  // namespace

bool IsReferenceType(TNtdStorageType type) {
  return type >= TNtdStorageType::String;
}

bool IsTextType(TNtdStorageType type) {
  return type == TNtdStorageType::SmallStr || type == TNtdStorageType::String;
}

bool IsBlobFamily(TNtdStorageType type) {
  return type >= TNtdStorageType::BLOB;
}

std::uint16_t SlotSize(TNtdStorageType type, int declaredSize) {
  if (type == TNtdStorageType::SmallStr) return static_cast<std::uint16_t>(declaredSize + 1);
  return TraitsOf(type).slot;
}

bool ZeroIsAValue(TNtdStorageType type) {
  switch (type) {
    case TNtdStorageType::SmallInt:
    case TNtdStorageType::Integer:
    case TNtdStorageType::Boolean:
    case TNtdStorageType::Double:
    case TNtdStorageType::Currency:
    case TNtdStorageType::Time:
    case TNtdStorageType::AutoInc:
      return true;
    default:
      return false;
  }
}

std::uint8_t FixedValueSize(TNtdStorageType type) { return TraitsOf(type).valueSize; }

std::string_view StorageTypeName(TNtdStorageType type) { return TraitsOf(type).name; }

std::optional<TNtdStorageType> StorageTypeOfName(std::string_view name) {
  for (std::size_t code = 1; code < kTraits.size(); ++code) {
    if (kTraits[code].name == name) return static_cast<TNtdStorageType>(code);
  }
  return std::nullopt;
}

char DescriptionLetter(TNtdStorageType type) { return TraitsOf(type).letter; }

std::optional<TNtdStorageType> TypeOfLetter(char letter) {
  for (std::size_t code = 1; code < kTraits.size(); ++code) {
    if (kTraits[code].letter == letter) return static_cast<TNtdStorageType>(code);
  }
  return std::nullopt;
}

bool LetterOrdersByLength(char letter) {
  switch (letter) {
    case 'a': case 'c': case 'e': case 'f': case 'i': case 'l': return true;
    default: return false;
  }
}

char SmallStrDigit(int declaredSize) {
  return static_cast<char>(declaredSize < 10 ? '0' + declaredSize : 'A' + declaredSize - 10);
}

std::optional<int> SmallStrSizeOfDigit(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'Z') return digit - 'A' + 10;
  return std::nullopt;
}

}  // namespace tablefile
