// `nutaro dump` on Jet 4 and Jet 3 databases that our DAO objects created
// and filled, run as a user runs it: the whole document, schema included.

#include <gtest/gtest.h>

#include <string>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "tools/tests/program_run.h"

namespace tools {
namespace {

using platform::Variant;

// The converter's table with a key, an index, field properties and rows
// of ordinary, extreme and Null values.
void MakeDatabase(const std::string& path, int version) {
  auto workspace = dao::DBEngine::Create("DAO.DBEngine.36")->CreateWorkspace("dump", "Admin", "");
  auto database = workspace->CreateDatabase(path, dao::dbLangGeneral, version);
  auto table = database->CreateTableDef("Nuta");
  const auto add = [&](const char* name, int type, int size = 0) {
    auto field = table->CreateField(name, type, size);
    table->Fields().Append(field);
    return field;
  };
  add("ID", dao::dbLong)->SetAttributes(dao::dbAutoIncrField);
  add("Nahrungsmittel", dao::dbText, 100);
  add("Kcal", dao::dbLong)->SetDefaultValue("0");
  add("Fett", dao::dbSingle);
  add("Preis", dao::dbCurrency);
  add("Datum", dao::dbDate);
  auto note = add("Notiz", dao::dbMemo);
  note->Properties().Append(note->CreateProperty("Caption", dao::dbText, Variant("Bemerkung")));
  auto key = table->CreateIndex("PrimaryKey");
  key->SetPrimary(true);
  key->Fields().Append(key->CreateField("ID"));
  table->Indexes().Append(key);
  auto byName = table->CreateIndex("Nahrungsmittel");
  auto descending = byName->CreateField("Nahrungsmittel");
  descending->SetAttributes(dao::dbDescending);
  byName->Fields().Append(descending);
  table->Indexes().Append(byName);
  database->TableDefs().Append(table);
  database->TableDefs().Item("Nuta")->Fields().Item("Nahrungsmittel")->SetRequired(true);

  auto rows = database->OpenRecordset("Nuta", dao::dbOpenDynaset);
  const auto addRow = [&](std::vector<Variant> values) {
    rows->AddNew();
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (!values[i].IsEmpty()) rows->Fields().Item(static_cast<int>(i + 1))->SetValue(values[i]);
    }
    rows->Update();
  };
  addRow({Variant("Äpfel, roh"), Variant(std::int32_t{52}), Variant(0.4f), Variant(platform::Currency{12345}),
          Variant::FromDate(45000.5), Variant("knackig \"frisch\"")});
  addRow({Variant(std::string(100, 'W')), Variant(std::int32_t{-2147483647}), Variant(-3.4e38f),
          Variant(platform::Currency{-9223372036854775807LL}), Variant::FromDate(-36522), Variant(std::string(5000, 'n'))});
  addRow({Variant("Quark")});
  // A deleted row and a changed one.
  addRow({Variant("Zwieback")});
  rows->SetBookmark(rows->LastModified());
  rows->Delete();
  rows->MoveFirst();
  rows->Edit();
  rows->Fields().Item("Kcal")->SetValue(Variant(std::int32_t{54}));
  rows->Update();
  database->Close();
}

std::string Expected(const char* format) {
  return std::string("{\n  \"format\": \"") + format + R"(",
  "tables": [
    {
      "name": "Nuta",
      "columns": [
        {"name": "ID", "type": "Long", "size": 4, "properties": {"Attributes": 17, "Required": false, "AllowZeroLength": false, "DefaultValue": ""}},
        {"name": "Nahrungsmittel", "type": "Text", "size": 100, "properties": {"Attributes": 2, "Required": true, "AllowZeroLength": false, "DefaultValue": ""}},
        {"name": "Kcal", "type": "Long", "size": 4, "properties": {"Attributes": 1, "Required": false, "AllowZeroLength": false, "DefaultValue": "0"}},
        {"name": "Fett", "type": "Single", "size": 4, "properties": {"Attributes": 1, "Required": false, "AllowZeroLength": false, "DefaultValue": ""}},
        {"name": "Preis", "type": "Currency", "size": 8, "properties": {"Attributes": 1, "Required": false, "AllowZeroLength": false, "DefaultValue": ""}},
        {"name": "Datum", "type": "Date", "size": 8, "properties": {"Attributes": 1, "Required": false, "AllowZeroLength": false, "DefaultValue": ""}},
        {"name": "Notiz", "type": "Memo", "size": 0, "properties": {"Attributes": 2, "Required": false, "AllowZeroLength": false, "DefaultValue": "", "Caption": "Bemerkung"}}
      ],
      "indexes": [
        {"name": "Nahrungsmittel", "primary": false, "unique": false, "foreign": false, "ignoreNulls": false, "required": false, "fields": [{"name": "Nahrungsmittel", "descending": true}]},
        {"name": "PrimaryKey", "primary": true, "unique": true, "foreign": false, "ignoreNulls": false, "required": true, "fields": [{"name": "ID", "descending": false}]}
      ],
      "rows": [
        [1, "Äpfel, roh", 54, 0.4, 1.2345, "2023-03-15 12:00:00.000", "knackig \"frisch\""],
        [2, ")" + std::string(100, 'W') + R"(", -2147483647, -3.4e+38, -922337203685477.5807, "1800-01-01 00:00:00.000", ")" +
         std::string(5000, 'n') + R"("],
        [3, "Quark", 0, null, null, null, null]
      ]
    }
  ]
}
)";
}

class DumpNewJet : public ::testing::TestWithParam<int> {
 protected:
  platform::testing::TempFolder folder_;
};

TEST_P(DumpNewJet, PrintsWhatWasWritten) {
  const std::string database = folder_.File("new.mdb");
  MakeDatabase(database, GetParam());
  const testing::ToolRun run = testing::RunNutaro(folder_, "dump --schema " + database);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, Expected(GetParam() == dao::dbVersion40 ? "jet4" : "jet3"));
}

INSTANTIATE_TEST_SUITE_P(Versions, DumpNewJet, ::testing::Values(dao::dbVersion40, dao::dbVersion30),
                         [](const auto& info) { return info.param == dao::dbVersion40 ? "Jet4" : "Jet3"; });

}  // namespace
}  // namespace tools
