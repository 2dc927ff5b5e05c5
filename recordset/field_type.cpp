#include "recordset/field_type.h"

#include <array>

namespace recordset {

namespace {

constexpr std::array<std::string_view, kFieldTypeCount> kIdentifiers = {
    "ftUnknown",   "ftString",      "ftSmallint",  "ftInteger",   "ftWord",      "ftBoolean",
    "ftFloat",     "ftCurrency",    "ftBCD",       "ftDate",      "ftTime",      "ftDateTime",
    "ftBytes",     "ftVarBytes",    "ftAutoInc",   "ftBlob",      "ftMemo",      "ftGraphic",
    "ftFmtMemo",   "ftParadoxOle",  "ftDBaseOle",  "ftTypedBinary", "ftCursor",  "ftFixedChar",
    "ftWideString", "ftLargeint",   "ftADT",       "ftArray",     "ftReference", "ftDataSet",
    "ftOraBlob",   "ftOraClob",     "ftVariant",   "ftInterface", "ftIDispatch", "ftGuid",
    "ftTimeStamp", "ftFMTBcd",
};

}  // namespace

int NativeSize(TFieldType type, int size) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      // UTF-8 characters and the terminating zero.
      return size * kMaxUtf8BytesPerCharacter + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
      return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
      return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint:
      return 8;
    case ftBCD:
    case ftFMTBcd:
      return kBcdNativeSize;
    case ftBytes:
      return size;
    case ftVarBytes:
      return size + 2;
    default:
      return 0;
  }
}

bool IsLargeValueType(TFieldType type) {
  switch (type) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
      return true;
    default:
      return false;
  }
}

bool IsTextType(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString || type == ftGuid;
}

std::string_view FieldTypeIdentifier(TFieldType type) {
  if (type < 0 || type >= kFieldTypeCount) return kIdentifiers[ftUnknown];
  return kIdentifiers[type];
}

}  // namespace recordset
