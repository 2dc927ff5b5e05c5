// `nutaro load` into Jet databases: every Access-made and Nutaro fixture
// goes dump -> load -> dump in Jet 4 and Jet 3, the loaded files read the
// same as the originals to mdb-export and mdb-reader, appends extend
// existing tables, and refusals leave the target as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cctype>
#include <map>
#include <regex>
#include <sstream>

#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/fixture_files.h"
#include "platform/file_io.h"
#include "tools/json_reader.h"
#include "tools/tests/load_test_support.h"

namespace tools {
namespace {

namespace readers = dao::jet::testing;
using testing::Dump;
using testing::ExpectRefusal;
using testing::Load;
using testing::LoadRun;
using testing::Refusal;
using testing::SameDocument;
using platform::testing::TempFolder;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// What dump(load(D)) is for a dump D of an Access-made file, given the
// limits the load reports in its notes: the target's format, relationship
// indexes left out, indexes listed by name.
std::string ExpectedAfterLoad(const std::string& document, const std::string& format) {
  std::vector<std::string> out;
  const std::vector<std::string> lines = Lines(document);
  const std::string indexName = "{\"name\": \"";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.starts_with("  \"format\": ")) {
      out.push_back("  \"format\": \"" + format + "\",");
    } else if (line == "      \"indexes\": [") {
      std::vector<std::string> indexes;
      for (++i; lines[i] != "      ],"; ++i) {
        std::string index = lines[i];
        if (index.ends_with(",")) index.pop_back();
        if (index.find("\"foreign\": true") == std::string::npos) indexes.push_back(index);
      }
      const auto name = [&](const std::string& index) {
        const std::size_t start = index.find(indexName) + indexName.size();
        return Lower(index.substr(start, index.find('"', start) - start));
      };
      std::stable_sort(indexes.begin(), indexes.end(),
                       [&](const std::string& a, const std::string& b) { return name(a) < name(b); });
      if (indexes.empty()) {
        out.push_back("      \"indexes\": [],");
        continue;
      }
      out.push_back(line);
      for (std::size_t k = 0; k < indexes.size(); ++k) out.push_back(indexes[k] + (k + 1 < indexes.size() ? "," : ""));
      out.push_back("      ],");
    } else {
      out.push_back(line);
    }
  }
  return Joined(out);
}

std::vector<std::string> TableNames(const std::string& document) {
  static const std::regex kTableName("^      \"name\": \"(.*)\",$");
  std::vector<std::string> names;
  for (const std::string& line : Lines(document)) {
    std::smatch match;
    if (std::regex_match(line, match, kTableName)) names.push_back(match[1]);
  }
  return names;
}

// Loads that cannot succeed, by fixture, mode ("plain", "schema") and
// target format, with what the refusal says.
std::optional<std::string> ExpectedRefusal(const std::string& fixture, const std::string& mode,
                                           const std::string& format) {
  // Microsoft's DAO makes no Decimal columns either.
  if (fixture == "v2000-fixedNumericTest") return "(DAO cannot make Decimal columns)";
  // Cyrillic, Greek and Japanese text: no Jet 3 code page holds them, and
  // the engine's General sort order has no index keys for them.
  if (fixture == "v2003-testUnicodeComp" && format == "jet3") {
    return "the text has characters a Jet 3 database's code page cannot hold";
  }
  if (fixture.ends_with("queryTest") && mode == "schema") {
    return "the query \"PassthroughQuery\" is a pass-through query; the document does not hold the server it is for";
  }
  if (fixture == "v2003-testUnicodeComp" && mode == "schema") {
    return "holds characters that the sort order of its index cannot order";
  }
  return std::nullopt;
}

// mdb-reader's reading of every user table of `file`, in one run of node.
std::optional<std::string> MdbReaderTables(const std::string& file) {
  const char* modules = std::getenv("NUTARO_NODE_MODULES");
  const std::string source = NUTARO_SOURCE_DIR;
  return readers::RunCommand("NODE_PATH='" + (modules ? std::string(modules) : source + "/testing/js/node_modules") +
                             "' node '" + source + "/testing/js/mdb-reader-dump.mjs' '" + file + "' 2>/dev/null");
}

