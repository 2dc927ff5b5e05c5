// `nutaro dump` on Jet databases, run as a user runs it: the Nutaro-shaped
// fixtures against the documents they were made from, named tables, the
// schema part, passwords and the exit status of failures.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "dao/jet/database_header.h"
#include "dao/jet/text_codec.h"
#include "platform/file_io.h"
#include "tools/json_reader.h"
#include "tools/tests/program_run.h"

namespace tools {
namespace {

using platform::testing::TempFolder;
using testing::RunNutaro;
using testing::ToolRun;

// A JSON document as a tree, for comparing by value.
struct Node {
  JsonKind kind = JsonKind::Null;
  std::string text;
  bool boolean = false;
  std::vector<Node> items;
  std::vector<std::pair<std::string, Node>> members;

  const Node& operator[](const std::string& key) const {
    for (const auto& [name, value] : members) {
      if (name == key) return value;
    }
    throw std::runtime_error("no member " + key);
  }
};

Node ReadNode(JsonReader& reader) {
  Node node;
  node.kind = reader.PeekKind();
  if (node.kind == JsonKind::Object) {
    reader.BeginObject();
    while (const auto key = reader.NextKey()) node.members.emplace_back(*key, ReadNode(reader));
  } else if (node.kind == JsonKind::Array) {
    reader.BeginArray();
    while (reader.NextElement()) node.items.push_back(ReadNode(reader));
  } else {
    JsonScalar scalar;
    reader.ReadScalar(scalar);
    node.text = scalar.text;
    node.boolean = scalar.boolean;
  }
  return node;
}

Node Parse(const std::string& text) {
  std::istringstream in(text);
  JsonReader reader(in);
  Node node = ReadNode(reader);
  reader.ExpectEnd();
  return node;
}

class DumpJet : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures_ = std::filesystem::path(NUTARO_FIXTURES_DIR);
    if (!std::filesystem::is_directory(fixtures_ / "nutaro")) GTEST_SKIP() << "fixture folder " << fixtures_ << " is absent";
  }

  ToolRun Nutaro(const std::string& arguments) const { return RunNutaro(folder_, arguments); }

  std::string Fixture(const std::string& relative) const { return "'" + (fixtures_ / relative).string() + "'"; }

  std::filesystem::path fixtures_;
  TempFolder folder_;
};

