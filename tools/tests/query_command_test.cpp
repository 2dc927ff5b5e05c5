// `nutaro query` run as a user runs it, on copies of the fixtures: rows of
// a SELECT as JSON and as CSV (checked against mdb-export on the same
// table), action queries with the records they affected and the changed
// file read back by mdbtools, failures that leave the file as it was, and
// misuse.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "dao/jet/database_header.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/jet/text_codec.h"
#include "platform/file_io.h"
#include "tools/json_reader.h"
#include "tools/tests/program_run.h"

namespace tools {
namespace {

using platform::testing::TempFolder;
using testing::RunNutaro;
using testing::ToolRun;

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// The values of a query's JSON rows as their JSON texts, one vector a row,
// after checking the document's shape.
struct QueryDocument {
  std::vector<std::string> columnNames;
  std::vector<std::string> columnTypes;
  std::vector<std::vector<std::string>> rows;
};

QueryDocument ReadQueryDocument(const std::string& text) {
  std::istringstream in(text);
  JsonReader reader(in);
  QueryDocument document;
  reader.BeginObject();
  EXPECT_EQ(reader.NextKey(), "columns");
  reader.BeginArray();
  while (reader.NextElement()) {
    reader.BeginObject();
    while (const auto key = reader.NextKey()) {
      JsonScalar scalar;
      reader.ReadScalar(scalar);
      if (*key == "name") document.columnNames.push_back(scalar.text);
      if (*key == "type") document.columnTypes.push_back(scalar.text);
    }
  }
  EXPECT_EQ(reader.NextKey(), "rows");
  reader.BeginArray();
  while (reader.NextElement()) {
    document.rows.emplace_back();
    reader.BeginArray();
    while (reader.NextElement()) {
      JsonScalar scalar;
      reader.ReadScalar(scalar);
      document.rows.back().push_back(scalar.kind == JsonKind::Null ? "null" : scalar.text);
    }
  }
  EXPECT_FALSE(reader.NextKey());
  reader.ExpectEnd();
  return document;
}

class QueryCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures_ = std::filesystem::path(NUTARO_FIXTURES_DIR);
    if (!std::filesystem::is_directory(fixtures_ / "nutaro")) GTEST_SKIP() << "fixture folder " << fixtures_ << " is absent";
  }

  // A copy of the fixture `relative` in the test's folder.
  std::string Copy(const std::string& relative) {
    const std::string target = folder_.File(std::filesystem::path(relative).filename().string());
    std::filesystem::copy_file(fixtures_ / relative, target, std::filesystem::copy_options::overwrite_existing);
    return target;
  }

  ToolRun Query(const std::string& file, const std::string& sql, const std::string& more = "") const {
    return RunNutaro(folder_, "query " + Quote(file) + " " + Quote(sql) + more);
  }

  std::filesystem::path fixtures_;
  TempFolder folder_;
};

TEST_F(QueryCommand, SelectPrintsColumnsAndRowsInTheDumpRowForm) {
  const std::string file = Copy("nutaro/nuta4-basic.mdb");
  const ToolRun run =
      Query(file, "SELECT Nahrungsmittel, Kcal, Fett * 2 AS Doppelt FROM nuta WHERE Kcal >= 400 ORDER BY Kcal DESC");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.err.empty());
  const QueryDocument document = ReadQueryDocument(run.out);
  EXPECT_EQ(document.columnNames, (std::vector<std::string>{"Nahrungsmittel", "Kcal", "Doppelt"}));
  EXPECT_EQ(document.columnTypes, (std::vector<std::string>{"Text", "Long", "Double"}));
  ASSERT_FALSE(document.rows.empty());
  long previous = 1 << 30;
  for (const auto& row : document.rows) {
    ASSERT_EQ(row.size(), 3u);
    const long kcal = std::stol(row[1]);
    EXPECT_GE(kcal, 400);
    EXPECT_LE(kcal, previous);
    previous = kcal;
  }

  // The same statement gives the same bytes; an empty result is an empty
  // "rows" array, not an error.
  EXPECT_EQ(Query(file, "SELECT Nahrungsmittel, Kcal, Fett * 2 AS Doppelt FROM nuta WHERE Kcal >= 400 ORDER BY Kcal DESC").out,
            run.out);
  const ToolRun none = Query(file, "SELECT * FROM nuta WHERE Kcal < 0");
  ASSERT_EQ(none.exitCode, 0) << none.err;
  EXPECT_TRUE(ReadQueryDocument(none.out).rows.empty());
}