// The rows of mdb-reader's reading, each as one text with its table's
// name, sorted:
// a row that an update moved sits elsewhere in the original file than in
// the loaded one, which stores the rows in the order dump gave them.
std::vector<std::string> ReaderRows(const std::string& readerJson) {
  std::istringstream in(readerJson);
  JsonReader reader(in);
  std::vector<std::string> rows;
  reader.BeginObject();
  while (const auto key = reader.NextKey()) {
    if (*key != "tables") {
      reader.SkipValue();
      continue;
    }
    reader.BeginArray();
    while (reader.NextElement()) {
      std::string table;
      reader.BeginObject();
      while (const auto member = reader.NextKey()) {
        if (*member == "name") {
          table = reader.ReadString();
          continue;
        }
        if (*member != "rows") {
          reader.SkipValue();
          continue;
        }
        reader.BeginArray();
        while (reader.NextElement()) {
          std::string row = table + '\x1E';
          JsonScalar value;
          reader.BeginArray();
          while (reader.NextElement()) {
            reader.ReadScalar(value);
            row += std::to_string(static_cast<int>(value.kind)) + (value.boolean ? "t" : "f") + value.text + '\x1F';
          }
          rows.push_back(row);
        }
      }
    }
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

// mdb-export's CSV with the rows sorted (the header stays first).
std::vector<std::string> ExportRows(const std::string& csv) {
  std::vector<std::string> lines = Lines(csv);
  if (!lines.empty()) std::sort(lines.begin() + 1, lines.end());
  return lines;
}

// The loaded file reads as the original to both independent readers. A
// file loaded into the other format must read to mdb-export with as many
// rows: the readers decode Jet 3 bytes that code page 1252 leaves undefined
// in their own ways (see the fixtures' README), so the values can differ.
void ExpectSameToIndependentReaders(const std::string& original, const std::string& loaded,
                                    const std::vector<std::string>& tables, bool sameFormat) {
  for (const std::string& table : tables) {
    if (readers::HaveMdbTools()) {
      const auto before = readers::MdbExport(original, table);
      const auto after = readers::MdbExport(loaded, table);
      ASSERT_TRUE(before && after) << loaded << " " << table;
      if (sameFormat) {
        EXPECT_TRUE(ExportRows(*before) == ExportRows(*after)) << "mdb-export reads " << table << " differently";
      } else {
        EXPECT_EQ(Lines(*before).size(), Lines(*after).size()) << table;
      }
    }
  }
  // One run of node takes a good part of a second: mdb-reader reads the
  // files whose reading can be compared.
  if (readers::HaveMdbReader() && sameFormat) {
    const auto before = MdbReaderTables(original);
    const auto after = MdbReaderTables(loaded);
    ASSERT_TRUE(before && after) << loaded;
    EXPECT_TRUE(ReaderRows(*before) == ReaderRows(*after)) << "mdb-reader reads " << loaded << " differently";
  }
}

TEST(LoadJet, EveryFixtureGoesDumpLoadDumpInJet4AndJet3) {
  const auto fixtures = readers::FixtureDatabases();
  if (fixtures.empty()) GTEST_SKIP() << "fixture folder " NUTARO_FIXTURES_DIR " is absent";
  TempFolder folder;
  int loads = 0;
  for (const auto& fixture : fixtures) {
    const std::string name = fixture.stem().string();
    for (const std::string mode : {"plain", "schema"}) {
      const std::string document = Dump(fixture.string(), mode == "schema");
      const std::string input = folder.Write(name + "." + mode + ".json", document);
      for (const std::string format : {"jet4", "jet3"}) {
        SCOPED_TRACE(name + " " + mode + " " + format);
        const std::string target = folder.File(name + "." + mode + "." + format + ".mdb");
        std::vector<std::string> arguments{target, input};
        if (format == "jet3") arguments.push_back("--jet3");
        const LoadRun run = Load(arguments);
        if (const auto refusal = ExpectedRefusal(name, mode, format)) {
          EXPECT_EQ(run.exitCode, 1);
          EXPECT_NE(run.err.find(*refusal), std::string::npos) << run.err;
          EXPECT_FALSE(std::filesystem::exists(target));
          continue;
        }
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ++loads;
        EXPECT_TRUE(SameDocument(Dump(target, mode == "schema"), ExpectedAfterLoad(document, format)));
        if (mode == "plain") {
          const bool sameFormat = document.find("\"format\": \"" + format + "\"") != std::string::npos;
          ExpectSameToIndependentReaders(fixture.string(), target, TableNames(document), sameFormat);
        }
      }
    }
  }
  EXPECT_GE(loads, 60) << "most fixtures load in every mode and format";
}

TEST(LoadJet, NotesReportWhatTheDatabaseKeepsDifferently) {
  const auto fixtures = readers::FixtureDatabases();
  if (fixtures.empty()) GTEST_SKIP() << "fixture folder " NUTARO_FIXTURES_DIR " is absent";
  TempFolder folder;
  const std::string indexTest = std::string(NUTARO_FIXTURES_DIR) + "/access/v1997-indexTest.mdb";
  const LoadRun run = Load({folder.File("index.mdb"), folder.Write("index.json", Dump(indexTest, true))});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err,
            "note: the document was dumped from a jet3 database and is loaded into a jet4 one\n"
            "note: table \"Table1\": the index \"Table2Table1\" belongs to a relationship, which load does not "
            "make; it is left out\n"
            "note: table \"Table1\": the index \"Table3Table1\" belongs to a relationship, which load does not "
            "make; it is left out\n"
            "note: table \"Table2\": the index \".rC\" belongs to a relationship, which load does not make; it is "
            "left out\n"
            "note: table \"Table3\": the index \".rC\" belongs to a relationship, which load does not make; it is "
            "left out\n");

  const std::string indexed = std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-target-indexed.mdb";
  const LoadRun sorted = Load({folder.File("nuta.mdb"), folder.Write("nuta.json", Dump(indexed, true))});
  EXPECT_EQ(sorted.err, "note: table \"Nuta\": a Jet table lists its indexes by name, so \"Nahrungsmittel\" comes "
                        "earlier\n");
}

constexpr char kEveryType[] = R"({"format": "jet4", "tables": [{"name": "t", "columns": [
  {"name": "Flag", "type": "Boolean", "size": 1}, {"name": "Small", "type": "Byte", "size": 1},
  {"name": "Short", "type": "Integer", "size": 2}, {"name": "Whole", "type": "Long", "size": 4},
  {"name": "Money", "type": "Currency", "size": 8}, {"name": "Real4", "type": "Single", "size": 4},
  {"name": "Real8", "type": "Double", "size": 8}, {"name": "When", "type": "Date", "size": 8},
  {"name": "Bytes", "type": "Binary", "size": 10}, {"name": "Name", "type": "Text", "size": 5},
  {"name": "Blob", "type": "LongBinary", "size": 0}, {"name": "Note", "type": "Memo", "size": 0},
  {"name": "Id", "type": "GUID", "size": 16}],
 "rows": [
  [true, 255, -32768, -2147483648, -922337203685477.5808, 3.4028235e+38, 5e-324, "1899-12-29 06:00:00.000", "00ff", "a\ud83d\ude00bc", "", "", "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}"],
  [null, null, null, null, null, null, null, null, null, null, null, null, null],
  [false, 0, 32767, 2147483647, 922337203685477.5807, -0.1, -1.5e-300, -1e6, "", "", "BLOB", "MEMO", "{00000000-0000-0000-0000-000000000000}"],
  [true, 1, 1, 1, 0.0001, 1e-45, 1, "9999-12-31 23:59:59.999", "0102030405060708090a", "Äß€", "0001", "Zeile\r\nZwei", null]
 ]}]})";

