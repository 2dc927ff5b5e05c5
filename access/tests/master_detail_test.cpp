// TAccessTable as a detail: a master table of Rubrik names (an Access
// table, or a table file) and the nuta table follow each other through
// whole walks; new detail rows take the master's values; the condition
// works for every field type under English and German formats; the
// refusals; and a randomised walk with appends checked against a model.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "access/access_table.h"
#include "access/dao_call_log.h"
#include "access/tests/access_test_support.h"
#include "dao/constants.h"
#include "dao/jet/tests/external_readers.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "platform/guids.h"
#include "recordset/data_source.h"
#include "recordset/tests/memory_dataset.h"
#include "tablefile/ntd_dataset.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using testing::ErrorOf;
using testing::TextRows;

using Names = std::vector<std::string>;

constexpr int kName = 0;
constexpr int kRubrik = 7;

class MasterDetailTest : public testing::AccessTest {
 protected:
  // A copy of `fixture` with a table "Rubriken" (Nr, Name) holding `names`.
  void Prepare(const std::string& fixture, const Names& names) {
    path_ = CopyFixture(fixture);
    database_ = Connect(path_);
    all_ = TextRows(*OpenTable(*database_, "nuta", "Scan"));
    database_->CreateTable("Rubriken", {"Nr", "Name"}, {dao::dbLong, dao::dbText}, {0, 100}, {0, 0}, {0, 0});
    auto rubriken = OpenTable(*database_, "Rubriken", "Filler");
    for (std::size_t i = 0; i < names.size(); ++i) {
      rubriken->AppendRow();
      rubriken->FieldNamed("Nr").SetVariantValue(Variant(static_cast<std::int32_t>(i + 1)));
      rubriken->FieldNamed("Name").SetTextValue(names[i]);
      rubriken->PostRow();
    }
  }

