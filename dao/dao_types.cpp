#include "dao/dao_types.h"

#include "dao/constants.h"

namespace dao {

int DaoTypeOf(jet::ColumnType type) {
  switch (type) {
    case jet::ColumnType::kBoolean:
      return dbBoolean;
    case jet::ColumnType::kByte:
      return dbByte;
    case jet::ColumnType::kInteger:
      return dbInteger;
    case jet::ColumnType::kLong:
      return dbLong;
    case jet::ColumnType::kCurrency:
      return dbCurrency;
    case jet::ColumnType::kSingle:
      return dbSingle;
    case jet::ColumnType::kDouble:
      return dbDouble;
    case jet::ColumnType::kDateTime:
      return dbDate;
    case jet::ColumnType::kText:
      return dbText;
    case jet::ColumnType::kOle:
      return dbLongBinary;
    case jet::ColumnType::kMemo:
      return dbMemo;
    case jet::ColumnType::kGuid:
      return dbGUID;
    case jet::ColumnType::kDecimal:
      return dbDecimal;
    case jet::ColumnType::kBigInt:
      return dbBigInt;
    default:
      return dbBinary;
  }
}

std::optional<jet::ColumnType> ColumnTypeOfDao(int daoType) {
  switch (daoType) {
    case dbBoolean: return jet::ColumnType::kBoolean;
    case dbByte: return jet::ColumnType::kByte;
    case dbInteger: return jet::ColumnType::kInteger;
    case dbLong: return jet::ColumnType::kLong;
    case dbCurrency: return jet::ColumnType::kCurrency;
    case dbSingle: return jet::ColumnType::kSingle;
    case dbDouble: return jet::ColumnType::kDouble;
    case dbDate: return jet::ColumnType::kDateTime;
    case dbBinary: return jet::ColumnType::kBinary;
    case dbText: return jet::ColumnType::kText;
    case dbLongBinary: return jet::ColumnType::kOle;
    case dbMemo: return jet::ColumnType::kMemo;
    case dbGUID: return jet::ColumnType::kGuid;
    default: return std::nullopt;
  }
}

int DaoSizeOf(const jet::ColumnDefinition& column, const jet::Layout& layout) {
  if (column.Type() == jet::ColumnType::kText && layout.IsJet4()) return column.length / 2;
  if (column.IsLongValue()) return 0;
  return column.length;
}

int DaoAttributesOf(const jet::ColumnDefinition& column, bool updatable) {
  int attributes = column.IsFixed() ? dbFixedField : dbVariableField;
  if (column.IsAutoNumber()) attributes |= dbAutoIncrField;
  if ((column.flags & jet::kColumnHyperlink) != 0 && column.Type() == jet::ColumnType::kMemo) {
    attributes |= dbHyperlinkField;
  }
  if (updatable && !column.IsAutoNumber() && (column.flags & jet::kColumnUpdatable) != 0) {
    attributes |= dbUpdatableField;
  }
  return attributes;
}

}  // namespace dao