TEST_F(QueryCommand, ACrosstabPrintsOneColumnPerPivotValue) {
  const std::string file = Copy("access/v2000-empty.mdb");
  ASSERT_EQ(Query(file, "CREATE TABLE Visits (Who TEXT(10), Day TEXT(3), Hours DOUBLE)").exitCode, 0);
  for (const char* row : {"'Ann', 'Tue', 2", "'Ann', 'Mon', 1.5", "'Bob', 'Tue', 3", "'Ann', 'Tue', 1", "'Bob', Null, 4"}) {
    const ToolRun insert = Query(file, std::string("INSERT INTO Visits VALUES (") + row + ")");
    ASSERT_EQ(insert.exitCode, 0) << insert.err;
  }
  const ToolRun run = Query(file, "TRANSFORM Sum(Hours) AS Total SELECT Who FROM Visits GROUP BY Who PIVOT Day");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QueryDocument document = ReadQueryDocument(run.out);
  EXPECT_EQ(document.columnNames, (std::vector<std::string>{"Who", "<>", "Mon", "Tue"}));
  EXPECT_EQ(document.columnTypes, (std::vector<std::string>{"Text", "Double", "Double", "Double"}));
  EXPECT_EQ(document.rows, (std::vector<std::vector<std::string>>{{"Ann", "null", "1.5", "3"}, {"Bob", "4", "null", "3"}}));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(QueryCommand, CsvOfAWholeTableIsWhatMdbExportWrites) {
  if (!dao::jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools is not installed";
  // Text with quotes and commas, singles, doubles, currency, dates, Yes/No,
  // binary and Nulls, in Jet 3 and Jet 4 files.
  const std::vector<std::pair<std::string, std::string>> tables{
      {"nutaro/nuta4-basic.mdb", "nuta"},           {"access/v2000-test.mdb", "Table1"},
      {"access/v1997-testIndexCodes.mdb", "Table6"}, {"access/v1997-testIndexCodes.mdb", "Table8"},
      {"access/v1997-testIndexCodes.mdb", "Table10"}, {"access/v2000-fixedNumericTest.mdb", "test"},
      {"access/v1997-test2.mdb", "MSP_PROJECTS"}};
  // Where we differ on purpose: an empty text is "" (mdb-export writes it
  // as it writes Null), and mdb-export cannot show dates before 1900.
  static const std::regex kEmptyText("(^|,)\"\"(?=,|$)");
  for (const auto& [fixture, table] : tables) {
    SCOPED_TRACE(fixture + " " + table);
    const std::string file = Copy(fixture);
    const ToolRun run = Query(file, "SELECT * FROM [" + table + "]", " --csv");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto exported = dao::jet::testing::RunCommand(
        "LC_ALL=C.UTF-8 mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' -b hex " + Quote(file) + " " +
        Quote(table) + " 2>/dev/null");
    ASSERT_TRUE(exported.has_value());
    const std::vector<std::string> ours = Lines(run.out), theirs = Lines(*exported);
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
      if (theirs[i].find("1900-01-00") != std::string::npos) continue;
      EXPECT_EQ(std::regex_replace(ours[i], kEmptyText, "$1"), theirs[i]);
    }
    EXPECT_EQ(run.out.back(), '\n');
  }
  const ToolRun emptyText = Query(Copy("nutaro/nuta4-basic.mdb"),
                                  "SELECT Rubrik FROM nuta WHERE Rubrik = '' OR Rubrik IS NULL", " --csv");
  EXPECT_EQ(emptyText.out, "Rubrik\n\"\"\n\n");
  // GUIDs in their braces (mdb-export would show the hex of that text).
  const ToolRun guids = Query(Copy("access/v1997-testIndexCodes.mdb"), "SELECT data FROM Table13 WHERE name = 'row0'",
                              " --csv");
  EXPECT_EQ(guids.out, "data\n\"{8E39276A-BCA8-4AC4-891E-49911D8438DD}\"\n");
}

TEST_F(QueryCommand, ActionQueriesPrintTheRecordsAffectedAndChangeTheFile) {
  const std::string file = Copy("nutaro/nuta4-basic.mdb");
  const ToolRun counted = Query(file, "SELECT Count(*) AS n FROM nuta WHERE Rubrik = 'Obst'", " --csv");
  ASSERT_EQ(counted.exitCode, 0) << counted.err;
  const std::string fruit = counted.out.substr(counted.out.find('\n') + 1);

  const ToolRun update = Query(file, "UPDATE nuta SET Rubrik = 'Früchte' WHERE Rubrik = 'Obst'");
  ASSERT_EQ(update.exitCode, 0) << update.err;
  EXPECT_EQ(update.out, fruit);
  const ToolRun after = Query(file, "SELECT Count(*) AS n FROM nuta WHERE Rubrik = 'früchte'", " --csv");
  EXPECT_EQ(after.out, "n\n" + fruit);

  // Data definition and appends, read back by an independent reader.
  ASSERT_EQ(Query(file, "CREATE TABLE Portion (Name TEXT(50), Gramm LONG, Am DATETIME)").out, "0\n");
  EXPECT_EQ(Query(file, "INSERT INTO Portion (Name, Gramm, Am) VALUES ('Apfel, \"groß\"', 180, #2024-01-31 10:00#)").out,
            "1\n");
  EXPECT_EQ(Query(file, "INSERT INTO Portion (Name, Gramm) SELECT Nahrungsmittel, Kcal FROM nuta WHERE Kcal > 500").exitCode,
            0);
  EXPECT_EQ(Query(file, "DELETE FROM Portion WHERE Gramm > 500").exitCode, 0);
  // A make-table query is an action too.
  const ToolRun made = Query(file, "SELECT Nahrungsmittel, Kcal INTO Reich FROM nuta WHERE Kcal > 500");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(Query(file, "SELECT Count(*) AS n FROM Reich", " --csv").out, "n\n" + made.out);
  const ToolRun portions = Query(file, "SELECT * FROM Portion", " --csv");
  EXPECT_EQ(portions.out, "Name,Gramm,Am\n\"Apfel, \"\"groß\"\"\",180,\"2024-01-31 10:00:00\"\n");
  if (dao::jet::testing::HaveMdbTools()) {
    const auto exported = dao::jet::testing::RunCommand(
        "mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' " + Quote(file) + " Portion");
    ASSERT_TRUE(exported.has_value());
    EXPECT_EQ(*exported, portions.out);
  }
}

TEST_F(QueryCommand, FailuresNameDaosErrorAndLeaveTheFileAsItWas) {
  const std::string file = Copy("nutaro/nuta4-target-indexed.mdb");
  const std::string before = platform::ReadWholeFile(file);
  struct Case {
    const char* sql;
    const char* number;
  };
  const Case cases[] = {
      {"SELECT * FROM nuta WHERE Kcal >", "3075"},
      {"SELECT * FROM Keine", "3078"},
      {"SELECT Keins FROM nuta", "3061"},  // an unknown name in a SELECT is a parameter
      {"UPDATE nuta SET Keins = 1", "3061"},
      {"SELEKT 1", "3129"},
      {"DROP TABLE Keine", "3376"},
      // Nine rows could go in; the primary key refuses the last, so none
      // goes in.
      {"INSERT INTO nuta (ID, Nahrungsmittel) SELECT IIf(ID = 10, 1, ID + 10), Nahrungsmittel FROM nuta", "3022"},
      {"UPDATE nuta SET Kcal = Kcal * 10000000", nullptr},
      {"DELETE FROM nuta WHERE 1 / (ID - 5) > 0", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    const ToolRun run = Query(file, c.sql);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(std::string("error ") + (c.number ? c.number + std::string(": ") : "")), std::string::npos)
        << run.err;
    EXPECT_EQ(platform::ReadWholeFile(file), before);
  }
  const ToolRun missing = Query(folder_.File("fehlt.mdb"), "SELECT 1");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("fehlt.mdb")));
  const ToolRun text = Query(folder_.Write("text.mdb", "not a database"), "SELECT 1");
  EXPECT_EQ(text.exitCode, 1);
  EXPECT_NE(text.err.find("not a Jet database"), std::string::npos);
}