TEST_F(DumpJet, NutaroFixturesEqualTheirExpectedDocuments) {
  for (const char* name : {"nuta4-basic", "nuta4-empty", "nuta4-noprotein", "nuta4-target-indexed", "nuta4-large"}) {
    SCOPED_TRACE(name);
    const ToolRun run = Nutaro("dump " + Fixture(std::string("nutaro/") + name + ".mdb"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Node actual = Parse(run.out);
    const Node expected = Parse(platform::ReadWholeFile((fixtures_ / "nutaro" / (std::string(name) + ".expected.json")).string()));
    EXPECT_EQ(actual["format"].text, expected["format"].text);
    ASSERT_EQ(actual["tables"].items.size(), 1u);
    const Node& table = actual["tables"].items[0];
    const Node& wanted = expected["tables"].items[0];
    EXPECT_EQ(table["name"].text, wanted["name"].text);
    const auto& columns = table["columns"].items;
    ASSERT_EQ(columns.size(), wanted["columns"].items.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
      EXPECT_EQ(columns[c]["name"].text, wanted["columns"].items[c]["name"].text);
      EXPECT_EQ(columns[c]["type"].text, wanted["columns"].items[c]["type"].text);
      EXPECT_EQ(columns[c]["size"].text, wanted["columns"].items[c]["size"].text);
    }
    const auto& rows = table["rows"].items;
    ASSERT_EQ(rows.size(), wanted["rows"].items.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < columns.size(); ++c) {
        const Node& cell = rows[r].items[c];
        const Node& want = wanted["rows"].items[r].items[c];
        SCOPED_TRACE("row " + std::to_string(r) + " column " + columns[c]["name"].text);
        if (columns[c]["name"].text == "ID") {
          // The expected document of the indexed target leaves the
          // AutoNumber values out (null); the file holds 1..10.
          EXPECT_EQ(cell.text, std::to_string(r + 1));
        } else if (columns[c]["type"].text == "Single" && want.kind == JsonKind::Number) {
          ASSERT_EQ(cell.kind, JsonKind::Number);
          EXPECT_EQ(std::stof(cell.text), static_cast<float>(std::stod(want.text)));
        } else if (want.kind == JsonKind::Number) {
          EXPECT_EQ(std::stod(cell.text), std::stod(want.text));
        } else {
          EXPECT_EQ(cell.kind, want.kind);
          EXPECT_EQ(cell.text, want.text);
        }
      }
    }
  }
}

TEST_F(DumpJet, NamedTablesComeInTheGivenOrderAndTheOutputIsStable) {
  const std::string file = Fixture("access/v1997-indexTest.mdb");
  const ToolRun first = Nutaro("dump " + file + " Table3 table1");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const Node document = Parse(first.out);
  EXPECT_EQ(document["format"].text, "jet3");
  ASSERT_EQ(document["tables"].items.size(), 2u);
  EXPECT_EQ(document["tables"].items[0]["name"].text, "Table3");
  EXPECT_EQ(document["tables"].items[1]["name"].text, "Table1");
  EXPECT_EQ(Nutaro("dump " + file + " Table3 table1").out, first.out);

  const ToolRun all = Nutaro("dump " + file);
  ASSERT_EQ(all.exitCode, 0);
  EXPECT_EQ(Parse(all.out)["tables"].items.size(), 3u);  // user tables only

  const ToolRun missing = Nutaro("dump " + file + " Table9");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_NE(missing.err.find("Table9"), std::string::npos);

}

TEST_F(DumpJet, FilterAndOrderReadTheRowsThroughTheAccessLayer) {
  const std::string file = Fixture("nutaro/nuta4-large.mdb");
  const ToolRun run = Nutaro("dump " + file + " nuta --filter \"[Kcal] > 500 AND [Rubrik] Like 'S*'\"" +
                             " --order 'Kcal DESC;Kjoule'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Node expected = Parse(platform::ReadWholeFile((fixtures_ / "nutaro" / "nuta4-large.expected.json").string()));
  std::multiset<std::string> wanted;
  for (const Node& row : expected["tables"].items[0]["rows"].items) {
    const Node& rubrik = row.items[7];
    if (std::stod(row.items[1].text) > 500 && rubrik.kind == JsonKind::String &&
        (rubrik.text.starts_with("S") || rubrik.text.starts_with("s"))) {
      wanted.insert(row.items[0].text);
    }
  }
  const Node document = Parse(run.out);
  const auto& rows = document["tables"].items[0]["rows"].items;
  ASSERT_FALSE(wanted.empty());
  std::multiset<std::string> names;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    names.insert(rows[r].items[0].text);
    if (r == 0) continue;
    const double kcal = std::stod(rows[r].items[1].text);
    const double before = std::stod(rows[r - 1].items[1].text);
    EXPECT_LE(kcal, before) << "row " << r;
    if (kcal == before) EXPECT_GE(std::stod(rows[r].items[2].text), std::stod(rows[r - 1].items[2].text)) << "row " << r;
  }
  EXPECT_EQ(names, wanted);
  // Columns and values are written as without the options.
  EXPECT_EQ(document["tables"].items[0]["columns"].items.size(), 8u);

  const ToolRun refused = Nutaro("dump " + file + " --filter '[Kcal] >> 3'");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.out.empty()) << "nothing is printed for a condition DAO refuses";
  EXPECT_FALSE(refused.err.empty());
  const ToolRun unknown = Nutaro("dump " + file + " --order Gewicht");
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_TRUE(unknown.out.empty());
}

TEST_F(DumpJet, EveryValueKindIsWrittenInItsDumpForm) {
  const ToolRun run = Nutaro("dump " + Fixture("access/v1997-testIndexCodes.mdb") + " Table13 Table8 Table6 Table10");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Node tables = Parse(run.out)["tables"];
  EXPECT_EQ(tables.items[0]["columns"].items[1]["type"].text, "GUID");
  EXPECT_EQ(tables.items[0]["rows"].items[0].items[1].text, "{8E39276A-BCA8-4AC4-891E-49911D8438DD}");
  EXPECT_EQ(tables.items[1]["columns"].items[1]["type"].text, "Currency");
  EXPECT_EQ(tables.items[2]["columns"].items[1]["type"].text, "Date");
  EXPECT_EQ(tables.items[3]["rows"].items[0].items[1].kind, JsonKind::Boolean);
  std::set<std::string> dates;
  for (const Node& row : tables.items[2]["rows"].items) dates.insert(row.items[1].text);
  EXPECT_EQ(dates.count("1899-12-29 02:24:00.000"), 1u);  // -1.1: the day back, the time forward
  EXPECT_EQ(dates.count("1805-06-12 00:00:00.000"), 1u);

  const ToolRun binary = Nutaro("dump " + Fixture("access/v2000-test2.mdb") + " MSP_PROJECTS");
  ASSERT_EQ(binary.exitCode, 0) << binary.err;
  const Node project = Parse(binary.out)["tables"].items[0];
  for (std::size_t c = 0; c < project["columns"].items.size(); ++c) {
    if (project["columns"].items[c]["type"].text != "LongBinary") continue;
    const std::string& hex = project["rows"].items[0].items[c].text;
    EXPECT_EQ(hex.size(), 2u * 22970);  // the OLE object spread over several pages
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
  }
}

