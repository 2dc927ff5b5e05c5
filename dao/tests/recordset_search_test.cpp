// Searching recordsets: Filter and Sort with the recordsets derived from
// them, the Find methods with NoMatch, and Seek on the indexes of
// Access-made tables and of ours, checked against a walk of the rows in
// index order.

#include <gtest/gtest.h>

#include <random>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/sql/values.h"
#include "dao/tests/write_support.h"
#include "platform/codepage.h"
#include "platform/guids.h"

namespace dao {
namespace {

using platform::Variant;

std::vector<std::string> Names(Recordset& recordset) {
  std::vector<std::string> names;
  for (; !recordset.AtEOF(); recordset.MoveNext()) names.push_back(recordset.Fields().Item("Name")->Value().ToText());
  return names;
}

class SearchTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    database_ = NewDatabase("search.mdb");
    auto table = database_->CreateTableDef("Food");
    testing::AppendField(*table, "Id", dbLong, 0, dbAutoIncrField);
    testing::AppendField(*table, "Name", dbText, 50);
    testing::AppendField(*table, "Kcal", dbLong);
    testing::AppendIndex(*table, "PrimaryKey", {"Id"}, true);
    testing::AppendIndex(*table, "ByKcalName", {"-Kcal", "Name"});
    database_->TableDefs().Append(table);
    const auto rows = database_->OpenRecordset("Food", dbOpenTable);
    for (const auto& [name, kcal] : std::vector<std::pair<const char*, Variant>>{
             {"apple", Variant(52)}, {"Bread", Variant(245)}, {"butter", Variant(741)}, {"Cheese", Variant::Null()},
             {"banana", Variant(93)}, {"bagel", Variant(245)}}) {
      testing::AddRow(*rows, {{"Name", Variant(name)}, {"Kcal", kcal}});
    }
  }

  std::shared_ptr<Database> database_;
};

TEST_F(SearchTest, FilterAndSortShapeTheDerivedRecordsetOnly) {
  const auto dynaset = database_->OpenRecordset("SELECT Name, Kcal, Kcal * 2 AS Twice FROM Food");
  dynaset->SetFilter("Twice > 150 AND Name <> 'butter'");
  dynaset->SetSort("Kcal DESC, Food.Name");
  const auto derived = dynaset->OpenRecordset();
  EXPECT_EQ(derived->Type(), dbOpenDynaset);
  EXPECT_EQ(Names(*derived), (std::vector<std::string>{"bagel", "Bread", "banana"}));
  EXPECT_EQ(Names(*dynaset).size(), 6u);
  // The derived dynaset changes the table's rows.
  derived->MoveFirst();
  derived->Edit();
  derived->Fields().Item("Kcal")->SetValue(Variant(246));
  derived->Update();
  EXPECT_EQ(Names(*database_->OpenRecordset("SELECT Name FROM Food WHERE Kcal = 246")), (std::vector<std::string>{"bagel"}));

  const auto snapshot = dynaset->OpenRecordset(dbOpenSnapshot);
  EXPECT_FALSE(snapshot->Updatable());
  const auto table = database_->OpenRecordset("Food", dbOpenTable);
  EXPECT_EQ(ErrorOf([&] { table->SetFilter("Kcal > 1"); }), 3251);
  dynaset->SetFilter("Kcal >");
  EXPECT_EQ(ErrorOf([&] { dynaset->OpenRecordset(); }), 3075);
  dynaset->SetFilter("Calories > 1");
  EXPECT_EQ(ErrorOf([&] { dynaset->OpenRecordset(); }), 3061);
  dynaset->SetFilter("");
  dynaset->SetSort("Kcal DESC");
  EXPECT_EQ(Names(*dynaset->OpenRecordset()).front(), "butter");
  EXPECT_EQ(ErrorOf([&] { dynaset->OpenRecordset(dbOpenTable); }), 3219);
}

