// Every user table of every Access-made fixture, read through the DAO
// objects, against the export of an independent reader: rows cell by cell,
// column types and sizes, required flags, default values and indexes. Where
// the independent readers disagree, the value Access stores is expected.

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/tests/fixture_support.h"
#include "platform/date_time.h"
#include "platform/decimal.h"
#include "platform/guids.h"

namespace dao {
namespace {

using testing::CsvRow;
using testing::Json;

// The text mdb-export prints for a value (see the fixtures' README).
std::string ExportText(const platform::Variant& value, int daoType) {
  char buffer[64];
  switch (daoType) {
    case dbBoolean:
      return value.ToBoolean() ? "1" : "0";
    case dbSingle:
      std::snprintf(buffer, sizeof buffer, "%.8g", static_cast<double>(value.ToSingle()));
      return buffer;
    case dbDouble:
      std::snprintf(buffer, sizeof buffer, "%.16g", value.ToDouble());
      return buffer;
    case dbCurrency: {
      const std::int64_t scaled = value.ToCurrency().scaled;
      const std::uint64_t magnitude = scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled) : scaled;
      std::snprintf(buffer, sizeof buffer, "%s%" PRIu64 ".%04" PRIu64, scaled < 0 ? "-" : "", magnitude / 10000,
                    magnitude % 10000);
      return buffer;
    }
    case dbDecimal:
      return platform::DecimalToText(value.ToDecimal(), platform::EnglishUsFormatSettings());
    case dbDate: {
      // Rounded to the nearest second, as the export prints it.
      platform::TimeStamp stamp = platform::DateTimeToTimeStamp(value.ToDate());
      stamp.time = (stamp.time + 500) / 1000 * 1000;
      if (stamp.time >= platform::kMillisecondsPerDay) {
        stamp.time -= platform::kMillisecondsPerDay;
        ++stamp.date;
      }
      const double rounded = platform::TimeStampToDateTime(stamp);
      const platform::DateParts d = platform::DecodeDate(rounded);
      const platform::TimeParts t = platform::DecodeTime(rounded);
      std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, t.hour, t.minute,
                    t.second);
      return buffer;
    }
    case dbGUID:
      return platform::GuidToString(value.ToGuid());
    case dbBinary:
    case dbLongBinary:
      return testing::Hex(value.ToBytes());
    default:
      return value.ToText();
  }
}

// GUIDs are exported as hex of their text without the last hyphen; both
// sides are reduced to their 32 hex digits.
std::string GuidDigits(const std::string& text) {
  std::string digits;
  for (const char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += static_cast<char>(std::toupper(c));
  }
  return digits;
}

std::string HexToAscii(const std::string& hex) {
  std::string text;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return text;
}

// The cell value Access stores where the independent readers disagree.
std::map<std::pair<int, std::string>, std::string> Corrections(const Json& file, const std::string& table) {
  std::map<std::pair<int, std::string>, std::string> corrections;
  for (const Json& d : file["disagreements"].items) {
    if (d["table"].text != table) continue;
    const int row = std::stoi(d["row_index"].text);
    if (d["type"].text == "datetime") {
      corrections[{row, d["column"].text}] = d["access_convention"].text;
    } else if (d["type"].text == "text") {
      // The export has "?" where the undefined code-page byte stands.
      std::string value = d["mdbtools"].text;
      const char32_t code = static_cast<char32_t>(std::stoul(d["windows_1252_conversion"].text.substr(2), nullptr, 16));
      std::string utf8;
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
      value.replace(value.find('?'), 1, utf8);
      corrections[{row, d["column"].text}] = value;
    }
  }
  return corrections;
}

// The NOT NULL and DEFAULT clauses the schema export prints per column.
struct SchemaColumn {
  bool notNull = false;
  std::string defaultValue;
};

std::map<std::string, std::map<std::string, SchemaColumn>> ReadSchema(const std::filesystem::path& path) {
  std::map<std::string, std::map<std::string, SchemaColumn>> tables;
  std::ifstream in(path);
  std::string line;
  std::string table;
  const std::regex create(R"(^CREATE TABLE \[(.*)\]$)");
  const std::regex column(R"(^\s*\[(.*?)\]\s+(.*?),?\s*$)");
  std::smatch match;
  while (std::getline(in, line)) {
    if (std::regex_match(line, match, create)) {
      table = match[1];
    } else if (!table.empty() && std::regex_match(line, match, column)) {
      SchemaColumn info;
      const std::string rest = match[2];
      info.notNull = rest.find("NOT NULL") != std::string::npos;
      const std::size_t at = rest.find("DEFAULT ");
      if (at != std::string::npos) info.defaultValue = rest.substr(at + 8);
      tables[table][match[1]] = info;
    }
  }
  return tables;
}

int DaoTypeOfJetCode(int code) { return code == 0x10 ? dbDecimal : code; }

class AccessFixturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::FixturesDir().empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
    manifest_ = testing::ReadJsonFile(testing::FixturesDir() / "access" / "manifest.json");
    engine_ = DBEngine::Create("DAO.DBEngine.36");
    workspace_ = engine_->CreateWorkspace("test", "Admin", "");
  }

  std::shared_ptr<Database> Open(const Json& file) {
    return workspace_->OpenDatabase((testing::FixturesDir() / "access" / file["file"].text).string(), false, true);
  }

  Json manifest_;
  std::shared_ptr<DBEngine> engine_;
  std::shared_ptr<Workspace> workspace_;
};