  // The food names of the nuta rows of `rubrik` as a scan finds them, sorted.
  Names Expected(const std::string& rubrik) const {
    Names names;
    for (const auto& row : all_) {
      if (row[kRubrik] == rubrik) names.push_back(row[kName]);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  static Names Shown(TAccessTable& detail, const std::string& field = "Nahrungsmittel") {
    Names names;
    for (detail.GoFirst(); !detail.AtEnd(); detail.GoNext()) names.push_back(detail.FieldNamed(field).TextValue());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<TAccessTable> Detail(const std::string& name = "Detail") {
    auto detail = std::make_unique<TAccessTable>(name);
    detail->SetDatabase(database_.get());
    detail->SetTableName("nuta");
    return detail;
  }

  std::unique_ptr<TAccessTable> Master() {
    auto master = std::make_unique<TAccessTable>("Master");
    master->SetDatabase(database_.get());
    master->SetTableName("Rubriken");
    return master;
  }

  // master_ on "Rubriken", shown by source_, and detail_ on "nuta"
  // following it by `fields`; both closed.
  void Link(std::vector<std::string> fields = {"Rubrik -> Name"}) {
    master_ = Master();
    source_.SetDataSet(master_.get());
    detail_ = Detail();
    detail_->SetMasterSource(&source_);
    detail_->SetMasterFields(std::move(fields));
  }

  std::string path_;
  std::unique_ptr<TAccessDatabase> database_;
  std::vector<std::vector<std::string>> all_;
  std::unique_ptr<TAccessTable> master_;
  TDataSource source_;
  std::unique_ptr<TAccessTable> detail_;
};

const Names kLargeRubriken = {"Obst",          "Gemüse & Kartoffeln", "Brot & Backwaren", "Teigwaren & Getreide",
                              "Getränke",      "Käse",                "Fisch",            "Süßwaren",
                              "Fleisch & Geflügel", "Milch & Milchprodukte", "Wurstwaren",    "Nüsse & Samen",
                              "Fette & Öle",   "Keine Rubrik",        "Omas \"Beste\""};

TEST_F(MasterDetailTest, ATableOfRubrikNamesAndTheLargeNutaFollowEachOther) {
  Prepare("nutaro/nuta4-large.mdb", kLargeRubriken);
  Link({});
  detail_->SetMasterFieldsText("Rubrik -> Name\n");
  TAccessTable* master = master_.get();
  TAccessTable* detail = detail_.get();
  // Opening the detail opens its master.
  detail->SetActive(true);
  EXPECT_TRUE(master->Active());
  std::size_t seen = 0;
  for (master->GoFirst(); !master->AtEnd(); master->GoNext()) {
    const std::string rubrik = master->FieldNamed("Name").TextValue();
    const Names expected = Expected(rubrik);
    EXPECT_EQ(detail->RowCount(), static_cast<int>(expected.size())) << rubrik;
    EXPECT_EQ(Shown(*detail), expected) << rubrik;
    seen += expected.size();
  }
  // Every row with a Rubrik was shown once.
  EXPECT_EQ(seen, all_.size() - 392);
  // Backwards, and by jumps.
  for (master->GoLast(); !master->AtStart(); master->GoPrior()) {
    EXPECT_EQ(Shown(*detail), Expected(master->FieldNamed("Name").TextValue()));
  }
  master->GoFirst();
  master->MoveBy(5);
  EXPECT_EQ(Shown(*detail), Expected(kLargeRubriken[5]));
}

TEST_F(MasterDetailTest, NewDetailRowsTakeTheMastersValues) {
  Prepare("nutaro/nuta4-basic.mdb", {"Obst", "Neu"});
  Link();
  TAccessTable* master = master_.get();
  TAccessTable* detail = detail_.get();
  detail->SetActive(true);
  master->GoLast();
  EXPECT_EQ(detail->RowCount(), 0);
  for (const char* food : {"Sternfrucht", "Kaktusfeige"}) {
    detail->AppendRow();
    EXPECT_EQ(detail->FieldNamed("Rubrik").TextValue(), "Neu");
    detail->FieldNamed("Nahrungsmittel").SetTextValue(food);
    detail->FieldNamed("Kcal").SetTextValue("30");
    detail->PostRow();
  }
  EXPECT_EQ(Shown(*detail), (Names{"Kaktusfeige", "Sternfrucht"}));
  master->GoFirst();
  detail->InsertRow();
  EXPECT_EQ(detail->FieldNamed("Rubrik").TextValue(), "Obst");
  detail->FieldNamed("Nahrungsmittel").SetTextValue("Quitte");
  detail->PostRow();
  EXPECT_EQ(Shown(*detail).size(), Expected("Obst").size() + 1);
  master->GoLast();
  EXPECT_EQ(Shown(*detail), (Names{"Kaktusfeige", "Sternfrucht"}));
  detail->SetActive(false);
  master->SetActive(false);
  database_->SetConnected(false);

  if (dao::jet::testing::HaveMdbTools()) {
    const auto csv = dao::jet::testing::MdbExport(path_, "nuta");
    ASSERT_TRUE(csv.has_value());
    for (const char* line : {"\"Sternfrucht\",30,", "\"Kaktusfeige\",30,", "\"Quitte\","}) {
      const std::size_t at = csv->find(line);
      ASSERT_NE(at, std::string::npos) << line;
      const std::string row = csv->substr(at, csv->find('\n', at) - at);
      EXPECT_NE(row.find(std::string_view(line) == "\"Quitte\"," ? "\"Obst\"" : "\"Neu\""), std::string::npos) << row;
    }
  }
}

TEST_F(MasterDetailTest, ATableFileMasterLinksFieldsOfTheSameNames) {
  Prepare("nutaro/nuta4-basic.mdb", {});
  tablefile::TNtdTable master("NtdMaster");
  master.FieldDefs().AddFieldDef("Rubrik", ftString, 100);
  master.FieldDefs().AddFieldDef("Kcal", ftInteger);
  master.SetActive(true);
  const std::vector<std::pair<std::string, int>> keys = {{"Obst", 52}, {"Obst", 53}, {"Fisch", 0}, {"Käse", 356}};
  for (const auto& [rubrik, kcal] : keys) {
    master.AppendRow();
    master.FieldNamed("Rubrik").SetTextValue(rubrik);
    master.FieldNamed("Kcal").SetVariantValue(Variant(static_cast<std::int32_t>(kcal)));
    master.PostRow();
  }
  TDataSource source;
  source.SetDataSet(&master);
  auto detail = Detail();
  detail->SetMasterSource(&source);
  detail->SetMasterFields({"Rubrik;Kcal"});
  detail->SetActive(true);
  for (master.GoFirst(); !master.AtEnd(); master.GoNext()) {
    Names expected;
    for (const auto& row : all_) {
      if (row[kRubrik] == master.FieldNamed("Rubrik").TextValue() && row[1] == master.FieldNamed("Kcal").TextValue()) {
        expected.push_back(row[kName]);
      }
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Shown(*detail), expected) << master.FieldNamed("Rubrik").TextValue();
  }
  // A single name without ";" links that field alone.
  detail->SetMasterFields({"Rubrik"});
  master.GoFirst();
  EXPECT_EQ(Shown(*detail), Expected("Obst"));
  detail->AppendRow();
  EXPECT_EQ(detail->FieldNamed("Rubrik").TextValue(), "Obst");
  detail->CancelRow();
}

TEST_F(MasterDetailTest, TheConditionMatchesEveryFieldTypeUnderEveryLocale) {
  Prepare("nutaro/nuta4-basic.mdb", {});
  database_->CreateTable("Typen", {"T", "L", "D", "B", "W", "G"},
                         {dao::dbText, dao::dbLong, dao::dbDouble, dao::dbBoolean, dao::dbDate, dao::dbGUID},
                         {50, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
  const platform::TDateTime when = platform::EncodeDate(2026, 12, 24) + platform::EncodeTime(18, 30, 15, 0);
  const platform::Guid guid = platform::ParseGuid("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  {
    auto filler = OpenTable(*database_, "Typen", "Filler");
    const auto add = [&](const char* text, std::optional<int> number, double real, bool flag, double date,
                         bool withGuid) {
      filler->AppendRow();
      filler->FieldNamed("T").SetTextValue(text);
      if (number) filler->FieldNamed("L").SetVariantValue(Variant(static_cast<std::int32_t>(*number)));
      filler->FieldNamed("D").SetVariantValue(Variant(real));
      filler->FieldNamed("B").SetVariantValue(Variant(flag));
      filler->FieldNamed("W").SetVariantValue(Variant::FromDate(date));
      if (withGuid) filler->FieldNamed("G").SetVariantValue(Variant(platform::Bytes(guid.bytes.begin(), guid.bytes.end())));
      filler->PostRow();
    };
    add("a \"quoted\" text", 1, 1234.5, true, when, true);
    add("a \"quoted\" text", 1, 1234.5, true, when, true);  // the same twice
    add("a \"quoted\" text", 1, 1234.5, false, when, true);
    add("a \"quoted\" text", 1, -1234.56789012, true, when, true);
    add("a \"quoted\" text", 2, 1234.5, true, when, true);
    add("a \"quoted\" text", 1, 1234.5, true, when + 1, true);
    add("a \"quoted\" text", 1, 1234.5, true, when, false);
    add("other", std::nullopt, 0.5, false, platform::EncodeDate(1899, 12, 30), false);
  }
  for (const auto& settings : {platform::EnglishUsFormatSettings(), platform::GermanFormatSettings()}) {
    platform::ScopedFormatSettings locale(settings);
    auto master = OpenTable(*database_, "Typen", "Master");
    TDataSource source;
    source.SetDataSet(master.get());
    TAccessTable detail("Detail");
    detail.SetDatabase(database_.get());
    detail.SetTableName("Typen");
    detail.SetMasterSource(&source);
    detail.SetMasterFields({"T;L;D;B;W;G"});
    detail.SetActive(true);
    std::vector<int> counts;
    for (master->GoFirst(); !master->AtEnd(); master->GoNext()) counts.push_back(detail.RowCount());
    // Each row finds the rows equal to it in every field (Null equal to Null).
    EXPECT_EQ(counts, (std::vector<int>{2, 2, 1, 1, 1, 1, 1, 1})) << settings.decimalSeparator;
  }
}

TEST_F(MasterDetailTest, QueryAndSqlDetailsFollowTooWithTheirFilterAndOrder) {
  Prepare("nutaro/nuta4-basic.mdb", {"Obst", "Fisch", "Süßwaren", "Käse"});
  database_->CreateQueryDef("AlleNuta", "SELECT * FROM nuta;");
  database_->RefreshDefinitions();
  auto master = Master();
  TDataSource source;
  source.SetDataSet(master.get());

  // The stored query: derived from its own recordset on every move.
  TAccessTable byQuery("ByQuery");
  byQuery.SetDatabase(database_.get());
  byQuery.SetQueryDefName("AlleNuta");
  byQuery.SetMasterSource(&source);
  byQuery.SetMasterFields({"Rubrik -> Name"});
  // The SQL text: its parameter takes the master's value of the same name.
  TAccessTable bySql("BySql");
  bySql.SetDatabase(database_.get());
  bySql.SetSQL("Select * from nuta where Rubrik = :Name or :Name = 'Fisch'");
  bySql.SetMasterSource(&source);
  bySql.SetMasterFields({"Rubrik -> Name"});
  // The table with a filter of its own and an order.
  auto byTable = Detail("ByTable");
  byTable->SetMasterSource(&source);
  byTable->SetMasterFields({"Rubrik -> Name"});
  byTable->SetFilter("Kcal > 60");
  byTable->SetFiltered(true);
  byTable->SetSortedBy({"Kcal DESC"});

  for (TAccessTable* detail : {&byQuery, &bySql, byTable.get()}) detail->SetActive(true);
  for (master->GoFirst(); !master->AtEnd(); master->GoNext()) {
    const std::string rubrik = master->FieldNamed("Name").TextValue();
    EXPECT_EQ(Shown(byQuery), Expected(rubrik)) << rubrik;
    EXPECT_EQ(Shown(bySql), Expected(rubrik)) << rubrik;
    std::vector<int> kcal;
    Names filtered;
    for (byTable->GoFirst(); !byTable->AtEnd(); byTable->GoNext()) {
      kcal.push_back(byTable->FieldNamed("Kcal").VariantValue().ToInt32());
      filtered.push_back(byTable->FieldNamed("Nahrungsmittel").TextValue());
    }
    EXPECT_TRUE(std::is_sorted(kcal.rbegin(), kcal.rend())) << rubrik;
    std::sort(filtered.begin(), filtered.end());
    Names expected;
    for (const auto& row : all_) {
      if (row[kRubrik] == rubrik && std::stoi(row[1]) > 60) expected.push_back(row[kName]);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(filtered, expected) << rubrik;
  }
}

TEST_F(MasterDetailTest, OnlySqlDetailsOpenAnewWhenTheMasterMoves) {
  Prepare("nutaro/nuta4-basic.mdb", {"Obst", "Fisch"});
  database_->CreateQueryDef("AlleNuta", "SELECT * FROM nuta;");
  database_->RefreshDefinitions();
  Link();
  TAccessTable byQuery("ByQuery");
  byQuery.SetDatabase(database_.get());
  byQuery.SetQueryDefName("AlleNuta");
  byQuery.SetMasterSource(&source_);
  byQuery.SetMasterFields({"Rubrik -> Name"});
  detail_->SetActive(true);
  byQuery.SetActive(true);
  const auto count = [](const RecordedDaoCalls& log, std::string_view call) {
    return std::count(log.calls.begin(), log.calls.end(), call);
  };
  {
    // The table opens its statement again, the query derives from its
    // requeried recordset; neither describes its fields anew.
    RecordedDaoCalls log;
    const ScopedDaoCallLog scope(log);
    master_->GoNext();
    EXPECT_EQ(count(log, "Database.OpenRecordset"), 1);
    EXPECT_EQ(count(log, "Recordset.Requery"), 1);
    EXPECT_EQ(count(log, "Field.Attributes"), 0);
  }
  EXPECT_EQ(Shown(byQuery), Expected("Fisch"));
  byQuery.SetActive(false);
  detail_->SetActive(false);
  detail_->SetSQL("Select * from nuta");
  detail_->SetActive(true);
  RecordedDaoCalls log;
  const ScopedDaoCallLog scope(log);
  master_->GoFirst();
  EXPECT_GT(count(log, "Field.Attributes"), 0);
  EXPECT_EQ(Shown(*detail_), Expected("Obst"));
}

TEST_F(MasterDetailTest, TheLinkComesAndGoesWithTheMaster) {
  Prepare("nutaro/nuta4-basic.mdb", {"Obst", "Fisch"});
  Link();
  TAccessTable* master = master_.get();
  TAccessTable* detail = detail_.get();
  // Without MasterAutoActivate a closed master leaves the detail unlinked.
  detail->SetMasterAutoActivate(false);
  detail->SetActive(true);
  EXPECT_FALSE(master->Active());
  EXPECT_EQ(detail->RowCount(), static_cast<int>(all_.size()));
  // The master opening links the detail to its first row.
  master->SetActive(true);
  EXPECT_EQ(Shown(*detail), Expected("Obst"));
  master->GoNext();
  EXPECT_EQ(Shown(*detail), Expected("Fisch"));
  // The master closing keeps the rows shown until the master is back.
  master->SetActive(false);
  EXPECT_EQ(Shown(*detail), Expected("Fisch"));
  master->SetActive(true);
  EXPECT_EQ(Shown(*detail), Expected("Obst"));
  // While the master's row is being changed the detail stays.
  master->EditRow();
  master->FieldNamed("Name").SetTextValue("Fisch");
  EXPECT_EQ(Shown(*detail), Expected("Obst"));
  master->CancelRow();
  // A changed MasterFields re-opens; no MasterSource clears it.
  detail->SetMasterFields({"Nahrungsmittel -> Name"});
  EXPECT_EQ(detail->RowCount(), 0);
  detail->SetMasterSource(nullptr);
  EXPECT_TRUE(detail->MasterFields().empty());
  EXPECT_EQ(detail->RowCount(), static_cast<int>(all_.size()));
  // The detail may go first.
  detail->SetMasterSource(&source_);
  detail->SetMasterFieldsText("Rubrik -> Name");
  EXPECT_EQ(Shown(*detail), Expected("Obst"));
  detail_.reset();
  master->GoNext();
}

TEST_F(MasterDetailTest, RefusesCirclesUnequalPairsAndTypesWithoutACondition) {
  Prepare("nutaro/nuta4-basic.mdb", {"Obst"});
  auto master = Master();
  TDataSource masterSource;
  masterSource.SetDataSet(master.get());
  auto detail = Detail();
  TDataSource detailSource;
  detailSource.SetDataSet(detail.get());
  EXPECT_EQ(ErrorOf([&] { detail->SetMasterSource(&detailSource); }), "Detail: Circular links not allowed!");
  detail->SetMasterSource(&masterSource);
  EXPECT_EQ(ErrorOf([&] { master->SetMasterSource(&detailSource); }), "Master: Circular links not allowed!");
  auto third = Detail("Third");
  third->SetMasterSource(&detailSource);
  TDataSource thirdSource;
  thirdSource.SetDataSet(third.get());
  EXPECT_EQ(ErrorOf([&] { master->SetMasterSource(&thirdSource); }), "Master: Circular links not allowed!");
  EXPECT_EQ(master->MasterSource(), nullptr);

  // A pair with one side left out.
  detail->SetMasterFields({"Rubrik -> Name", "Kcal -> "});
  EXPECT_EQ(ErrorOf([&] { detail->SetActive(true); }),
            "Detail: The number of Master and Detail fields must be equal!");
  EXPECT_FALSE(detail->Active());
  detail->SetMasterFields({"Rubrik -> Name", " -> Nr"});
  EXPECT_EQ(ErrorOf([&] { detail->SetActive(true); }),
            "Detail: The number of Master and Detail fields must be equal!");

  // A master field of a type no SQL condition is written for.
  recordset::testing::MemoryDataset odd({{"Bits", ftVarBytes, 4}, {"Name", ftString, 20}}, "Odd");
  odd.AddStoredRow({std::vector<std::byte>{std::byte{2}, std::byte{0}, std::byte{'a'}, std::byte{'b'},
                                           std::byte{0}, std::byte{0}},
                    recordset::testing::NativeText("Obst")});
  odd.AddStoredRow({std::nullopt, recordset::testing::NativeText("Obst")});
  odd.SetActive(true);
  TDataSource oddSource;
  oddSource.SetDataSet(&odd);
  detail->SetMasterSource(&oddSource);
  detail->SetMasterFields({"Rubrik -> Bits"});
  EXPECT_EQ(ErrorOf([&] { detail->SetActive(true); }), "Detail: Unable to build Master/Detail SQL Relationship!");
  EXPECT_FALSE(detail->Active());
  // Null is tested before the type: the second row links (to the one
  // food without a Rubrik).
  odd.GoNext();
  detail->SetActive(true);
  EXPECT_EQ(detail->RowCount(), 1);
  // Following a row the condition cannot be written for closes the detail.
  EXPECT_EQ(ErrorOf([&] { odd.GoFirst(); }), "Detail: Unable to build Master/Detail SQL Relationship!");
  EXPECT_FALSE(detail->Active());
}

TEST_F(MasterDetailTest, AnOpenTableThatCannotOpenAgainCloses) {
  Prepare("nutaro/nuta4-basic.mdb", {"Obst"});
  Link();
  detail_->SetActive(true);
  EXPECT_EQ(ErrorOf([&] { detail_->SetMasterFields({"Rubrik -> Fehlt"}); }),
            "Master: Das Feld 'Fehlt' wurde nicht gefunden");
  EXPECT_FALSE(detail_->Active());
  EXPECT_FALSE(ErrorOf([&] { detail_->GoFirst(); }).empty());
  detail_->SetMasterFields({"Rubrik -> Name"});
  detail_->SetActive(true);
  EXPECT_EQ(Shown(*detail_), Expected("Obst"));
  // The same for an order DAO refuses.
  EXPECT_FALSE(ErrorOf([&] { detail_->SetSortedBy({"Fehlt"}); }).empty());
  EXPECT_FALSE(detail_->Active());
  detail_->SetSortedBy({});
  detail_->SetActive(true);
  EXPECT_EQ(Shown(*detail_), Expected("Obst"));
}

// Random master moves and detail appends against a model of which foods
// each Rubrik holds.
TEST_F(MasterDetailTest, RandomMovesAndAppendsMatchAModel) {
  const Names rubriken = {"Obst", "Fisch", "Leer", "Käse", "Neu 1", "Neu 2"};
  Prepare("nutaro/nuta4-basic.mdb", rubriken);
  std::map<std::string, std::multiset<std::string>> model;
  for (const auto& row : all_) model[row[kRubrik]].insert(row[kName]);

  Link();
  TAccessTable* master = master_.get();
  TAccessTable* detail = detail_.get();
  detail->SetActive(true);

  const unsigned seed = 20261209;
  std::mt19937 random(seed);
  int position = 0;  // the master row the model expects, 0-based
  const int rows = static_cast<int>(rubriken.size());
  for (int step = 0; step < 300; ++step) {
    const int operation = static_cast<int>(random() % 7);
    std::string what;
    switch (operation) {
      case 0:
        master->GoNext();
        position = std::min(position + 1, rows - 1);
        what = "next";
        break;
      case 1:
        master->GoPrior();
        position = std::max(position - 1, 0);
        what = "prior";
        break;
      case 2:
        master->GoFirst();
        position = 0;
        what = "first";
        break;
      case 3:
        master->GoLast();
        position = rows - 1;
        what = "last";
        break;
      case 4: {
        const int distance = static_cast<int>(random() % 7) - 3;
        master->MoveBy(distance);
        position = std::clamp(position + distance, 0, rows - 1);
        what = "move by " + std::to_string(distance);
        break;
      }
      default: {
        const std::string food = "Probe " + std::to_string(step);
        detail->AppendRow();
        detail->FieldNamed("Nahrungsmittel").SetTextValue(food);
        if (operation == 5) {
          detail->PostRow();
          model[rubriken[static_cast<std::size_t>(position)]].insert(food);
          what = "append " + food;
        } else {
          detail->CancelRow();
          what = "cancelled append";
        }
        break;
      }
    }
    const std::string rubrik = rubriken[static_cast<std::size_t>(position)];
    ASSERT_EQ(master->FieldNamed("Name").TextValue(), rubrik) << "seed " << seed << " step " << step << " " << what;
    const auto& foods = model[rubrik];
    ASSERT_EQ(Shown(*detail), Names(foods.begin(), foods.end()))
        << "seed " << seed << " step " << step << " " << what;
    ASSERT_EQ(detail->RowCount(), static_cast<int>(foods.size()));
    for (detail->GoFirst(); !detail->AtEnd(); detail->GoNext()) {
      ASSERT_EQ(detail->FieldNamed("Rubrik").TextValue(), rubrik);
    }
  }
}

}  // namespace
}  // namespace accessdb
