// Hostile SQL text: valid statements mutated by byte flips, truncations,
// repeated stretches and deep nesting go through parsing, binding and
// running against a small database. Each must end in a result or a DAO
// error: no crash, no hang, no other exception (run under AddressSanitizer
// and UBSan in CI). Nesting deep enough to exhaust the stack is refused
// with an error.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dao/constants.h"
#include "dao/dao_error.h"
#include "dao/db_engine.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;

constexpr int kMutations = 100'000;
// A fresh copy of the database after this many statements, so that
// mutated DELETEs and DROPs do not leave the rest nothing to work on.
constexpr int kStatementsPerCopy = 5'000;

const std::vector<std::string> kCorpus{
    "SELECT * FROM Food WHERE Kcal > 100 ORDER BY Name",
    "SELECT DISTINCT [Group] FROM Food",
    "SELECT TOP 2 Name, Kcal * 4.184 AS Kj FROM Food ORDER BY Kcal DESC",
    "SELECT TOP 50 PERCENT * FROM Food",
    "SELECT Food.*, Note FROM Food INNER JOIN Groups ON Food.[Group] = Groups.Name",
    "SELECT f.Name, g.Note FROM Food AS f LEFT JOIN Groups AS g ON f.[Group] = g.Name WHERE g.Note IS NULL",
    "SELECT g.Name, Count(*), Sum(Kcal), Avg(Fat), Min(f.Name), Max(Kcal), First(f.Name), Last(Fat) FROM Food f, "
    "Groups g WHERE f.[Group] = g.Name GROUP BY g.Name HAVING Count(*) > 1",
    "SELECT Name FROM Food WHERE Name LIKE '[a-c]*' OR Name LIKE '?a#*' OR Name NOT LIKE '[!x]*'",
    "SELECT Name FROM Food WHERE Kcal IN (52, 93, 245) AND Fat BETWEEN 0.1 AND 50 XOR Kcal IS NOT NULL",
    "SELECT Len(Name), Left(Name, 2), Right(Name, 3), Mid(Name, 2, 2), UCase(Name), LCase(Name), Trim(' x '), "
    "InStr(Name, 'a') FROM Food",
    "SELECT Nz(Kcal, 0), IIf(Kcal > 100, 'rich', 'lean'), Int(Fat), Fix(-Fat), Abs(-Kcal), Round(Fat, 1), "
    "Val('12abc'), CStr(Nz(Kcal)), CLng(Fat), CDbl(Nz(Kcal, 1)), CDate('2024-01-31') FROM Food",
    "SELECT Year(Eaten), Month(Eaten), Day(Eaten), Date(), Now() FROM Food WHERE Eaten > #1/31/2024#",
    "SELECT Name & ' (' & Kcal & ')' AS Label, Kcal Mod 7, Kcal \\ 3, Kcal / 2, -Kcal ^ 2 FROM Food",
    "PARAMETERS Least Long; SELECT * FROM Food WHERE Kcal >= Least",
    "SELECT * FROM Food WHERE Eaten BETWEEN #2024-01-01 10:00# AND #2024-12-31# AND True AND NOT False",
    "SELECT Name FROM Food UNION SELECT Name FROM Groups ORDER BY 1",
    "TRANSFORM Sum(Kcal) AS Total SELECT Name FROM Food GROUP BY Name PIVOT [Group] IN ('Fruit', 'Dairy')",
    "TRANSFORM Count(*) SELECT [Group], Avg(Fat) FROM Food WHERE Kcal > 10 AND Max(Fat) > 1 GROUP BY [Group] "
    "ORDER BY Avg(Fat) DESC PIVOT Year(Eaten)",
    "INSERT INTO Food (Name, Kcal, [Group]) VALUES ('kiwi', 61, 'Fruit')",
    "INSERT INTO Food (Name, Kcal) SELECT Name & '2', Kcal + 1 FROM Food WHERE Kcal < 100",
    "UPDATE Food SET Kcal = Kcal + 1, Fat = Null WHERE Name = 'apple'",
    "UPDATE Food SET Fat = 0 WHERE [Group] IN ('Fruit', 'Dairy') AND Name LIKE '*'",
    "DELETE FROM Food WHERE Kcal IS NULL",
    "DELETE Food.* FROM Food WHERE Name = 'kiwi'",
    "SELECT Name, Kcal INTO Rich FROM Food WHERE Kcal > 200",
    "CREATE TABLE Extra (Id COUNTER PRIMARY KEY, Label TEXT(20) NOT NULL, Amount CURRENCY, Seen DATETIME)",
    "CREATE UNIQUE INDEX ByName ON Food (Name DESC) WITH IGNORE NULL",
    "ALTER TABLE Food ADD COLUMN Salt DOUBLE",
    "DROP INDEX ByKcal ON Food",
    "DROP TABLE Rich",
};

