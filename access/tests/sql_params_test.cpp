// TAccessTable with an SQL text: the parameters found in it, the literal
// each value becomes in the text (under English and German number
// formats), the whole-word rule, the stored "ParamData", and SQL texts
// with parameters opened on a copy of a Nutaro database.

#include <gtest/gtest.h>

#include <algorithm>

#include "access/access_table.h"
#include "access/dao_helpers.h"
#include "access/tests/access_test_support.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "platform/guids.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using testing::TextRows;

constexpr int kName = 0;
constexpr int kKcal = 1;
constexpr int kRubrik = 7;

// A closed table whose Params are exactly `names` (the SQL not parsed).
std::unique_ptr<TAccessTable> TableWithParams(const std::string& sql, std::initializer_list<const char*> names) {
  auto table = std::make_unique<TAccessTable>("AccessTable1");
  table->SetParamCheck(false);
  table->SetSQL(sql);
  for (const char* name : names) table->Params().Add(name);
  table->SetParamCheck(true);
  return table;
}

std::string Substituted(TAccessTable& table) { return table.SubstitutedSQL(table.SQL()); }

// The food names of rows (their numbers are written in the locale's form).
std::vector<std::string> FoodNames(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::string> names;
  for (const auto& row : rows) names.push_back(row[kName]);
  return names;
}

TEST(SqlParamSubstitution, ReplacesWholeWordsInAnyCaseOnly) {
  auto table = TableWithParams(
      "a=:kal or b=:KAL or c=:Kalorien or d=x:kal or e=:kal_1 or f=(:kal) or g=:kalä or h=ä:kal or i=€:kal or "
      "j=:kal",
      {"Kal"});
  table->Params()[0].SetDataType(ftInteger);
  table->Params()[0].SetValue(Variant(std::int32_t{5}));
  // Letters of the code page (ä) continue a name; € does not.
  EXPECT_EQ(Substituted(*table),
            "a=5 or b=5 or c=:Kalorien or d=x:kal or e=:kal_1 or f=(5) or g=:kalä or h=ä:kal or i=€5 or j=5");
}

TEST(SqlParamSubstitution, PutsEachLiteralInOnceAndNeverSearchesIt) {
  auto table = TableWithParams("x = :a and y = :b and z = :c", {"a", "b", "c"});
  table->Params()[0].SetDataType(ftString);
  table->Params()[0].SetValue(Variant(":b is \"quoted\""));
  table->Params()[1].SetDataType(ftInteger);
  table->Params()[1].SetValue(Variant(std::int32_t{1}));
  EXPECT_EQ(Substituted(*table), "x = \":b is \"\"quoted\"\"\" and y = 1 and z =  IS NULL");
  table->SetParamCheck(false);
  EXPECT_EQ(Substituted(*table), "x = :a and y = :b and z = :c");
}

TEST(SqlParamSubstitution, WritesEveryTypeInAccessFormWhateverTheLocale) {
  const platform::TDateTime christmas = platform::EncodeDate(2026, 12, 24) + platform::EncodeTime(7, 5, 9, 0);
  const platform::Guid guid = platform::ParseGuid("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}");
  struct Case {
    TFieldType type;
    Variant value;
    std::string literal;
  };
  const std::vector<Case> cases = {
      {ftString, Variant("Käse \"alt\""), "\"Käse \"\"alt\"\"\""},
      {ftMemo, Variant("a\r\nb"), "\"a\r\nb\""},
      {ftBlob, Variant("x"), "\"x\""},
      {ftFloat, Variant(1234.5), "1234.5"},
      {ftFloat, Variant(-0.25), "-0.25"},
      {ftCurrency, Variant(2.5), "2.5"},
      {ftBCD, Variant(1e20), "1E20"},
      {ftDate, Variant::FromDate(christmas), "#12/24/2026#"},
      {ftTime, Variant::FromDate(christmas), "#07:05:09#"},
      {ftDateTime, Variant::FromDate(christmas), "#12/24/2026 07:05:09#"},
      {ftDate, Variant::FromDate(platform::EncodeDate(812, 3, 4)), "#03/04/0812#"},
      {ftBytes, Variant(guid), "{guid {0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}}"},
      {ftBytes, Variant(platform::Bytes(guid.bytes.begin(), guid.bytes.end())),
       "{guid {0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}}"},
      {ftBytes, Variant(platform::Guid{}), "{guid }"},
      {ftBytes, Variant(platform::Bytes{1, 2, 3}), "{guid }"},
      {ftInteger, Variant(std::int32_t{-42}), "-42"},
      {ftAutoInc, Variant(std::int32_t{7}), "7"},
      // A value without a type is written as the kind of value it is, so
      // that a text never becomes SQL code.
      {ftUnknown, Variant("x OR 1=1"), "\"x OR 1=1\""},
      {ftUnknown, Variant(0.5), "0.5"},
      {ftUnknown, Variant::FromDate(christmas), "#12/24/2026 07:05:09#"},
      {ftUnknown, Variant(std::int32_t{3}), "3"},
  };
  for (const auto& settings : {platform::EnglishUsFormatSettings(), platform::GermanFormatSettings()}) {
    platform::ScopedFormatSettings locale(settings);
    for (const Case& c : cases) {
      auto table = TableWithParams("v=:p", {"p"});
      table->Params()[0].SetDataType(c.type);
      table->Params()[0].SetValue(c.value);
      EXPECT_EQ(Substituted(*table), "v=" + c.literal) << FieldTypeName(c.type) << " " << settings.decimalSeparator;
    }
  }
}

