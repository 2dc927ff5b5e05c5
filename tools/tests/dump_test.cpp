// `nutaro dump` on real table files: the program as a user runs it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_io.h"
#include "tablefile/ntd_cursor.h"
#include "tools/tests/program_run.h"

namespace tools {
namespace {

using tablefile::MakeNtdField;
using tablefile::RecordBuffer;
using tablefile::RecordEntry;
using tablefile::TNtdCursor;
using Type = tablefile::TNtdStorageType;
using platform::testing::TempFolder;
using testing::RunNutaro;
using testing::ToolRun;

class Dump : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return folder_.File(name); }
  ToolRun Nutaro(const std::string& arguments) const { return RunNutaro(folder_, arguments); }

  // A table with one value of every kind that prints differently.
  void WriteTable(const std::string& path, const std::string& password = "") const {
    TNtdCursor cursor;
    std::vector<tablefile::TNtdField> fields{
        MakeNtdField("Name", Type::String, 60), MakeNtdField("Code", Type::SmallStr, 2),
        MakeNtdField("Kcal", Type::Double),     MakeNtdField("X", Type::Integer),
        MakeNtdField("Big", Type::Int64),       MakeNtdField("Ok", Type::Boolean),
        MakeNtdField("Day", Type::Date),        MakeNtdField("At", Type::Time),
        MakeNtdField("Stamp", Type::DateTime),  MakeNtdField("Bild", Type::BLOB)};
    fields[1].DefaultText = "AB";
    cursor.DefineFields(fields);
    cursor.SetPassword(password);
    const auto& f = cursor.Fields();
    RecordBuffer row = cursor.NewRecordBuffer();
    row.LargeValue(f[0]) = "\xC4pfel \"roh\"";  // "Äpfel" in the file's code page
    row.Put<double>(f[2], 52.1);
    row.Put<std::int32_t>(f[3], 1);
    row.Put<std::int64_t>(f[4], 4'294'967'298);
    row.Put<std::int16_t>(f[5], -1);
    row.Put<std::int32_t>(f[6], 730'120);       // 1 January 2000
    row.Put<std::int32_t>(f[7], 45'296'789);    // 12:34:56.789
    row.Put<double>(f[8], 730'120.0 * 86'400'000 + 1'000);
    row.LargeValue(f[9]) = std::string("\x00\xAB", 2);
    RecordEntry* record = nullptr;
    cursor.PutRecord(row, record);
    RecordBuffer empty = cursor.NewRecordBuffer();
    record = nullptr;
    cursor.PutRecord(empty, record);
    cursor.WriteFile(path, 0, false, "");
  }

  TempFolder folder_;
};

constexpr char kColumns[] =
    "      \"columns\": [\n"
    "        {\"name\": \"Name\", \"type\": \"String\", \"size\": 60},\n"
    "        {\"name\": \"Code\", \"type\": \"SmallStr\", \"size\": 2},\n"
    "        {\"name\": \"Kcal\", \"type\": \"Double\", \"size\": 8},\n"
    "        {\"name\": \"X\", \"type\": \"Integer\", \"size\": 4},\n"
    "        {\"name\": \"Big\", \"type\": \"Int64\", \"size\": 8},\n"
    "        {\"name\": \"Ok\", \"type\": \"Boolean\", \"size\": 2},\n"
    "        {\"name\": \"Day\", \"type\": \"Date\", \"size\": 4},\n"
    "        {\"name\": \"At\", \"type\": \"Time\", \"size\": 4},\n"
    "        {\"name\": \"Stamp\", \"type\": \"DateTime\", \"size\": 8},\n"
    "        {\"name\": \"Bild\", \"type\": \"BLOB\", \"size\": 0}\n"
    "      ],\n";

constexpr char kRows[] =
    "      \"rows\": [\n"
    "        [\"Äpfel \\\"roh\\\"\", null, 52.1, 1, 4294967298, true, \"2000-01-01\", \"12:34:56.789\", "
    "\"2000-01-01 00:00:01.000\", \"00ab\"],\n"
    "        [null, null, 0, 0, null, false, null, \"00:00:00.000\", null, null]\n"
    "      ]\n";

TEST_F(Dump, PrintsTheTableNamedAfterTheFile) {
  WriteTable(File("food.ntd"));
  const ToolRun run = Nutaro("dump " + File("food.ntd"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, std::string("{\n  \"format\": \"ntd\",\n  \"tables\": [\n    {\n      \"name\": \"food\",\n") +
                         kColumns + kRows + "    }\n  ]\n}\n");
  EXPECT_EQ(Nutaro("dump " + File("food.ntd") + " food").out, run.out);
}

TEST_F(Dump, SchemaAddsFieldPropertiesAndIndexes) {
  WriteTable(File("food.ntd"));
  const ToolRun run = Nutaro("dump --schema " + File("food.ntd"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("{\"name\": \"Code\", \"type\": \"SmallStr\", \"size\": 2, \"properties\": "
                         "{\"TablePrefix\": \"XXX\", \"DefaultText\": \"AB\", \"ExtraText\": \"\"}}"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("      \"indexes\": [],\n"), std::string::npos);
}

TEST_F(Dump, EncipheredTablesNeedTheirPassword) {
  WriteTable(File("secret.ntd"), "Kennwort");
  const ToolRun opened = Nutaro("dump " + File("secret.ntd") + " --password Kennwort");
  ASSERT_EQ(opened.exitCode, 0) << opened.err;
  EXPECT_NE(opened.out.find(kRows), std::string::npos);

  const ToolRun refused = Nutaro("dump " + File("secret.ntd"));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "nutaro: Error opening table: Invalid password. Table cannot be open\n");
}

TEST_F(Dump, FilterAndOrderPrintTheRowsOfTheView) {
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("Name", Type::String, 40), MakeNtdField("Kcal", Type::Double)});
  for (const auto& [name, kcal] : std::vector<std::pair<std::string, double>>{
           {"Birne", 57}, {"apfel", 52}, {"Avocado", 160}, {"Mango", 60}}) {
    RecordBuffer row = cursor.NewRecordBuffer();
    row.LargeValue(cursor.Fields()[0]) = name;
    row.Put<double>(cursor.Fields()[1], kcal);
    RecordEntry* record = nullptr;
    cursor.PutRecord(row, record);
  }
  cursor.WriteFile(File("food.ntd"), 0, false, "");
  const auto rows = [](const std::string& document) { return document.substr(document.find("\"rows\"")); };

  const ToolRun ordered = Nutaro("dump " + File("food.ntd") + " --order 'Kcal'");
  ASSERT_EQ(ordered.exitCode, 0) << ordered.err;
  EXPECT_EQ(rows(ordered.out),
            "\"rows\": [\n        [\"apfel\", 52],\n        [\"Birne\", 57],\n        [\"Mango\", 60],\n"
            "        [\"Avocado\", 160]\n      ]\n    }\n  ]\n}\n");
  const ToolRun filtered = Nutaro("dump " + File("food.ntd") + " --filter \"Kcal > '55' AND Name LIKE '%o%'\" --order Name");
  ASSERT_EQ(filtered.exitCode, 0) << filtered.err;
  EXPECT_EQ(rows(filtered.out), "\"rows\": [\n        [\"Avocado\", 160],\n        [\"Mango\", 60]\n      ]\n    }\n  ]\n}\n");

  const ToolRun unknownField = Nutaro("dump " + File("food.ntd") + " --filter \"Fett > 1\"");
  EXPECT_EQ(unknownField.exitCode, 1);
  EXPECT_EQ(unknownField.out, "");
  EXPECT_EQ(unknownField.err, "nutaro: Field Fett is not found\n");
  EXPECT_EQ(Nutaro("dump " + File("food.ntd") + " --filter \"Kcal > 1 OR Kcal < 0\"").err,
            "nutaro: Error in comparison expression\n");
  EXPECT_EQ(Nutaro("dump " + File("food.ntd") + " --order Fett").err, "nutaro: Das Feld 'Fett' wurde nicht gefunden\n");
  EXPECT_EQ(Nutaro("dump " + File("food.ntd") + " --order").exitCode, 2);
}

TEST_F(Dump, UnreadableFilesAndBadArgumentsHaveTheirOwnExitStatus) {
  EXPECT_EQ(Nutaro("dump " + File("missing.ntd")).exitCode, 1);
  platform::WriteFileAtomically(File("text.ntd"), std::string("hello"));
  EXPECT_EQ(Nutaro("dump " + File("text.ntd")).err, "nutaro: not a table file or Jet database: " + File("text.ntd") + "\n");
  WriteTable(File("food.ntd"));
  EXPECT_EQ(Nutaro("dump " + File("food.ntd") + " other").exitCode, 1);

  EXPECT_EQ(Nutaro("").exitCode, 2);
  EXPECT_EQ(Nutaro("dump").exitCode, 2);
  EXPECT_EQ(Nutaro("dump " + File("food.ntd") + " --password").exitCode, 2);
  EXPECT_EQ(Nutaro("dump " + File("food.ntd") + " --verbose").exitCode, 2);
  EXPECT_EQ(Nutaro("shrink " + File("food.ntd")).exitCode, 2);
}

}  // namespace
}  // namespace tools