TEST_F(SearchTest, GuidLiteralsCompareWithGuidFields) {
  auto table = database_->CreateTableDef("Codes");
  testing::AppendField(*table, "Name", dbText, 50);
  testing::AppendField(*table, "Code", dbGUID);
  database_->TableDefs().Append(table);
  const platform::Guid first = platform::ParseGuid("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  const platform::Guid second = platform::ParseGuid("{11111111-2222-3333-4444-555555555555}");
  const auto rows = database_->OpenRecordset("Codes", dbOpenTable);
  testing::AddRow(*rows, {{"Name", Variant("first")}, {"Code", Variant(first)}});
  testing::AddRow(*rows, {{"Name", Variant("second")}, {"Code", Variant(second)}});
  testing::AddRow(*rows, {{"Name", Variant("none")}});
  // The word is taken in any case, the GUID in either case of its digits.
  EXPECT_EQ(Names(*database_->OpenRecordset(
                "SELECT Name FROM Codes WHERE Code = {GUID {0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}}")),
            (std::vector<std::string>{"first"}));
  const auto dynaset = database_->OpenRecordset("Codes", dbOpenDynaset);
  dynaset->SetFilter("(Code = {guid {11111111-2222-3333-4444-555555555555}}) AND (Name <> \"x\")");
  EXPECT_EQ(Names(*dynaset->OpenRecordset()), (std::vector<std::string>{"second"}));
  for (const char* bad : {"Code = {guid }", "Code = {guid {0A1B2C3D}}", "Code = {0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}",
                          "Code = {guid {0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}"}) {
    dynaset->SetFilter(bad);
    EXPECT_EQ(ErrorOf([&] { dynaset->OpenRecordset(); }), 3075) << bad;
  }
}

TEST_F(SearchTest, FindMovesToMatchesAndKeepsTheRowWhenNothingMatches) {
  const auto recordset = database_->OpenRecordset("SELECT * FROM Food ORDER BY Id", dbOpenSnapshot);
  const auto name = [&] { return recordset->Fields().Item("Name")->Value().ToText(); };
  recordset->FindFirst("Name LIKE 'b*'");
  EXPECT_FALSE(recordset->NoMatch());
  EXPECT_EQ(name(), "Bread");
  recordset->FindNext("Name LIKE 'b*'");
  EXPECT_EQ(name(), "butter");
  recordset->FindLast("Name LIKE 'b*'");
  EXPECT_EQ(name(), "bagel");
  recordset->FindPrevious("Name LIKE 'b*'");
  EXPECT_EQ(name(), "banana");
  recordset->FindNext("Kcal IS NULL");
  EXPECT_TRUE(recordset->NoMatch());
  EXPECT_EQ(name(), "banana");
  recordset->FindPrevious("Kcal IS NULL");
  EXPECT_FALSE(recordset->NoMatch());
  EXPECT_EQ(name(), "Cheese");
  recordset->FindFirst("Kcal = 1");
  EXPECT_TRUE(recordset->NoMatch());
  EXPECT_EQ(name(), "Cheese");
  EXPECT_EQ(ErrorOf([&] { recordset->FindFirst("Kcal ="); }), 3075);
  const auto table = database_->OpenRecordset("Food", dbOpenTable);
  EXPECT_EQ(ErrorOf([&] { table->FindFirst("Kcal = 1"); }), 3251);
}

TEST_F(SearchTest, IndexOrdersATableTypeRecordsetAndFollowsItsChanges) {
  const auto table = database_->OpenRecordset("Food", dbOpenTable);
  EXPECT_EQ(ErrorOf([&] { table->Seek("=", {Variant(1)}); }), 3019);
  EXPECT_EQ(ErrorOf([&] { table->SetIndex("Nothing"); }), 3800);
  table->SetIndex("ByKcalName");
  // Kcal descending, Null last; then Name ascending.
  EXPECT_EQ(Names(*table), (std::vector<std::string>{"butter", "bagel", "Bread", "banana", "apple", "Cheese"}));
  table->Seek("=", {Variant(245)});
  EXPECT_EQ(table->Fields().Item("Name")->Value(), Variant("bagel"));
  table->Edit();
  table->Fields().Item("Kcal")->SetValue(Variant(50));
  table->Update();
  table->MoveFirst();
  EXPECT_EQ(Names(*table), (std::vector<std::string>{"butter", "Bread", "banana", "apple", "bagel", "Cheese"}));
  table->Seek(">", {Variant(245)});
  EXPECT_EQ(table->Fields().Item("Name")->Value(), Variant("banana"));
  table->Seek("=", {Variant(245), Variant("BREAD")});
  EXPECT_EQ(table->Fields().Item("Name")->Value(), Variant("Bread"));
  table->Seek("=", {Variant(1000)});
  EXPECT_TRUE(table->NoMatch());
  EXPECT_EQ(ErrorOf([&] { table->Fields().Item("Name")->Value(); }), 3021);
  EXPECT_EQ(ErrorOf([&] { table->Seek("~", {Variant(1)}); }), 3001);
  EXPECT_EQ(ErrorOf([&] { table->Seek("=", {Variant(1), Variant("a"), Variant(2)}); }), 3001);
  const auto dynaset = database_->OpenRecordset("Food", dbOpenDynaset);
  EXPECT_EQ(ErrorOf([&] { dynaset->SetIndex("PrimaryKey"); }), 3251);
}

TEST_F(SearchTest, MovingFromADeletedRowGoesOnInIndexOrder) {
  const auto table = database_->OpenRecordset("Food", dbOpenTable);
  table->SetIndex("ByKcalName");
  // butter, bagel, Bread, banana, apple, Cheese
  table->Seek("=", {Variant(245), Variant("Bread")});
  table->Delete();
  EXPECT_EQ(ErrorOf([&] { table->Fields().Item("Name")->Value(); }), 3167);
  table->MoveNext();
  EXPECT_EQ(table->Fields().Item("Name")->Value(), Variant("banana"));
  table->MoveLast();
  table->Delete();
  table->MoveNext();
  EXPECT_TRUE(table->AtEOF());
  table->MoveLast();
  EXPECT_EQ(table->Fields().Item("Name")->Value(), Variant("apple"));
  table->MoveFirst();
  table->Delete();
  table->MovePrevious();
  EXPECT_TRUE(table->AtBOF());
  table->MoveFirst();
  EXPECT_EQ(Names(*table), (std::vector<std::string>{"bagel", "banana", "apple"}));
}

// The row a Seek should find, worked out by walking the rows in index
// order and comparing field values.
struct IndexedRow {
  std::vector<Variant> key;
  platform::Bytes bookmark;
};

std::optional<platform::Bytes> ExpectedSeek(const std::vector<IndexedRow>& rows, const std::vector<bool>& descending,
                                            const std::string& comparison, const std::vector<Variant>& probe,
                                            const sql::TextOrder& order) {
  const auto compare = [&](const IndexedRow& row) {
    for (std::size_t i = 0; i < probe.size(); ++i) {
      const int c = sql::OrderCompare(row.key[i], probe[i], order);
      if (c != 0) return descending[i] ? -c : c;
    }
    return 0;
  };
  std::optional<platform::Bytes> found;
  for (const IndexedRow& row : rows) {
    const int c = compare(row);
    if (comparison == "=" && c == 0) return row.bookmark;
    if (comparison == ">=" && c >= 0) return row.bookmark;
    if (comparison == ">" && c > 0) return row.bookmark;
    if (comparison == "<" && c < 0) found = row.bookmark;
    if (comparison == "<=" && c <= 0) found = row.bookmark;
  }
  return found;
}

// Seeks with keys taken from the rows (and changed a little) and with
// every comparison, on every index of `table`; returns the seeks made.
int CheckSeeks(Database& database, const std::string& tableName, std::mt19937& random) {
  const auto tableDef = database.TableDefs().Item(tableName);
  const jet::TextCodec codec(database.Version() == "3.0" ? jet::Version::kJet3 : jet::Version::kJet4, 1252);
  const sql::TextOrder order(codec);
  int seeks = 0;
  for (const auto& index : tableDef->Indexes()) {
    SCOPED_TRACE(tableName + "." + index->Name());
    const auto recordset = database.OpenRecordset(tableName, dbOpenTable);
    recordset->SetIndex(index->Name());
    std::vector<IndexedRow> rows;
    std::vector<bool> descending;
    for (const auto& field : index->Fields()) descending.push_back((field->Attributes() & dbDescending) != 0);
    for (; !recordset->AtEOF(); recordset->MoveNext()) {
      IndexedRow row;
      for (const auto& field : index->Fields()) row.key.push_back(recordset->Fields().Item(field->Name())->Value());
      row.bookmark = recordset->Bookmark();
      rows.push_back(std::move(row));
    }
    // Texts with characters outside the sort order's table (which Access
    // keyed with codes of its own) have no place in it to compare with.
    const bool orderable = std::all_of(rows.begin(), rows.end(), [](const IndexedRow& row) {
      return std::all_of(row.key.begin(), row.key.end(), [](const Variant& value) {
        return value.StringIf() == nullptr || platform::CanEncode(*value.StringIf(), 1252);
      });
    });
    if (!orderable) {
      // Still, every row's own key finds a row with that key.
      for (const IndexedRow& row : rows) {
        recordset->Seek("=", row.key);
        EXPECT_FALSE(recordset->NoMatch());
        if (recordset->NoMatch()) continue;
        for (std::size_t i = 0; i < row.key.size(); ++i) {
          const Variant found = recordset->Fields().Item(index->Fields().Item(static_cast<int>(i))->Name())->Value();
          EXPECT_TRUE(platform::AnsiSameText(found.ToText(), row.key[i].ToText()));
        }
        ++seeks;
      }
      continue;
    }
    if (rows.empty()) continue;
    for (int probeNumber = 0; probeNumber < 24; ++probeNumber) {
      std::vector<Variant> probe = rows[random() % rows.size()].key;
      probe.resize(1 + random() % probe.size());
      Variant& last = probe.back();
      // Now and then a value between the stored ones, or another case.
      if (random() % 3 == 0 && !last.IsNull()) {
        if (const std::string* text = last.StringIf()) {
          last = Variant(random() % 2 ? platform::AnsiUpperCase(*text) : *text + "m");
        } else if (sql::IsNumeric(last) && last.Type() != platform::VariantType::kBoolean) {
          // Keys are converted to the field's type: whole numbers move by one.
          const bool whole = last.Type() == platform::VariantType::kByte || last.Type() == platform::VariantType::kInt16 ||
                             last.Type() == platform::VariantType::kInt32;
          const double moved = last.ToDouble() + (random() % 2 ? 1 : -1) * (whole ? 1.0 : 0.5);
          if (last.Type() != platform::VariantType::kByte || (moved >= 0 && moved <= 255)) last = Variant(moved);
        }
      }
      for (const char* comparison : {"=", ">=", ">", "<", "<="}) {
        SCOPED_TRACE(comparison);
        recordset->Seek(comparison, probe);
        const std::optional<platform::Bytes> expected = ExpectedSeek(rows, descending, comparison, probe, order);
        EXPECT_EQ(recordset->NoMatch(), !expected);
        if (expected && !recordset->NoMatch()) EXPECT_EQ(recordset->Bookmark(), *expected);
        ++seeks;
      }
    }
  }
  return seeks;
}

TEST(SeekFixtureTest, SeekFindsWhatAWalkInIndexOrderFindsOnAccessMadeIndexes) {
  const auto engine = DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("seek", "Admin", "");
  std::mt19937 random(11);
  int seeks = 0;
  for (const auto& path : jet::testing::FixtureDatabases()) {
    SCOPED_TRACE(path.filename().string());
    const auto database = workspace->OpenDatabase(path.string(), false, true);
    for (const auto& table : database->TableDefs()) {
      if ((table->Attributes() & dbSystemObject) != 0) continue;
      seeks += CheckSeeks(*database, table->Name(), random);
    }
  }
  if (jet::testing::FixtureDatabases().empty()) GTEST_SKIP() << "fixture folder is absent";
  EXPECT_GT(seeks, 1000);
}

TEST_F(SearchTest, SeekFindsWhatAWalkFindsOnIndexesOfEveryTypeWeBuild) {
  auto table = database_->CreateTableDef("Types");
  const std::vector<std::pair<std::string, int>> fields = {
      {"Bool", dbBoolean}, {"Byte", dbByte},         {"Int", dbInteger}, {"Long", dbLong},    {"Money", dbCurrency},
      {"Single", dbSingle}, {"Double", dbDouble},    {"Date", dbDate},   {"Text", dbText},    {"Guid", dbGUID},
      {"Binary", dbBinary}};
  for (const auto& [name, type] : fields) testing::AppendField(*table, name, type, type == dbBinary ? 8 : 0);
  testing::AppendIndex(*table, "ByText", {"Text"});
  testing::AppendIndex(*table, "ByDoubleDesc", {"-Double"});
  testing::AppendIndex(*table, "Compound", {"Bool", "-Byte", "Int", "Text"});
  testing::AppendIndex(*table, "Compound2", {"Long", "-Money", "Single", "-Date"});
  testing::AppendIndex(*table, "ByGuid", {"Guid"});
  testing::AppendIndex(*table, "ByBinary", {"-Binary", "Long"});
  database_->TableDefs().Append(table);
  std::mt19937 random(5);
  const auto rows = database_->OpenRecordset("Types", dbOpenTable);
  const char* words[] = {"Apfel", "apfel", "Äpfel", "Birne", "b", "Zebra", "zz", "Öl", "oel", "straße", "Strasse", "-"};
  for (int i = 0; i < 300; ++i) {
    rows->AddNew();
    const auto maybe = [&](Variant value) { return random() % 8 == 0 ? Variant::Null() : value; };
    rows->Fields().Item("Bool")->SetValue(Variant(random() % 2 == 0));
    rows->Fields().Item("Byte")->SetValue(maybe(Variant(static_cast<std::uint8_t>(random() % 6))));
    rows->Fields().Item("Int")->SetValue(maybe(Variant(static_cast<std::int16_t>(static_cast<int>(random() % 9) - 4))));
    rows->Fields().Item("Long")->SetValue(maybe(Variant(static_cast<std::int32_t>(random() % 7) - 3)));
    rows->Fields().Item("Money")->SetValue(maybe(Variant(platform::Currency{static_cast<std::int64_t>(random() % 5) * 2500 - 5000})));
    rows->Fields().Item("Single")->SetValue(maybe(Variant(static_cast<float>(random() % 7) / 4.0f - 0.75f)));
    rows->Fields().Item("Double")->SetValue(maybe(Variant(static_cast<double>(random() % 1000) / 7.0 - 70.0)));
    rows->Fields().Item("Date")->SetValue(maybe(Variant::FromDate(static_cast<double>(random() % 5) * 3000.5 - 5000.0)));
    rows->Fields().Item("Text")->SetValue(maybe(Variant(words[random() % std::size(words)])));
    platform::Guid guid;
    for (auto& byte : guid.bytes) byte = static_cast<std::uint8_t>(random() % 3);
    rows->Fields().Item("Guid")->SetValue(maybe(Variant(guid)));
    rows->Fields().Item("Binary")->SetValue(maybe(Variant(platform::Bytes(random() % 4, static_cast<std::uint8_t>(random() % 3)))));
    rows->Update();
  }
  EXPECT_GT(CheckSeeks(*database_, "Types", random), 500);
}

}  // namespace
}  // namespace dao