TEST(SqlParamSubstitution, TakesNumbersTypedInTheUsersFormat) {
  auto table = TableWithParams("v=:p", {"p"});
  table->Params()[0].SetDataType(ftFloat);
  {
    platform::ScopedFormatSettings german(platform::GermanFormatSettings());
    table->Params()[0].SetValue(Variant("1.234,5"));
    EXPECT_EQ(Substituted(*table), "v=1234.5");
  }
  platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  table->Params()[0].SetValue(Variant("1,234.5"));
  EXPECT_EQ(Substituted(*table), "v=1234.5");
}

TEST(SqlParamSubstitution, NamesContinueWithTheLettersAndDigitsOfTheCodePage) {
  TAccessTable table;
  const std::u32string& chars = table.IdentifierChars();
  EXPECT_EQ(chars.front(), U'_');
  for (const char32_t c : std::u32string(U"09azAZäÄßéµªº²")) EXPECT_NE(chars.find(c), std::u32string::npos) << static_cast<std::uint32_t>(c);
  for (const char32_t c : std::u32string(U" :;,.-+*/()[]#\"'×÷€„–™")) EXPECT_EQ(chars.find(c), std::u32string::npos) << static_cast<std::uint32_t>(c);
}

TEST(SqlParamList, FollowsTheTextUnlessLoadingOrSwitchedOff) {
  TAccessTable table;
  table.SetSQL("Select * from nuta where Rubrik = :rub and Kcal > :kcal");
  ASSERT_EQ(table.Params().Count(), 2);
  table.Params()[0].SetValue(Variant("Obst"));
  table.SetSQL("Select * from nuta where Rubrik = :RUB");
  ASSERT_EQ(table.Params().Count(), 1);
  EXPECT_EQ(table.Params()[0].Value(), Variant("Obst"));

  TParams given;
  given.Add("rub").SetValue(Variant("Käse"));
  given.Add("other").SetValue(Variant("not taken"));
  table.SetParams(given);
  EXPECT_EQ(table.Params().Count(), 1);
  EXPECT_EQ(table.Params()[0].Value(), Variant("Käse"));

  table.SetParamCheck(false);
  table.SetSQL("Select * from nuta where Kcal = :k");
  EXPECT_EQ(table.Params().Count(), 1);
  EXPECT_EQ(table.Params()[0].Name(), "RUB");
  table.SetParamCheck(true);
  // A table name is another source: the SQL and its parameters go.
  table.SetTableName("nuta");
  EXPECT_TRUE(table.SQL().empty());
  EXPECT_TRUE(table.Params().Empty());
}

