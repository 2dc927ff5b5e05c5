#include "converter/konvert_components.h"

#include "converter/konvert_texts.h"

namespace converter {
namespace {

using recordset::TFieldType;

// DAO's optimistic locking: a row is locked only while it is stored.
constexpr int kLockOptimistic = 3;

constexpr const char* kMineralEditNames[] = {"DBKa2",  "DBPh2",  "DBCal2", "DBMag2",
                                             "DBNat2", "DBEis2", "DBChl2", "DBSul2",
                                             "DBFlu2", "DBNit2", "DBHyd2"};

// Both connections carry the same settings: a Jet workspace of DAO 3.6 on
// an Access database, opened shared and writable, without a login prompt.
void ApplyConnectionSettings(accessdb::TAccessDatabase& database) {
  database.BeginLoading();
  database.SetDatabaseType("Access");
  database.SetExclusive(false);
  database.SetReadOnly(false);
  database.SetLoginPrompt(false);
  database.SetUserName("Admin");
  database.SetSystemDatabase("system.mdb");
  database.SetSaveUserName(true);
  database.SetShowSystemObjects(false);
  database.SetSmartOpen(true);
  database.SetEngineType(accessdb::kEngineTypeJet);
  database.SetPrivateEngine(false);
  database.SetTrackTransactions(true);
  database.SetVersion("3.6");
  database.SetWorkspace("DaoWorkspace");
  database.SetDefaultCursorDriver(-1);
  database.SetQueryTimeout(60);
  database.SetMdbVersionAutoDetect(false);
  database.SetUseODBCDialog(true);
  database.Loaded();
}

// An updatable dynaset with optimistic locking, counted and numbered.
void ApplyTableSettings(accessdb::TAccessTable& table, accessdb::TAccessDatabase& database) {
  table.SetDatabase(&database);
  table.SetTableType(accessdb::kTableTypeDynaset);
  table.SetLockType(kLockOptimistic);
  table.SetReadOnly(false);
  table.SetUseGetRecNo(true);
  table.SetUseRecordCount(true);
  table.SetAutoFindIndex(true);
  table.SetUseBrackets(true);
  table.SetUseDaoProperties(true);
  table.SetMasterAutoActivate(true);
  table.SetDatabaseAutoActivate(false);
}

}  // namespace

KonvertComponents::KonvertComponents() {
  FileOpen.filter = texts::kSourceFilter;
  FileSave.filter = texts::kTargetFilter;
  FileSave.overwritePrompt = false;

  ApplyConnectionSettings(AccessDatabase1);
  ApplyConnectionSettings(AccessDatabase2);

  // The stored field definitions only document the layouts the tables are
  // expected to have: every open replaces them with the table's own.
  ApplyTableSettings(AccessTable1, AccessDatabase1);
  AccessTable1.FieldDefs().AddFieldDef("Lebensmittel", TFieldType::ftString, 255, true);
  AccessTable1.FieldDefs().AddFieldDef("kcal", TFieldType::ftFloat, 0, true);
  AccessTable1.FieldDefs().AddFieldDef("Rubrik", TFieldType::ftString, 50);

  ApplyTableSettings(AccessTable2, AccessDatabase2);
  AccessTable2.SetTableName(texts::kTargetTable);
  AccessTable2.FieldDefs().AddFieldDef("Nahrungsmittel", TFieldType::ftString, 100);
  AccessTable2.FieldDefs().AddFieldDef("Kcal", TFieldType::ftInteger);
  AccessTable2.FieldDefs().AddFieldDef("Kjoule", TFieldType::ftInteger);
  AccessTable2.FieldDefs().AddFieldDef("Fett", TFieldType::ftInteger);
  AccessTable2.FieldDefs().AddFieldDef("Rubrik", TFieldType::ftString, 100);

  DB1.SetDateFormat(tablefile::kDefaultDateFormat);
  DBT1.SetDatabase(&DB1);
  DBT1.SetStoreDefs(true);

  DataSource1.SetDataSet(&AccessTable1);
  DataSource2.SetDataSet(&AccessTable2);
  DataSource3.SetDataSet(&DBT1);

  for (recordset::TDBEdit* edit : SourceEdits()) edit->SetDataSource(&DataSource1);
  for (recordset::TDBEdit* edit : TargetEdits()) edit->SetDataSource(&DataSource2);
  for (std::size_t i = 0; i < MineralEdits.size(); ++i) {
    MineralEdits[i].SetName(kMineralEditNames[i]);
    MineralEdits[i].SetDataSource(&DataSource2);
  }
}

std::array<recordset::TDBEdit*, 8> KonvertComponents::SourceEdits() {
  return {&DBNahrungsmittel, &DBKcal, &DBKjoule, &DBRubrik, &DBFett, &DBKh, &DBBE, &DBE};
}

std::array<recordset::TDBEdit*, 8> KonvertComponents::TargetEdits() {
  return {&DBNahrungsmittel2, &DBKcal2, &DBKjoule2, &DBRubrik2, &DBFett2, &DBKh2, &DBBE2, &DBE2};
}

}  // namespace converter