TEST(LoadJet, EveryTypeKeepsItsExtremesAndItsNull) {
  TempFolder folder;
  std::string document = kEveryType;
  // Long values spanning several pages.
  const std::string longText(70'000, 'x');
  document.replace(document.find("\"MEMO\""), 6, "\"" + longText + "\"");
  document.replace(document.find("\"BLOB\""), 6, "\"" + std::string(200'000, 'a') + "\"");
  const LoadRun run = Load({folder.File("types.mdb"), folder.Write("types.json", document)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "note: table \"t\", column \"Flag\": null is stored as false (a Yes/No column has no null) (1 value)\n");
  const std::string dumped = Dump(folder.File("types.mdb"));
  const std::vector<std::string> rows{
      "[true, 255, -32768, -2147483648, -922337203685477.5808, 3.4028235e+38, 5e-324, \"1899-12-29 06:00:00.000\", "
      "\"00ff\", \"a\xF0\x9F\x98\x80" "bc\", \"\", \"\", \"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}\"],",
      "[false, null, null, null, null, null, null, null, null, null, null, null, null],"};
  EXPECT_NE(dumped.find(rows[0]), std::string::npos) << dumped.substr(0, 2000);
  EXPECT_NE(dumped.find(rows[1]), std::string::npos);
  EXPECT_NE(dumped.find("[false, 0, 32767, 2147483647, 922337203685477.5807, -0.1, -1.5e-300, -1e+06, \"\", \"\", \"" +
                        std::string(200'000, 'a') + "\", \"" + longText + "\", \"{00000000-0000-0000-0000-000000000000}\"],"),
            std::string::npos);
  EXPECT_NE(dumped.find("[true, 1, 1, 1, 0.0001, 1e-45, 1, \"9999-12-31 23:59:59.999\", \"0102030405060708090a\", "
                        "\"\xC3\x84\xC3\x9F\xE2\x82\xAC\", \"0001\", \"Zeile\\r\\nZwei\", null]"),
            std::string::npos);
  // A dump loads back to itself.
  const LoadRun again = Load({folder.File("again.mdb"), folder.Write("again.json", dumped)});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(SameDocument(Dump(folder.File("again.mdb")), dumped));
}

// The converter's target with ten rows, an AutoNumber primary key and a
// text index, loaded from its dump.
std::string LoadIndexedTarget(const TempFolder& folder) {
  const std::string target = folder.File("nuta.mdb");
  const std::string fixture = std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-target-indexed.mdb";
  EXPECT_EQ(Load({target, folder.Write("nuta.json", Dump(fixture, true))}).exitCode, 0);
  return target;
}

std::string NutaRows(const std::string& columns, const std::string& rows) {
  return "{\"format\": \"jet4\", \"tables\": [{\"name\": \"Nuta\", \"columns\": [" + columns + "], \"rows\": [" + rows +
         "]}]}";
}

constexpr char kNameKcalId[] =
    "{\"name\": \"Nahrungsmittel\", \"type\": \"Text\", \"size\": 100}, {\"name\": \"Kcal\", \"type\": \"Long\"}, "
    "{\"name\": \"ID\", \"type\": \"Long\"}";

TEST(LoadJet, AppendContinuesTheAutoNumberAndKeepsTheIndexes) {
  if (!platform::FileExists(std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-target-indexed.mdb")) {
    GTEST_SKIP() << "fixture folder " NUTARO_FIXTURES_DIR " is absent";
  }
  TempFolder folder;
  const std::string target = LoadIndexedTarget(folder);
  const LoadRun run = Load({target, folder.Write("more.json", NutaRows(kNameKcalId, "[\"Kiwi\", 61, null], [\"Mango\", 60, 40]")),
                            "--append"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string dumped = Dump(target, true);
  EXPECT_NE(dumped.find("        [11, \"Kiwi\", 61, null, null, null, null, null, null],\n"
                        "        [40, \"Mango\", 60, null, null, null, null, null, null]\n"),
            std::string::npos)
      << dumped;
  EXPECT_NE(dumped.find("{\"name\": \"PrimaryKey\", \"primary\": true"), std::string::npos) << "indexes stay";
  if (readers::HaveMdbTools()) {
    const auto exported = readers::MdbExport(target, "Nuta");
    ASSERT_TRUE(exported);
    EXPECT_NE(exported->find("40,\"Mango\",60,"), std::string::npos) << *exported;
  }
}

TEST(LoadJet, RefusalsNameTheirReasonAndLeaveTheTargetUntouched) {
  const std::string table = "{\"format\": \"jet4\", \"tables\": [{\"name\": \"t\", \"columns\": [";
  const auto document = [&](const std::string& columns, const std::string& rows) {
    return table + columns + "], \"rows\": [" + rows + "]}]}";
  };
  const std::vector<Refusal> newTarget{
      {{}, document("{\"name\": \"x\", \"type\": \"Float\", \"size\": 8}", ""),
       "IN, line 1, column 57: table \"t\", column \"x\": unknown type \"Float\" (a Jet database knows Boolean, Byte, "
       "Integer, Long, Currency, Single, Double, Date, Binary, Text, LongBinary, Memo, GUID, BigInt, Decimal)"},
      {{}, document("{\"name\": \"x\", \"type\": \"Text\", \"size\": 3}", "[\"abc\"], [\"abcd\"]"),
       "IN, line 1, column 119: table \"t\", row 2, column \"x\": the text has 4 characters; the column holds 3"},
      {{}, document("{\"name\": \"x\", \"type\": \"Byte\"}", "[256]"),
       "IN, line 1, column 99: table \"t\", row 1, column \"x\": 256 is not a whole number from 0 to 255"},
      {{}, document("{\"name\": \"x\", \"type\": \"Currency\"}", "[1.23456]"),
       "IN, line 1, column 103: table \"t\", row 1, column \"x\": 1.23456 is not a Currency amount (at most four "
       "decimals)"},
      {{"--jet3"}, document("{\"name\": \"x\", \"type\": \"Text\", \"size\": 10}", "[\"\u0416\"]"),
       "IN, line 1, column 111: table \"t\", row 1, column \"x\": the text has characters a Jet 3 database's code page "
       "cannot hold"},
      {{}, document("{\"name\": \"x\", \"type\": \"Long\", \"size\": 8}", ""),
       "IN, line 1, column 57: table \"t\", column \"x\": a Long column has size 4, not 8"},
      {{}, table + "{\"name\": \"x\", \"type\": \"Long\"}], \"rows\": [[1],\n [2] [3]]}]}",
       "IN, line 2, column 6: expected ',' or ']', found '['"},
      {{}, "{\"tables\": [{\"rows\": [], \"name\": \"t\"}]}",
       "IN, line 1, column 22: the table needs its \"name\" before its rows"},
      {{}, "{\"format\": \"ntd\", \"tables\": []}",
       "IN, line 1, column 12: the document holds a \"ntd\" table; a Jet database takes documents of format \"jet3\" "
       "or \"jet4\""},
      {{}, table + "{\"name\": \"x\", \"type\": \"Long\"}], \"rows\": [[1], [1]], \"indexes\": [{\"name\": \"k\", "
               "\"unique\": true, \"fields\": [{\"name\": \"x\"}]}]}]}",
       "IN, line 1, column 121: table \"t\", index \"k\": The changes you requested to the table were not successful "
       "because they would create duplicate values in the index, primary key, or relationship. Change the data in the "
       "field or fields that contain duplicate data, remove the index, or redefine the index to permit duplicate "
       "entries and try again."},
  };
  for (const Refusal& refusal : newTarget) {
    TempFolder folder;
    ExpectRefusal(folder, folder.File("new.mdb"), refusal);
  }
  if (!platform::FileExists(std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-target-indexed.mdb")) return;
  const std::vector<Refusal> existingTarget{
      {{}, NutaRows(kNameKcalId, ""), "TARGET exists; load makes new files only (--append adds rows to an existing one)"},
      {{"--append"}, "{\"tables\": [{\"name\": \"nuta2\", \"columns\": [], \"rows\": []}]}",
       "IN, line 1, column 13: table \"nuta2\": the database has no such table"},
      {{"--append"}, NutaRows("{\"name\": \"Salz\", \"type\": \"Long\"}", "[1]"),
       "IN, line 1, column 60: table \"Nuta\", column \"Salz\": the table in the database has no such column"},
      {{"--append"}, NutaRows("{\"name\": \"Kcal\", \"type\": \"Double\"}", "[1]"),
       "IN, line 1, column 60: table \"Nuta\", column \"Kcal\": the column is Long in the database, Double in the "
       "document"},
      // The first row goes in; the second repeats a primary key. The file
      // keeps neither.
      {{"--append"}, NutaRows(kNameKcalId, "[\"Kiwi\", 61, null], [\"Apfel\", 52, 3]"),
       "IN, line 1, column 214: table \"Nuta\", row 2: The changes you requested to the table were not successful "
       "because they would create duplicate values in the index, primary key, or relationship. Change the data in the "
       "field or fields that contain duplicate data, remove the index, or redefine the index to permit duplicate "
       "entries and try again."},
  };
  for (const Refusal& refusal : existingTarget) {
    TempFolder folder;
    const std::string target = LoadIndexedTarget(folder);
    ExpectRefusal(folder, target, refusal);
  }
}

TEST(LoadJet, StoredQueriesOfTheDocumentAreCreatedAgain) {
  TempFolder folder;
  const std::string tables =
      "{\"format\": \"jet4\", \"tables\": [{\"name\": \"nuta\", \"columns\": [{\"name\": \"Nahrungsmittel\", \"type\": "
      "\"Text\", \"size\": 100}, {\"name\": \"Kcal\", \"type\": \"Long\"}, {\"name\": \"Rubrik\", \"type\": \"Text\", "
      "\"size\": 50}], \"rows\": [[\"Apfel\", 52, \"Obst\"], [\"Butter\", 741, null]]}]";
  const std::string queries =
      ", \"queries\": ["
      "{\"name\": \"Sehr kalorienreich\", \"type\": \"Select\", \"sql\": \"SELECT nuta.* FROM nuta WHERE "
      "(((nuta.Kcal)>500)) ORDER BY nuta.Nahrungsmittel;\", \"parameters\": []}, "
      "{\"name\": \"Nach Rubrik\", \"type\": \"Select\", \"sql\": \"PARAMETERS [Welche Rubrik] Text ( 255 );\\r\\n"
      "SELECT * FROM nuta WHERE Rubrik=[Welche Rubrik];\", \"parameters\": [{\"name\": \"Welche Rubrik\", \"type\": "
      "\"Text\"}]}, "
      "{\"name\": \"Ohne Rubrik\", \"type\": \"Update\", \"sql\": \"UPDATE nuta SET Rubrik = 'Sonstiges' WHERE Rubrik "
      "Is Null\", \"parameters\": []}]}";
  const std::string target = folder.File("q.mdb");
  ASSERT_EQ(Load({target, folder.Write("q.json", tables + queries)}).exitCode, 0);
  const std::string first = Dump(target, true);
  const std::size_t at = first.find("\"queries\": [");
  ASSERT_NE(at, std::string::npos);
  for (const char* expected :
       {"\"name\": \"Nach Rubrik\",\n      \"type\": \"Select\"", "\"name\": \"Ohne Rubrik\",\n      \"type\": \"Update\"",
        "\"name\": \"Sehr kalorienreich\",\n      \"type\": \"Select\"",
        "[{\"name\": \"Welche Rubrik\", \"type\": \"Text\"}]"}) {
    EXPECT_NE(first.find(expected, at), std::string::npos) << expected << "\n" << first.substr(at);
  }
  // The queries' SQL as the database gives it goes round unchanged.
  const std::string again = folder.File("again.mdb");
  ASSERT_EQ(Load({again, folder.Write("again.json", first)}).exitCode, 0);
  EXPECT_TRUE(SameDocument(Dump(again, true), first));
  if (readers::HaveMdbTools()) {
    const auto listed = readers::RunCommand("mdb-queries -L '" + again + "' 2>/dev/null");
    ASSERT_TRUE(listed.has_value());
    EXPECT_NE(listed->find("Sehr kalorienreich"), std::string::npos) << *listed;
  }

  // A query that cannot be stored refuses the whole load; a table file
  // takes none; queries name tables, so they follow them.
  ExpectRefusal(folder, folder.File("bad.mdb"),
                {{}, tables + ", \"queries\": [{\"name\": \"q\", \"sql\": \"SELECT FROM WHERE\"}]}",
                 "IN, line 1, column 270: the query \"q\": The SELECT statement includes a reserved word or an argument "
                 "name that is misspelled or missing, or the punctuation is incorrect."});
  ExpectRefusal(folder, folder.File("bad.mdb"),
                {{}, tables + ", \"queries\": [{\"name\": \"nuta\", \"sql\": \"SELECT * FROM nuta\"}]}",
                 "IN, line 1, column 270: the query \"nuta\": Table 'nuta' already exists."});
  ExpectRefusal(folder, folder.File("bad.mdb"),
                {{}, tables + ", \"queries\": [{\"name\": \"p\", \"type\": \"SQLPassThrough\", \"sql\": \"SELECT 1\"}]}",
                 "IN, line 1, column 270: the query \"p\" is a pass-through query; the document does not hold the server "
                 "it is for"});
  ExpectRefusal(folder, folder.File("bad.mdb"),
                {{}, "{\"queries\": [], \"tables\": []}", "IN, line 1, column 13: \"queries\" must follow \"tables\""});
  ExpectRefusal(folder, folder.File("bad.ntd"),
                {{}, "{\"format\": \"ntd\", \"tables\": [], \"queries\": [{\"name\": \"q\", \"sql\": \"SELECT 1\"}]}",
                 "IN, line 1, column 45: a table file holds no queries; the document has the query \"q\""});
}

TEST(LoadJet, APasswordProtectsTheNewDatabaseAndOpensAnExistingOne) {
  TempFolder folder;
  const std::string target = folder.File("secret.mdb");
  const std::string document = NutaRows("{\"name\": \"Kcal\", \"type\": \"Long\", \"size\": 4}", "[52]");
  ASSERT_EQ(Load({target, folder.Write("a.json", document), "--password", "Geheim"}).exitCode, 0);
  EXPECT_THROW(Dump(target), std::exception) << "the database asks for its password";
  ASSERT_EQ(Load({target, folder.Write("b.json", NutaRows("{\"name\": \"Kcal\", \"type\": \"Long\"}", "[53]")),
                  "--append", "--password", "Geheim"})
                .exitCode,
            0);
  EXPECT_NE(Dump(target, false, "Geheim").find("[52],\n        [53]\n"), std::string::npos);
}

}  // namespace
}  // namespace tools