// Statements the engine reads but does not run (updates through joins are
// refused): sources of mutations only.
const std::vector<std::string> kReadOnlyCorpus{
    "UPDATE Food INNER JOIN Groups ON Food.[Group] = Groups.Name SET Food.Fat = 0 WHERE Groups.Note LIKE '*'",
};

std::string Mutate(std::mt19937& random, const std::string& text) {
  std::string result = text;
  const auto at = [&](std::size_t size) {
    return size == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
  };
  const int steps = std::uniform_int_distribution<int>(1, 4)(random);
  for (int step = 0; step < steps; ++step) {
    switch (std::uniform_int_distribution<int>(0, 5)(random)) {
      case 0:
        if (!result.empty()) result[at(result.size())] = static_cast<char>(random());
        break;
      case 1:  // a character of the language's own
        if (!result.empty()) result[at(result.size())] = "()[]#'\"*?,;.&!-+<>= \\"[at(22)];
        break;
      case 2: result.resize(at(result.size() + 1)); break;
      case 3: {
        const std::size_t start = at(result.size() + 1), length = at(result.size() - start + 1);
        result.insert(at(result.size() + 1), result.substr(start, length));
        break;
      }
      case 4: result.erase(at(result.size() + 1), at(8)); break;
      default: {
        // Another statement's stretch spliced in.
        const std::string& other = kCorpus[at(kCorpus.size())];
        const std::size_t start = at(other.size() + 1);
        result.insert(at(result.size() + 1), other.substr(start, at(other.size() - start + 1)));
      }
    }
  }
  return result;
}

// Nesting of every kind the grammar allows, `depth` deep: expressions
// first (kNestedExpressions of them), then tables and subqueries.
constexpr std::size_t kNestedExpressions = 7;
std::vector<std::string> DeepStatements(int depth) {
  const auto repeat = [&](const std::string& part) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += part;
    return text;
  };
  return {
      "SELECT " + repeat("(") + "1" + repeat(")") + " FROM Food",
      "SELECT * FROM Food WHERE " + repeat("NOT ") + "Kcal > 1",
      "SELECT " + repeat("-") + "Kcal FROM Food",
      "SELECT " + repeat("Abs(") + "Kcal" + repeat(")") + " FROM Food",
      "SELECT Kcal" + repeat(" + Kcal") + " FROM Food",
      "SELECT Name" + repeat(" & Name") + " FROM Food",
      "SELECT * FROM Food WHERE Kcal = 1" + repeat(" OR Kcal = 1"),
      "SELECT " + repeat("IIf(True, ") + "1" + repeat(", 0)") + " FROM Food",
      "SELECT * FROM " + repeat("(") + "Food" + repeat(")"),
      "SELECT * FROM " + repeat("(Food INNER JOIN ") + "Food" + repeat(" ON 1 = 1)"),
      "SELECT * FROM Food WHERE Kcal IN (" + repeat("SELECT Kcal FROM Food WHERE Kcal IN (") + "1" + repeat(")") + ")",
      "SELECT " + repeat("2 ^ ") + "1 FROM Food",
  };
}

class SqlRobustnessTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    const auto database = NewDatabase("template.mdb");
    auto food = database->CreateTableDef("Food");
    testing::AppendField(*food, "Id", dbLong, 0, dbAutoIncrField);
    testing::AppendField(*food, "Name", dbText, 50);
    testing::AppendField(*food, "Kcal", dbLong);
    testing::AppendField(*food, "Fat", dbDouble);
    testing::AppendField(*food, "Group", dbText, 20);
    testing::AppendField(*food, "Eaten", dbDate);
    testing::AppendIndex(*food, "PrimaryKey", {"Id"}, true);
    testing::AppendIndex(*food, "ByKcal", {"Kcal"});
    database->TableDefs().Append(food);
    auto groups = database->CreateTableDef("Groups");
    testing::AppendField(*groups, "Name", dbText, 20);
    testing::AppendField(*groups, "Note", dbMemo);
    database->TableDefs().Append(groups);
    const auto rows = database->OpenRecordset("Food", dbOpenTable);
    const char* names[] = {"apple", "Bread", "butter", "Cheese", "banana"};
    const int kcal[] = {52, 245, 741, 364, 93};
    for (int i = 0; i < 5; ++i) {
      testing::AddRow(*rows, {{"Name", Variant(names[i])},
                              {"Kcal", i == 3 ? Variant::Null() : Variant(kcal[i])},
                              {"Fat", Variant(i * 1.5)},
                              {"Group", Variant(i % 2 ? "Fruit" : "Dairy")},
                              {"Eaten", Variant::FromDate(45300.0 + i)}});
    }
    const auto groupRows = database->OpenRecordset("Groups", dbOpenTable);
    testing::AddRow(*groupRows, {{"Name", Variant("Fruit")}, {"Note", Variant("sweet")}});
    testing::AddRow(*groupRows, {{"Name", Variant("Dairy")}, {"Note", Variant::Null()}});
    database->Close();
  }

  std::shared_ptr<Database> FreshCopy() {
    if (database_) database_->Close();
    database_.reset();
    std::filesystem::copy_file(Path("template.mdb"), Path("work.mdb"), std::filesystem::copy_options::overwrite_existing);
    database_ = workspace_->OpenDatabase(Path("work.mdb"));
    return database_;
  }

  // Runs `sql` to its end: the rows of a query read, an action executed.
  // Returns the DAO error number, 0 when it ran.
  int Run(const std::string& sql) {
    try {
      const auto query = database_->CreateQueryDef("", sql);
      for (const auto& parameter : query->Parameters()) parameter->SetValue(Variant(100));
      const int type = query->Type();
      if (type == 0 || type == 16 || type == 128) {
        const auto rows = query->OpenRecordset(dbOpenSnapshot);
        for (int n = 0; !rows->AtEOF() && n < 1000; rows->MoveNext(), ++n) {
          for (const auto& field : rows->Fields()) field->Value();
        }
      } else {
        query->Execute(dbFailOnError);
      }
      return 0;
    } catch (const DaoError& error) {
      return error.Number();
    }
  }

  std::shared_ptr<Database> database_;
};

TEST_F(SqlRobustnessTest, MutatedStatementsEndInAResultOrADaoError) {
  std::mt19937 random(11);
  int ran = 0, refused = 0;
  for (int n = 0; n < kMutations; ++n) {
    if (n % kStatementsPerCopy == 0) FreshCopy();
    const std::size_t source = random() % (kCorpus.size() + kReadOnlyCorpus.size());
    const std::string sql = Mutate(random, source < kCorpus.size() ? kCorpus[source] : kReadOnlyCorpus[source - kCorpus.size()]);
    SCOPED_TRACE(sql);
    // Anything but a DaoError escapes and fails the test with its text.
    (Run(sql) == 0 ? ran : refused)++;
  }
  // The mutations must leave enough statements whole to reach the running
  // of queries, and spoil enough to reach the errors.
  EXPECT_GT(ran, kMutations / 40);
  EXPECT_GT(refused, kMutations / 4);
}

TEST_F(SqlRobustnessTest, TheCorpusRunsAsItIs) {
  FreshCopy();
  for (const std::string& sql : kCorpus) EXPECT_EQ(Run(sql), 0) << sql;
}

TEST_F(SqlRobustnessTest, NestingTooDeepForTheStackIsAnError) {
  FreshCopy();
  const std::vector<std::string> shallow = DeepStatements(20);
  for (std::size_t i = 0; i < kNestedExpressions; ++i) EXPECT_EQ(Run(shallow[i]), 0) << shallow[i];
  for (std::size_t i = kNestedExpressions; i < shallow.size(); ++i) Run(shallow[i]);
  for (const int depth : {1'000, 100'000}) {
    for (const std::string& sql : DeepStatements(depth)) {
      SCOPED_TRACE(sql.substr(0, 60));
      const int error = Run(sql);
      EXPECT_NE(error, 0);
    }
  }
}

}  // namespace
}  // namespace dao