TEST_F(AccessFixturesTest, VersionAndUserTablesMatchTheManifest) {
  for (const Json& file : manifest_["files"].items) {
    SCOPED_TRACE(file["file"].text);
    const auto database = Open(file);
    EXPECT_EQ(database->Version(), file["jet_version"].text == "Jet 3" ? "3.0" : "4.0");
    EXPECT_EQ(database->CollatingOrder(), dbSortGeneral);
    std::set<std::string> expected;
    for (const Json& table : file["tables"].items) expected.insert(table["name"].text);
    std::set<std::string> userTables;
    for (const auto& table : database->TableDefs()) {
      if ((table->Attributes() & dbSystemObject) == 0) userTables.insert(table->Name());
    }
    EXPECT_EQ(userTables, expected);
  }
}

TEST_F(AccessFixturesTest, ColumnsRequiredFlagsDefaultsAndIndexesMatchTheSchemas) {
  for (const Json& file : manifest_["files"].items) {
    const auto database = Open(file);
    const auto schema = ReadSchema(testing::FixturesDir() / "access" / file["schema_access"].text);
    for (const Json& table : file["tables"].items) {
      SCOPED_TRACE(file["file"].text + " " + table["name"].text);
      const auto& tableDef = database->TableDefs().Item(table["name"].text);
      const auto& fields = tableDef->Fields();
      ASSERT_EQ(fields.Count(), static_cast<int>(table["columns"].items.size()));
      for (int i = 0; i < fields.Count(); ++i) {
        const Json& column = table["columns"].items[static_cast<std::size_t>(i)];
        const auto& field = fields.Item(i);
        SCOPED_TRACE(column["name"].text);
        EXPECT_EQ(field->Name(), column["name"].text);
        EXPECT_EQ(field->Type(), DaoTypeOfJetCode(std::stoi(column["jet_type_code"].text)));
        if (column.Has("max_chars")) EXPECT_EQ(field->Size(), std::stoi(column["max_chars"].text));
        EXPECT_EQ((field->Attributes() & dbAutoIncrField) != 0, column["autonumber"].boolean);
        if (field->Type() != dbBoolean) {
          const SchemaColumn& printed = schema.at(table["name"].text).at(field->Name());
          EXPECT_EQ(field->Required(), printed.notNull);
          EXPECT_EQ(field->DefaultValue(), printed.defaultValue);
        }
      }
      std::set<std::string> expectedIndexes;
      for (const Json& index : table["indexes"].items) {
        std::string text = index["name"].text + " " + index["kind"].text + ":";
        for (const Json& column : index["columns"].items) text += " " + column.text;
        expectedIndexes.insert(text);
      }
      std::set<std::string> indexes;
      for (const auto& index : tableDef->Indexes()) {
        std::string text = index->Name() + (index->Primary() ? " primary-key:" : index->Foreign() ? " foreign-key:" : " index:");
        for (const auto& field : index->Fields()) text += " " + field->Name();
        indexes.insert(text);
      }
      EXPECT_EQ(indexes, expectedIndexes);
    }
  }
}

TEST_F(AccessFixturesTest, RowsMatchTheExportCellByCell) {
  for (const Json& file : manifest_["files"].items) {
    const auto database = Open(file);
    for (const Json& table : file["tables"].items) {
      const std::string name = table["name"].text;
      SCOPED_TRACE(file["file"].text + " " + name);
      const std::vector<CsvRow> csv = testing::ReadCsvFile(testing::FixturesDir() / "access" / table["expected_csv"].text);
      const auto corrections = Corrections(file, name);
      std::vector<std::size_t> order;
      for (const Json& index : table["logical_row_order"].items) order.push_back(std::stoul(index.text));

      const auto recordset = database->OpenRecordset(name, dbOpenSnapshot);
      const auto& fields = recordset->Fields();
      std::size_t row = 0;
      for (; !recordset->AtEOF(); recordset->MoveNext(), ++row) {
        const std::size_t csvRow = order.empty() ? row : order.at(row);
        ASSERT_LT(csvRow + 1, csv.size()) << "more rows than the export";
        for (int i = 0; i < fields.Count(); ++i) {
          const auto& field = fields.Item(i);
          const testing::CsvCell& cell = csv[csvRow + 1][static_cast<std::size_t>(i)];
          SCOPED_TRACE("row " + std::to_string(csvRow) + " column " + field->Name());
          const platform::Variant value = field->Value();
          const auto corrected = corrections.find({static_cast<int>(csvRow), field->Name()});
          if (corrected != corrections.end()) {
            EXPECT_EQ(ExportText(value, field->Type()), corrected->second);
          } else if (cell.IsNull()) {
            EXPECT_TRUE(value.IsNull()) << ExportText(value, field->Type());
          } else if (field->Type() == dbGUID) {
            EXPECT_EQ(GuidDigits(ExportText(value, dbGUID)), GuidDigits(HexToAscii(cell.text)));
          } else {
            ASSERT_FALSE(value.IsNull()) << cell.text;
            EXPECT_EQ(ExportText(value, field->Type()), cell.text);
          }
        }
      }
      EXPECT_EQ(row + 1, csv.size());
      EXPECT_EQ(static_cast<long>(row), recordset->RecordCount());
    }
  }
}

}  // namespace
}  // namespace dao
