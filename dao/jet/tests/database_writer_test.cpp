// Creating tables in a database with the catalog's checks, and column
// properties (Required) that the engine then enforces and readers see.
#include "dao/jet/database_writer.h"

#include <gtest/gtest.h>


#include "dao/jet/jet_database.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/jet_error_of.h"
#include "dao/jet/tests/write_test_support.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

using testing::JetErrorOf;

const std::vector<NewColumn> kNuta = {{"Nahrungsmittel", ColumnType::kText, 100}, {"Kcal", ColumnType::kLong}};

TEST(DatabaseWriterTest, TablesAreCreatedWithTheCatalogsChecks) {
  testing::MemoryDatabase database(kJet4Layout);
  DatabaseWriter writer(database.File(), kJet4Layout, database.Codec());
  const std::uint32_t id = writer.CreateTable("Nuta", kNuta, {}, 45000);
  EXPECT_EQ(JetErrorOf([&] { writer.CreateTable("NUTA", kNuta, {}, 45000); }), 3010);
  EXPECT_EQ(JetErrorOf([&] { writer.CreateTable("MSysObjects", kNuta, {}, 45000); }), 3010);
  EXPECT_EQ(JetErrorOf([&] { writer.CreateTable("a.b", kNuta, {}, 45000); }), 3125);
  EXPECT_EQ(JetErrorOf([&] { writer.CreateTable(std::string(65, 'x'), kNuta, {}, 45000); }), 3125);
  EXPECT_EQ(JetErrorOf([&] { writer.CreateTable("Twice", {kNuta[0], kNuta[0]}, {}, 45000); }), 3191);
  EXPECT_EQ(JetErrorOf([&] {
              writer.CreateTable("MemoIndex", {{"Note", ColumnType::kMemo}}, {{"Note", {{0, false}}}}, 45000);
            }),
            kErrInvalidArgument);
  const std::uint32_t second = writer.CreateTable("Zweite", kNuta, {}, 45000);
  EXPECT_GT(second, id);

  // Our reader sees both tables; MSysObjects counts them and its indexes hold them.
  JetDatabase reopened(std::make_unique<MemoryStorage>(database.Image()));
  ASSERT_NE(reopened.FindTable("nuta"), nullptr);
  EXPECT_EQ(reopened.FindTable("Zweite")->id, second);
  TableWriter& objects = writer.Table(kMSysObjectsPage);
  EXPECT_EQ(objects.Definition().rowCount, 10u);
  for (std::size_t i = 0; i < objects.Definition().realIndexes.size(); ++i)
    EXPECT_EQ(objects.IndexEntries(i), objects.ExpectedIndexEntries(i));
  TableWriter& aces = writer.Table(kMSysACEsPage);
  EXPECT_EQ(aces.Definition().rowCount, 20u);  // the Admin and Users accounts on each new table
  EXPECT_EQ(aces.IndexEntries(0), aces.ExpectedIndexEntries(0));
}

TEST(DatabaseWriterTest, RequiredIsStoredAndEnforced) {
  for (const Layout* layout : {&kJet4Layout, &kJet3Layout}) {
    testing::MemoryDatabase database(*layout);
    DatabaseWriter writer(database.File(), *layout, database.Codec());
    const std::uint32_t id = writer.CreateTable("Nuta", kNuta, {}, 45000);
    const auto entry = [&] {
      for (const CatalogEntry& e : writer.Catalog())
        if (e.id == id) return e;
      throw std::logic_error("table missing");
    };
    writer.SetProperty(entry(), "Kcal",
                       {"Required", static_cast<std::uint8_t>(ColumnType::kBoolean), true, platform::Variant(true)});
    std::vector<FieldValue> row = {FieldValue::Text("Apfel"), FieldValue::Null()};
    EXPECT_EQ(JetErrorOf([&] { writer.Table(id).Insert(row); }), kErrRequiredValue);
    row[1] = FieldValue::Integer(52);
    writer.Table(id).Insert(row);

    JetDatabase reopened(std::make_unique<MemoryStorage>(database.Image()));
    const auto properties = reopened.Properties(*reopened.FindTable("Nuta"));
    ASSERT_EQ(properties->ColumnProperties("Kcal").size(), 1u);
    EXPECT_EQ(properties->ColumnProperties("Kcal")[0].value, platform::Variant(true));
    EXPECT_EQ(reopened.Table(id)->rowCount, 1u);

    if (!testing::HaveMdbTools()) continue;
    const platform::testing::TempFolder folder;
    const std::string file = folder.File("required.mdb");
    database.SaveAs(file);
    EXPECT_EQ(testing::MdbTables(file, false), "Nuta\n");
    EXPECT_EQ(testing::MdbExport(file, "Nuta"), "Nahrungsmittel,Kcal\n\"Apfel\",52\n");
  }
}

}  // namespace
}  // namespace dao::jet