TEST_F(QueryCommand, APasswordOpensTheDatabaseForReadingAndForChanging) {
  // A copy of a fixture with the password "Kalorie".
  std::vector<std::uint8_t> bytes = dao::jet::testing::ReadFileBytes(fixtures_ / "nutaro" / "nuta4-basic.mdb");
  dao::jet::StoreDatabasePassword(dao::jet::kJet4Layout, dao::jet::MutableBytes(bytes.data(), dao::jet::kJet4PageSize),
                                  dao::jet::Utf8ToUtf16Le("Kalorie"));
  const std::string locked = folder_.Write("locked.mdb", std::string(bytes.begin(), bytes.end()));
  const ToolRun refused = Query(locked, "DELETE FROM nuta");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("error 3031: Not a valid password."), std::string::npos) << refused.err;
  const ToolRun deleted = Query(locked, "DELETE FROM nuta WHERE Kcal > 500", " --password Kalorie");
  ASSERT_EQ(deleted.exitCode, 0) << deleted.err;
  EXPECT_EQ(deleted.out, "4\n");
  EXPECT_EQ(Query(locked, "SELECT Count(*) AS n FROM nuta", " --csv --password Kalorie").out, "n\n24\n");
}

TEST_F(QueryCommand, BadArgumentsExitWithTwoAndTheUsage) {
  const std::string file = Copy("nutaro/nuta4-basic.mdb");
  for (const std::string& arguments :
       {std::string("query"), "query " + Quote(file), "query " + Quote(file) + " 'SELECT 1' 'SELECT 2'",
        "query " + Quote(file) + " 'SELECT 1' --json", "query " + Quote(file) + " 'SELECT 1' --password"}) {
    SCOPED_TRACE(arguments);
    const ToolRun run = RunNutaro(folder_, arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("usage: nutaro query FILE SQL"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace tools
