#include "tablefile/ntd_field.h"

namespace tablefile {

TNtdField MakeNtdField(std::string name, TNtdStorageType type, int declaredSize) {
  TNtdField field;
  field.Name = std::move(name);
  field.StorageType = type;
  const bool hasLength = type == TNtdStorageType::SmallStr || type == TNtdStorageType::String;
  field.DeclaredSize = hasLength ? declaredSize : 0;
  field.BufferSize = SlotSize(type, field.DeclaredSize);
  field.OrderByLength = LetterOrdersByLength(DescriptionLetter(type));
  return field;
}

}  // namespace tablefile
