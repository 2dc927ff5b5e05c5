#include "recordset/field_factory.h"

#include "recordset/binary_fields.h"
#include "recordset/blob_fields.h"
#include "recordset/boolean_field.h"
#include "recordset/date_time_fields.h"
#include "recordset/float_fields.h"
#include "recordset/integer_fields.h"
#include "recordset/string_field.h"

namespace recordset {

std::unique_ptr<TField> CreateFieldOfType(TFieldType type, std::string fieldName, int size) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
      return std::make_unique<TStringField>(std::move(fieldName), type, size);
    case ftGuid:
      return std::make_unique<TGuidField>(std::move(fieldName));
    case ftSmallint:
      return std::make_unique<TSmallintField>(std::move(fieldName));
    case ftInteger:
      return std::make_unique<TIntegerField>(std::move(fieldName));
    case ftWord:
      return std::make_unique<TWordField>(std::move(fieldName));
    case ftAutoInc:
      return std::make_unique<TAutoIncField>(std::move(fieldName));
    case ftLargeint:
      return std::make_unique<TLargeintField>(std::move(fieldName));
    case ftBoolean:
      return std::make_unique<TBooleanField>(std::move(fieldName));
    case ftFloat:
      return std::make_unique<TFloatField>(std::move(fieldName));
    case ftCurrency:
      return std::make_unique<TCurrencyField>(std::move(fieldName));
    case ftBCD:
    case ftFMTBcd:
      return std::make_unique<TBCDField>(std::move(fieldName), type, size);
    case ftDate:
      return std::make_unique<TDateField>(std::move(fieldName));
    case ftTime:
      return std::make_unique<TTimeField>(std::move(fieldName));
    case ftDateTime:
      return std::make_unique<TDateTimeField>(std::move(fieldName));
    case ftBytes:
      return std::make_unique<TBytesField>(std::move(fieldName), size);
    case ftVarBytes:
      return std::make_unique<TVarBytesField>(std::move(fieldName), size);
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
      return std::make_unique<TMemoField>(std::move(fieldName), type);
    case ftGraphic:
      return std::make_unique<TGraphicField>(std::move(fieldName));
    case ftBlob:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
      return std::make_unique<TBlobField>(std::move(fieldName), type);
    default:
      return nullptr;
  }
}

}  // namespace recordset
