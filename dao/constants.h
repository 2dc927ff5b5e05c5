// DAO's published enumeration values, as the Access layer passes and reads
// them.
#pragma once

namespace dao {

// DataTypeEnum: Field::Type.
enum DataType : int {
  dbBoolean = 1,
  dbByte = 2,
  dbInteger = 3,
  dbLong = 4,
  dbCurrency = 5,
  dbSingle = 6,
  dbDouble = 7,
  dbDate = 8,
  dbBinary = 9,
  dbText = 10,
  dbLongBinary = 11,
  dbMemo = 12,
  dbGUID = 15,
  dbBigInt = 16,
  dbVarBinary = 17,
  dbChar = 18,
  dbNumeric = 19,
  dbDecimal = 20,
  dbFloat = 21,
  dbTime = 22,
  dbTimeStamp = 23,
};

// FieldAttributeEnum: Field::Attributes.
enum FieldAttribute : int {
  dbFixedField = 0x1,
  dbDescending = 0x1,  // on the fields of an Index
  dbVariableField = 0x2,
  dbAutoIncrField = 0x10,
  dbUpdatableField = 0x20,
  dbSystemField = 0x2000,
  dbHyperlinkField = 0x8000,
};

// TableDefAttributeEnum: TableDef::Attributes.
enum TableDefAttribute : int {
  dbHiddenObject = 0x1,
  dbSystemObject = static_cast<int>(0x80000002u),
  dbAttachedODBC = 0x20000000,
  dbAttachedTable = 0x40000000,
};

// RecordsetTypeEnum.
enum RecordsetType : int {
  dbOpenTable = 1,
  dbOpenDynaset = 2,
  dbOpenSnapshot = 4,
  dbOpenForwardOnly = 8,
  dbOpenDynamic = 16,
};

// RecordsetOptionEnum (summed).
enum RecordsetOption : int {
  dbDenyWrite = 0x1,
  dbDenyRead = 0x2,
  dbReadOnly = 0x4,
  dbAppendOnly = 0x8,
  dbInconsistent = 0x10,
  dbConsistent = 0x20,
  dbSQLPassThrough = 0x40,
  dbFailOnError = 0x80,
  dbForwardOnly = 0x100,
  dbSeeChanges = 0x200,
  dbRunAsync = 0x400,
  dbExecDirect = 0x800,
};

// LockTypeEnum.
enum LockType : int {
  dbOptimisticValue = 1,
  dbPessimistic = 2,
  dbOptimistic = 3,
  dbReadOnlyLock = 4,  // DAO's dbReadOnly, which shares its value with the option above
  dbOptimisticBatch = 5,
};

// EditModeEnum.
enum EditMode : int {
  dbEditNone = 0,
  dbEditInProgress = 1,
  dbEditAdd = 2,
};

// WorkspaceTypeEnum.
enum WorkspaceType : int {
  dbUseODBC = 1,
  dbUseJet = 2,
};

// DatabaseTypeEnum: the options of CreateDatabase (summed).
enum DatabaseOption : int {
  dbVersion10 = 1,
  dbEncrypt = 2,
  dbDecrypt = 4,
  dbVersion11 = 8,
  dbVersion20 = 16,
  dbVersion30 = 32,
  dbVersion40 = 64,
  dbVersion120 = 128,
};

// LanguageConstants: the locale of the General sort order.
inline constexpr const char* dbLangGeneral = ";LANGID=0x0409;CP=1252;COUNTRY=0";

// IdleEnum.
enum IdleAction : int {
  dbFreeLocks = 1,
  dbRefreshCache = 8,
};

// CollatingOrderEnum: the General order of Jet files.
inline constexpr int dbSortGeneral = 1033;
inline constexpr int dbSortUndefined = -1;

}  // namespace dao