TEST(SqlParamData, IsStoredWhenItDiffersAndComesBackWhileLoading) {
  TAccessTable stored("Stored");
  EXPECT_FALSE(stored.ParamDataStored(nullptr));
  stored.SetSQL("Select * from nuta where Rubrik = :rub");
  EXPECT_TRUE(stored.ParamDataStored(nullptr));
  stored.Params()[0].SetDataType(ftString);
  stored.Params()[0].SetValue(Variant("Obst"));
  stored.Params().Add("extra").SetValue(Variant(1.5));

  TAccessTable ancestor("Ancestor");
  EXPECT_TRUE(stored.ParamDataStored(&ancestor));
  ancestor.SetParamData(stored.ParamData());
  EXPECT_FALSE(stored.ParamDataStored(&ancestor));
  ancestor.Params()[1].SetValue(Variant(2.5));
  EXPECT_TRUE(stored.ParamDataStored(&ancestor));

  // Reading the stored form: the SQL comes first and must not replace the
  // parameters that come with it.
  TAccessTable loaded("Loaded");
  loaded.BeginLoading();
  loaded.SetSQL(stored.SQL());
  EXPECT_TRUE(loaded.Params().Empty());
  loaded.SetParamData(stored.ParamData());
  loaded.Loaded();
  EXPECT_EQ(loaded.Params(), stored.Params());
}

class SqlParamsOpenTest : public testing::AccessTest {
 protected:
  void SetUp() override {
    AccessTest::SetUp();
    if (IsSkipped()) return;
    database_ = Connect(CopyFixture("nutaro/nuta4-basic.mdb"));
    all_ = TextRows(*OpenTable(*database_, "nuta"));
  }

  // The rows of the SQL text opened with the parameter values already set
  // in `table`.
  std::vector<std::vector<std::string>> Rows(TAccessTable& table) {
    table.SetDatabase(database_.get());
    table.SetActive(true);
    auto rows = TextRows(table);
    table.SetActive(false);
    return rows;
  }

  std::vector<std::vector<std::string>> Scan(const std::function<bool(const std::vector<std::string>&)>& keep) {
    std::vector<std::vector<std::string>> rows;
    std::copy_if(all_.begin(), all_.end(), std::back_inserter(rows), keep);
    return rows;
  }

  std::unique_ptr<TAccessDatabase> database_;
  std::vector<std::vector<std::string>> all_;
};

TEST_F(SqlParamsOpenTest, TheConvertersTextOpensUnchanged) {
  TAccessTable table("AccessTable1");
  table.SetSQL("Select * from nuta");
  EXPECT_TRUE(table.Params().Empty());
  EXPECT_EQ(Rows(table), all_);
}

TEST_F(SqlParamsOpenTest, ParametersSelectTheRowsAScanSelects) {
  TAccessTable table("AccessTable1");
  table.SetSQL("Select * from nuta where Rubrik = :Rubrik");
  table.Params()[0].SetDataType(ftString);
  for (const char* rubrik : {"Obst", "Fette & Öle", "Süßwaren", "Keine"}) {
    table.Params()[0].SetValue(Variant(rubrik));
    EXPECT_EQ(Rows(table), Scan([&](const auto& row) { return row[kRubrik] == rubrik; })) << rubrik;
  }
  // Null written directly after the field name is a test for Null (the
  // zero-length Rubrik of "Müsliriegel" is no Null to DAO).
  table.SetSQL("Select * from nuta where [Rubrik]:Rubrik");
  table.Params()[0].Clear();
  EXPECT_EQ(Rows(table), Scan([&](const auto& row) { return row[kName] == "Kräutertee, ungesüßt"; }));
}

TEST_F(SqlParamsOpenTest, DecimalsAndDatesReachDaoInItsFormUnderEveryLocale) {
  for (const auto& settings : {platform::EnglishUsFormatSettings(), platform::GermanFormatSettings()}) {
    platform::ScopedFormatSettings locale(settings);
    TAccessTable table("AccessTable1");
    table.SetSQL("Select * from nuta where Kcal > :k and :today > :earlier");
    table.Params()[0].SetDataType(ftFloat);
    table.Params()[0].SetValue(Variant(300.5));
    table.Params()[1].SetDataType(ftDateTime);
    table.Params()[1].SetValue(Variant::FromDate(platform::EncodeDate(2026, 12, 24) + 0.75));
    table.Params()[2].SetDataType(ftDate);
    table.Params()[2].SetValue(Variant::FromDate(platform::EncodeDate(2026, 1, 13)));
    EXPECT_EQ(FoodNames(Rows(table)), FoodNames(Scan([&](const auto& row) { return std::stoi(row[kKcal]) > 300; })))
        << settings.decimalSeparator;
    table.Params()[0].SetValue(Variant(299.5));
    EXPECT_EQ(FoodNames(Rows(table)), FoodNames(Scan([&](const auto& row) { return std::stoi(row[kKcal]) > 299; })));
  }
}

}  // namespace
}  // namespace accessdb
