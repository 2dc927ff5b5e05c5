#pragma once
// One field entry of a table: what its description says and where its slot
// lies in a record buffer.

#include <cstdint>
#include <string>

#include "tablefile/ntd_format.h"
#include "tablefile/storage_type.h"

namespace tablefile {

struct TNtdField {
  std::string Name;                          // as stored: bytes of the file's code page, blanks as "_"
  std::string TablePrefix = kDefaultTablePrefix;
  std::uint16_t BufferSize = 0;              // slot bytes in a record buffer
  std::int32_t DeclaredSize = 0;             // SmallStr/String length, 0 otherwise
  std::uint32_t Offset = 0;                  // slot offset in a record buffer
  TNtdStorageType StorageType = TNtdStorageType::Unknown;
  bool OrderByLength = false;                // SmallStr values compare by length first
  std::string DefaultText;                   // value text for new records
  std::string ExtraText;                     // carried unchanged
  int LargeIndex = -1;                       // reference fields: index of the value beside the slots
};

// A field entry of a new table: slot size and ordering flag as its
// description letter implies. `declaredSize` counts for SmallStr and String.
TNtdField MakeNtdField(std::string name, TNtdStorageType type, int declaredSize = 0);

}  // namespace tablefile