TEST_F(DumpJet, SchemaAddsIndexesAndColumnProperties) {
  const ToolRun run = Nutaro("dump --schema " + Fixture("nutaro/nuta4-target-indexed.mdb"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Node table = Parse(run.out)["tables"].items[0];
  const Node& primary = table["indexes"].items[0];
  EXPECT_EQ(primary["name"].text, "PrimaryKey");
  EXPECT_TRUE(primary["primary"].boolean);
  EXPECT_EQ(primary["fields"].items[0]["name"].text, "ID");
  EXPECT_EQ(table["indexes"].items[1]["name"].text, "Nahrungsmittel");
  const Node& id = table["columns"].items[0]["properties"];
  EXPECT_EQ(id["Attributes"].text, "17");  // fixed and AutoNumber
  EXPECT_FALSE(id["Required"].boolean);
}

TEST_F(DumpJet, DatabasePasswordsAreAskedFor) {
  // A copy of a fixture with the password "Kalorie".
  const std::filesystem::path source = fixtures_ / "nutaro" / "nuta4-empty.mdb";
  std::vector<std::uint8_t> bytes(std::filesystem::file_size(source));
  std::ifstream(source, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  dao::jet::StoreDatabasePassword(dao::jet::kJet4Layout, dao::jet::MutableBytes(bytes.data(), dao::jet::kJet4PageSize),
                                  dao::jet::Utf8ToUtf16Le("Kalorie"));
  const std::filesystem::path locked = folder_.File("locked.mdb");
  std::ofstream(locked, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

  const ToolRun refused = Nutaro("dump " + locked.string());
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.out.empty());
  EXPECT_NE(refused.err.find("Not a valid password."), std::string::npos);
  EXPECT_EQ(Nutaro("dump --password Kalorie " + locked.string()).exitCode, 0);
}

TEST_F(DumpJet, SchemaListsTheStoredQueriesAfterTheTables) {
  // Types as the fixtures' expected lists name them, and as dump does.
  const std::map<std::string, std::string> kTypes{
      {"APPEND", "Append"},   {"CROSS_TAB", "Crosstab"},       {"DATA_DEFINITION", "DDL"},
      {"DELETE", "Delete"},   {"MAKE_TABLE", "MakeTable"},     {"PASSTHROUGH", "SQLPassThrough"},
      {"SELECT", "Select"},   {"UNION", "SetOperation"},       {"UPDATE", "Update"}};
  for (const char* name : {"v1997-queryTest", "v2000-queryTest"}) {
    SCOPED_TRACE(name);
    const ToolRun run = Nutaro("dump --schema " + Fixture(std::string("access/") + name + ".mdb"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Node document = Parse(run.out);
    ASSERT_EQ(document.members.back().first, "queries");
    const Node expected =
        Parse(platform::ReadWholeFile((fixtures_ / "access" / "expected" / name / "queries.json").string()));
    std::map<std::string, const Node*> wanted;
    for (const Node& query : expected.items) wanted[query["name"].text] = &query;
    const auto& queries = document["queries"].items;
    ASSERT_EQ(queries.size(), wanted.size());
    auto next = wanted.begin();
    for (const Node& query : queries) {
      SCOPED_TRACE(query["name"].text);
      EXPECT_EQ(query["name"].text, next->first) << "queries in name order";
      EXPECT_EQ(query["type"].text, kTypes.at((*next->second)["type"].text));
      EXPECT_FALSE(query["sql"].text.empty());
      const auto& parameters = query["parameters"].items;
      if (query["name"].text == "UpdateQuery") {
        ASSERT_EQ(parameters.size(), 1u);
        EXPECT_EQ(parameters[0]["name"].text, "User Name");
        EXPECT_EQ(parameters[0]["type"].text, "Text");
      }
      ++next;
    }
    // Without --schema, and for a database without queries, there is no
    // member at all.
    const ToolRun plain = Nutaro("dump " + Fixture(std::string("access/") + name + ".mdb"));
    EXPECT_EQ(plain.out.find("\"queries\""), std::string::npos);
  }
  const ToolRun none = Nutaro("dump --schema " + Fixture("nutaro/nuta4-basic.mdb"));
  EXPECT_EQ(none.out.find("\"queries\""), std::string::npos);
}

}  // namespace
}  // namespace tools
