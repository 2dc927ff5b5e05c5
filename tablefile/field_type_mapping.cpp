#include "tablefile/field_type_mapping.h"

#include "platform/codepage.h"
#include "tablefile/ntd_format.h"

namespace tablefile {
namespace {

using namespace recordset;

TNtdField FieldOfDefinition(const TFieldDef& definition) {
  std::string name = platform::Utf8ToAnsi(definition.Name());
  const auto field = [&](TNtdStorageType type, int size = 0) {
    return MakeNtdField(std::move(name), type, size);
  };
  switch (definition.DataType()) {
    case ftSmallint:
    case ftWord: return field(TNtdStorageType::SmallInt);
    case ftInteger: return field(TNtdStorageType::Integer);
    case ftLargeint: return field(TNtdStorageType::Int64);
    case ftBoolean: return field(TNtdStorageType::Boolean);
    case ftFloat: return field(TNtdStorageType::Double);
    case ftCurrency: return field(TNtdStorageType::Currency);
    case ftDate: return field(TNtdStorageType::Date);
    case ftTime: return field(TNtdStorageType::Time);
    case ftDateTime: return field(TNtdStorageType::DateTime);
    case ftAutoInc: return field(TNtdStorageType::AutoInc);
    case ftBlob: return field(TNtdStorageType::BLOB);
    case ftMemo: return field(TNtdStorageType::Memo);
    case ftFmtMemo: return field(TNtdStorageType::FmtMemo);
    case ftGraphic: return field(TNtdStorageType::Graphic);
    case ftString:
      return definition.Size() <= kLargestSmallStr
                 ? field(TNtdStorageType::SmallStr, definition.Size())
                 : field(TNtdStorageType::String, definition.Size());
    default: return field(TNtdStorageType::String, kBareStringLength);
  }
}

}  // namespace

std::vector<TNtdField> FieldsOfDefinitions(const TFieldDefs& definitions) {
  std::vector<TNtdField> fields;
  for (int i = 0; i < definitions.Count(); ++i) fields.push_back(FieldOfDefinition(definitions[i]));
  return fields;
}

TFieldType FieldTypeOf(TNtdStorageType type) {
  switch (type) {
    case TNtdStorageType::SmallInt: return ftSmallint;
    case TNtdStorageType::Integer: return ftInteger;
    case TNtdStorageType::Int64: return ftLargeint;
    case TNtdStorageType::Boolean: return ftBoolean;
    case TNtdStorageType::Double: return ftFloat;
    case TNtdStorageType::Currency: return ftCurrency;
    case TNtdStorageType::Date: return ftDate;
    case TNtdStorageType::Time: return ftTime;
    case TNtdStorageType::DateTime: return ftDateTime;
    case TNtdStorageType::AutoInc: return ftAutoInc;
    case TNtdStorageType::SmallStr:
    case TNtdStorageType::String: return ftString;
    case TNtdStorageType::BLOB: return ftBlob;
    case TNtdStorageType::Memo: return ftMemo;
    case TNtdStorageType::FmtMemo: return ftFmtMemo;
    case TNtdStorageType::Graphic: return ftGraphic;
    default: return ftUnknown;
  }
}

}  // namespace tablefile
