#include "access/tests/access_test_support.h"
#include "access/access_table_manager.h"

namespace accessdb {
namespace {

class Smoke : public testing::AccessTest {};

TEST_F(Smoke, WalksAndAppends) {
  const std::string path = CopyFixture("nutaro/nuta4-basic.mdb");
  auto database = Connect(path);
  EXPECT_EQ(database->DatabaseVersionInfo(), "4.0");
  auto table = OpenTable(*database, "nuta");
  EXPECT_EQ(table->RowCount(), 28);
  const auto rows = testing::TextRows(*table);
  ASSERT_EQ(rows.size(), 28u);
  for (const auto& cell : rows[0]) std::cout << cell << "|";
  std::cout << "\n";
  table->AppendRow();
  table->FieldNamed("Nahrungsmittel").SetTextValue("Neu");
  table->FieldNamed("Kcal").SetTextValue("12");
  table->FieldNamed("Fett").SetTextValue("1.5");
  table->PostRow();
  EXPECT_EQ(table->RowNumber(), 29);
  EXPECT_EQ(table->RowCount(), 29);
  EXPECT_EQ(table->FieldNamed("Nahrungsmittel").TextValue(), "Neu");
}

TEST_F(Smoke, CreatesNuta) {
  const std::string path = Path("neu.mdb");
  TAccessDatabase creator("creator");
  creator.SetVersion("3.6");
  creator.CreateDatabaseFile(path);
  auto database = Connect(path);
  TAccessTableManager manager(database.get());
  manager.SetTableName("Nuta");
  manager.FieldDefs().AddFieldDef("Nahrungsmittel", recordset::ftString, 100);
  manager.FieldDefs().AddFieldDef("Kcal", recordset::ftInteger);
  manager.FieldDefs().AddFieldDef("Fett", recordset::ftFloat);
  manager.CreateTable();
  auto table = OpenTable(*database, "Nuta");
  EXPECT_EQ(table->RowNumber(), -1);
  for (int i = 1; i <= 3; ++i) {
    table->AppendRow();
    table->FieldNamed("Kcal").SetTextValue(std::to_string(i));
    table->PostRow();
    EXPECT_EQ(table->RowNumber(), i);
  }
  EXPECT_EQ(table->RowCount(), 3);
}

}  // namespace
}  // namespace accessdb
