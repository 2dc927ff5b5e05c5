// `nutaro load` into table files: dump -> load -> dump reproduces documents
// of every storage type, appends extend existing tables, and every refusal
// names its reason and leaves the target as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "platform/file_io.h"
#include "tablefile/ntd_cursor.h"
#include "tools/tests/load_test_support.h"
#include "tools/tests/program_run.h"

namespace tools {
namespace {

using tablefile::MakeNtdField;
using tablefile::RecordBuffer;
using tablefile::RecordEntry;
using tablefile::TNtdCursor;
using testing::Dump;
using testing::Load;
using testing::ExpectRefusal;
using testing::LoadRun;
using testing::Refusal;
using testing::SameDocument;
using platform::testing::TempFolder;
using Type = tablefile::TNtdStorageType;

// A table of every storage type, written by the engine's record store
// directly: a row of extreme values, a row of zeros and empties, and a row
// of everyday values.
void WriteEveryStorageType(const std::string& path, const std::string& password = "") {
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("Small", Type::SmallInt), MakeNtdField("Whole", Type::Integer),
                       MakeNtdField("Big", Type::Int64), MakeNtdField("Flag", Type::Boolean),
                       MakeNtdField("Real", Type::Double), MakeNtdField("Money", Type::Currency),
                       MakeNtdField("Day", Type::Date), MakeNtdField("At", Type::Time),
                       MakeNtdField("Stamp", Type::DateTime), MakeNtdField("Number", Type::AutoInc),
                       MakeNtdField("Code", Type::SmallStr, 35), MakeNtdField("Name", Type::String, 8191),
                       MakeNtdField("Data", Type::BLOB), MakeNtdField("Note", Type::Memo),
                       MakeNtdField("Rich", Type::FmtMemo), MakeNtdField("Picture", Type::Graphic)});
  cursor.SetPassword(password);
  const auto& f = cursor.Fields();
  const auto put = [&](const RecordBuffer& row) {
    RecordEntry* record = nullptr;
    cursor.PutRecord(row, record);
  };
  RecordBuffer extremes = cursor.NewRecordBuffer();
  extremes.Put<std::int16_t>(f[0], -32768);
  extremes.Put<std::int32_t>(f[1], 2147483647);
  extremes.Put<std::int64_t>(f[2], -9'223'372'036'854'775'807 - 1);
  extremes.Put<std::int16_t>(f[3], -1);
  extremes.Put<double>(f[4], 1.7976931348623157e308);
  extremes.Put<double>(f[5], -922337203685477.5807);
  extremes.Put<std::int32_t>(f[6], 3'652'059);     // 9999-12-31
  extremes.Put<std::int32_t>(f[7], 86'399'999);    // 23:59:59.999
  extremes.Put<double>(f[8], 86'400'000.0);        // 0001-01-01 00:00:00.000
  extremes.PutSmallText(f[10], std::string(35, '\xFF'));
  extremes.LargeValue(f[11]) = std::string(8191, 'x');
  extremes.LargeValue(f[12]) = std::string("\x00\xFF\x10", 3);
  extremes.LargeValue(f[13]) = "Zeile 1\r\nZeile 2\t\"\\\x80";
  extremes.LargeValue(f[14]) = "{\\rtf1 \xE4}";
  extremes.LargeValue(f[15]) = std::string("\x89PNG\0", 5);
  put(extremes);
  put(cursor.NewRecordBuffer());
  RecordBuffer everyday = cursor.NewRecordBuffer();
  everyday.Put<std::int16_t>(f[0], 7);
  everyday.Put<std::int32_t>(f[1], -52);
  everyday.Put<std::int64_t>(f[2], 4'294'967'298);
  everyday.Put<double>(f[4], 0.1);
  everyday.Put<double>(f[5], 12.345);
  everyday.Put<std::int32_t>(f[6], 1);             // 0001-01-01
  everyday.Put<std::int32_t>(f[7], 45'296'789);    // 12:34:56.789
  everyday.Put<double>(f[8], 730'120.0 * 86'400'000 + 1);
  everyday.PutSmallText(f[10], "\xC4pfel");
  everyday.LargeValue(f[11]) = "Wei\xDF" "brot \x80";
  put(everyday);
  cursor.WriteFile(path, 0, false, "");
}

TEST(LoadNtd, DumpLoadDumpReproducesEveryStorageType) {
  TempFolder folder;
  WriteEveryStorageType(folder.File("all.ntd"));
  for (const bool schema : {false, true}) {
    const std::string document = Dump(folder.File("all.ntd"), schema);
    const std::string target = folder.File(schema ? "schema/all.ntd" : "plain/all.ntd");
    std::filesystem::create_directories(std::filesystem::path(target).parent_path());
    const LoadRun run = Load({target, folder.Write("all.json", document)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "") << "a dump's own document loads without notes";
    EXPECT_TRUE(SameDocument(Dump(target, schema), document));
  }
}

TEST(LoadNtd, APasswordEnciphersTheNewTableAndOpensAnExistingOne) {
  TempFolder folder;
  WriteEveryStorageType(folder.File("all.ntd"), "Geheim");
  const std::string document = Dump(folder.File("all.ntd"), false, "Geheim");
  const std::string input = folder.Write("all.json", document);
  std::filesystem::create_directories(folder.File("copy"));
  const std::string copy = folder.File("copy/all.ntd");
  ASSERT_EQ(Load({copy, input, "--password", "Geheim"}).exitCode, 0);
  EXPECT_EQ(platform::ReadFileHead(copy, 5).back(), 'P') << "enciphered";
  EXPECT_TRUE(SameDocument(Dump(copy, false, "Geheim"), document));

  const std::string more = folder.Write(
      "more.json", "{\"tables\": [{\"name\": \"all\", \"columns\": [{\"name\": \"Small\", \"type\": \"SmallInt\"}], "
                   "\"rows\": [[5]]}]}");
  const LoadRun appended = Load({copy, more, "--append", "--password", "Geheim"});
  ASSERT_EQ(appended.exitCode, 0) << appended.err;
  EXPECT_EQ(platform::ReadFileHead(copy, 5).back(), 'P') << "still enciphered";
  EXPECT_NE(Dump(copy, false, "Geheim").find("[5, 0, null, false, 0, 0, null, \"00:00:00.000\", null, 4,"),
            std::string::npos);
}

// A document of one table "food" with the given columns and rows texts.
std::string FoodDocument(const std::string& columns, const std::string& rows) {
  return "{\"format\": \"ntd\", \"tables\": [{\"name\": \"food\", \"columns\": [" + columns + "], \"rows\": [" +
         rows + "]}]}";
}

constexpr char kFoodColumns[] =
    "{\"name\": \"Name\", \"type\": \"SmallStr\", \"size\": 10}, {\"name\": \"Kcal\", \"type\": \"Integer\"},"
    " {\"name\": \"Nr\", \"type\": \"AutoInc\"}";

TEST(LoadNtd, AppendAddsRowsAndContinuesTheNumbering) {
  TempFolder folder;
  const std::string target = folder.File("food.ntd");
  ASSERT_EQ(Load({target, folder.Write("a.json", FoodDocument(kFoodColumns, "[\"Apfel\", 52, 1], [\"Birne\", 55, 2]"))}).exitCode, 0);
  // Columns may come in another order or be left out; numbers may be left
  // to the table file.
  const LoadRun run = Load({target, folder.Write("b.json", FoodDocument(
      "{\"name\": \"Kcal\", \"type\": \"Integer\"}, {\"name\": \"nr\", \"type\": \"AutoInc\"}",
      "[89, 3], [93, null]")), "--append"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "note: table \"food\", column \"nr\": null is numbered by the table file (1 value)\n");
  const std::string dumped = Dump(target);
  EXPECT_NE(dumped.find("[\"Apfel\", 52, 1],\n        [\"Birne\", 55, 2],\n        [null, 89, 3],\n"
                        "        [null, 93, 4]\n"),
            std::string::npos)
      << dumped;
}

TEST(LoadNtd, ValuesTheFileKeepsDifferentlyAreReportedNotHidden) {
  TempFolder folder;
  const LoadRun run = Load({folder.File("notes.ntd"), folder.Write("n.json", FoodDocument(
      "{\"name\": \"Full Name\", \"type\": \"SmallStr\", \"size\": 10}, {\"name\": \"Kcal\", \"type\": \"Integer\"},"
      " {\"name\": \"Big\", \"type\": \"Int64\"}",
      "[\"\", null, 0], [null, null, 1]"))});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err,
            "note: table \"food\": a table file takes its name from the file: the table is named \"notes\"\n"
            "note: table \"food\": the column \"Full Name\" is named \"Full_Name\" (a table file keeps blanks in "
            "names as \"_\")\n"
            "note: table \"food\", column \"Big\": 0 reads back as null (a table file does not tell 0 from an "
            "empty field) (1 value)\n"
            "note: table \"food\", column \"Full Name\": \"\" reads back as null (a table file does not tell them "
            "apart) (1 value)\n"
            "note: table \"food\", column \"Kcal\": null is stored as 0 (a table file keeps no null here) (2 values)\n");
}

// Each refusal leaves the folder exactly as it was: an existing table
// byte for byte, no new file and no staging folder.
TEST(LoadNtd, RefusalsNameTheirReasonAndLeaveTheTargetUntouched) {
  const std::string good = FoodDocument(kFoodColumns, "[\"Apfel\", 52, 1]");
  const std::vector<Refusal> newTarget{
      {{}, "{\"format\": \"ntd\", \"tables\": [\n  {\"name\": \"food\" \"columns\": []}]}",
       "IN, line 2, column 19: expected ',' or '}', found '\"'"},
      {{}, FoodDocument("{\"name\": \"Kcal\", \"type\": \"Float\", \"size\": 8}", ""),
       "IN, line 1, column 59: table \"food\", column \"Kcal\": unknown type \"Float\" (a table file knows "
       "SmallInt, Integer, Int64, Boolean, Double, Currency, Date, Time, DateTime, AutoInc, SmallStr, String, "
       "BLOB, Memo, FmtMemo, Graphic)"},
      {{}, FoodDocument(kFoodColumns, "[\"Apfel\", 52, 1], [\"Apfelkuchen\", 52, 2]"),
       "IN, line 1, column 210: table \"food\", row 2, column \"Name\": the text has 11 characters; the column "
       "holds 10"},
      {{}, FoodDocument(kFoodColumns, "[\"Apfel\", 2147483648, 1]"),
       "IN, line 1, column 201: table \"food\", row 1, column \"Kcal\": 2147483648 is not a whole number from "
       "-2147483648 to 2147483647"},
      {{}, FoodDocument(kFoodColumns, "[\"\xC5\x81osos\", 1, 1]"),
       "IN, line 1, column 192: table \"food\", row 1, column \"Name\": the text has characters the table "
       "file's code page cannot hold"},
      {{}, FoodDocument(kFoodColumns, "[\"Apfel\", 52, 7]"),
       "IN, line 1, column 205: table \"food\", row 1, column \"Nr\": a table file numbers AutoInc columns "
       "itself and gives this row 1 (write null to take the table file's number)"},
      {{}, FoodDocument("{\"name\": \"Name\", \"type\": \"String\", \"size\": 20}", ""),
       "IN, line 1, column 59: table \"food\", column \"Name\": a table file makes text columns of up to 35 "
       "characters SmallStr and longer ones String; size 20 cannot be a String"},
      {{}, FoodDocument("{\"name\": \"K\", \"type\": \"Integer\", \"properties\": {\"TablePrefix\": \"ABC\"}}", ""),
       "IN, line 1, column 59: table \"food\", column \"K\": new table-file columns have the TablePrefix "
       "\"XXX\"; \"ABC\" cannot be kept"},
      {{}, "{\"format\": \"jet4\", \"tables\": []}",
       "IN, line 1, column 12: the document holds a \"jet4\" database; a .ntd target takes a document of format "
       "\"ntd\""},
  };
  const std::vector<Refusal> existingTarget{
      {{}, good, "TARGET exists; load makes new files only (--append adds rows to an existing one)"},
      {{"--append"}, FoodDocument("{\"name\": \"Fett\", \"type\": \"Double\"}", "[1.5]"),
       "IN, line 1, column 59: table \"food\", column \"Fett\": the table file has no such column"},
      {{"--append"}, FoodDocument("{\"name\": \"Kcal\", \"type\": \"Double\"}", "[1.5]"),
       "IN, line 1, column 59: table \"food\", column \"Kcal\": the column is Integer in the table file, Double "
       "in the document"},
      {{"--append"}, FoodDocument(kFoodColumns, "[\"Apfel\", 52, null], [\"Birne\", 55, null], [\"Kiwi\", 1e3, null]"),
       "IN, line 1, column 242: table \"food\", row 3, column \"Kcal\": 1e3 is not a whole number from "
       "-2147483648 to 2147483647"},
  };
  const auto check = [&](const Refusal& refusal, bool existing) {
    TempFolder folder;
    const std::string target = folder.File("food.ntd");
    if (existing) {
      ASSERT_EQ(Load({target, folder.Write("good.json", good)}).exitCode, 0);
    }
    ExpectRefusal(folder, target, refusal);
  };
  for (const Refusal& refusal : newTarget) check(refusal, false);
  for (const Refusal& refusal : existingTarget) check(refusal, true);
}

// The program as scripts run it: the document on standard input, and the
// exit status telling success, failure and bad arguments apart.
TEST(LoadNtd, TheToolReadsStandardInputAndAnswersWithItsExitStatus) {
  TempFolder folder;
  const std::string input = folder.Write("food.json", FoodDocument(kFoodColumns, "[\"Apfel\", 52, 1]"));
  const auto nutaro = [&](const std::string& arguments) {
    const testing::ToolRun run = testing::RunNutaro(folder, "load " + arguments);
    return std::pair{run.exitCode, run.err};
  };
  EXPECT_EQ(nutaro(folder.File("food.ntd") + " - <" + input), std::pair(0, std::string()));
  EXPECT_NE(Dump(folder.File("food.ntd")).find("[\"Apfel\", 52, 1]"), std::string::npos);
  EXPECT_EQ(nutaro(folder.File("food.ntd") + " " + input).first, 1);
  EXPECT_EQ(nutaro(folder.File("x.ntd") + " " + input + " --jet3"),
            std::pair(2, std::string("nutaro: --jet3 chooses the format of a new Jet database; it does not go with "
                                     "--append or a .ntd target\nusage: nutaro load TARGET INPUT.json [--jet3] "
                                     "[--append] [--password TEXT]\n")));
  EXPECT_EQ(nutaro(folder.File("x.ntd")).first, 2);
  EXPECT_EQ(nutaro(folder.File("x.ntd") + " " + input + " --verbose").first, 2);
}

}  // namespace
}  // namespace tools
