// The view of a table-file dataset: filters, order, searches, LocateRow,
// LookupValues, new rows in order and the master-detail link.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/file_io.h"
#include "platform/format_settings.h"
#include "platform/testing/temp_folder.h"
#include "recordset/data_source.h"
#include "recordset/database_error.h"
#include "recordset/field_factory.h"
#include "recordset/float_fields.h"
#include "recordset/tests/error_of.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/tests/table_fixtures.h"

namespace tablefile {
namespace {

using platform::Variant;
using recordset::testing::ErrorOf;
using testing::AppendRowWith;

// A table in memory with these fields (name, type, size) and rows of texts.
void Fill(TNtdTable& table, const std::vector<std::tuple<const char*, recordset::TFieldType, int>>& fields,
          const std::vector<std::vector<std::string>>& rows) {
  for (const auto& [name, type, size] : fields) table.FieldDefs().AddFieldDef(name, type, size);
  table.SetActive(true);
  for (const auto& row : rows) {
    table.AppendRow();
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (!row[i].empty()) table.Field(static_cast<int>(i)).SetTextValue(row[i]);
    }
    table.PostRow();
  }
}

std::vector<std::string> Column(TNtdDataset& table, const char* name) {
  std::vector<std::string> values;
  for (table.GoFirst(); !table.AtEnd(); table.GoNext()) values.push_back(table.FieldNamed(name).TextValue());
  return values;
}

using Names = std::vector<std::string>;

class FoodView : public ::testing::Test {
 protected:
  void SetUp() override {
    Fill(table_,
         {{"Name", recordset::ftString, 40}, {"Kcal", recordset::ftFloat, 0}, {"Flag", recordset::ftBoolean, 0},
          {"Nm1", recordset::ftString, 40}, {"Nm2", recordset::ftString, 40}, {"Code", recordset::ftString, 4}},
         {{"Apfel", "52", "True", "x", "x", "9"},
          {"apfelmus", "180", "False", "a", "b", "10"},
          {"Birne", "57", "True", "", "", "2"},
          {"Avocado", "160", "False", "Z", "Z", "100"},
          {"", "0", "", "", "", ""}});
  }

  void SetFilter(const std::string& text) {
    table_.SetFilter(text);
    table_.SetFiltered(true);
  }

  platform::ScopedFormatSettings english_{platform::EnglishUsFormatSettings()};
  TNtdTable table_{"T"};
};

TEST_F(FoodView, FiltersCompareFieldsWithConstantsAndFields) {
  SetFilter("Kcal > '100' AND Name LIKE 'A%'");
  EXPECT_EQ(Column(table_, "Name"), (Names{"apfelmus", "Avocado"}));
  SetFilter("Kcal > '52.5'");
  EXPECT_EQ(Column(table_, "Name"), (Names{"apfelmus", "Birne", "Avocado"}));
  EXPECT_EQ(ErrorOf([&] { table_.SetFilter("Kcal > 2.5"); }), "Error in comparison expression");
  SetFilter("Flag = TRUE");
  EXPECT_EQ(Column(table_, "Name"), (Names{"Apfel", "Birne"}));
  SetFilter("Name = NULL");
  EXPECT_EQ(Column(table_, "Kcal"), (Names{"0"}));
  SetFilter("Nm1 = 'Nm2'");  // the quoted text names a field
  EXPECT_EQ(Column(table_, "Name"), (Names{"Apfel", "Birne", "Avocado", ""}));
  SetFilter("Kcal >= 57 AND Kcal <= 160 GROUP BY Name");
  EXPECT_EQ(Column(table_, "Name"), (Names{"Birne", "Avocado"}));
  SetFilter("Name =");
  EXPECT_EQ(table_.RowCount(), 5);
  SetFilter("Name *= 'egal' AND Name <> 'Apfel'");
  EXPECT_EQ(table_.RowCount(), 4);
  table_.SetFilterCaseInsensitive(true);
  SetFilter("Name > 'B'");
  EXPECT_EQ(Column(table_, "Name"), (Names{"Birne"})) << "apfelmus no longer sorts after B";
}

TEST_F(FoodView, FilterFailuresAndWhatStaysOfTheFilter) {
  SetFilter("Kcal > '100'");
  EXPECT_EQ(ErrorOf([&] { table_.SetFilter("Kcal = 'Nm1'"); }), "T: Types of compared fields are not equal");
  EXPECT_EQ(ErrorOf([&] { table_.SetFilter("Fett > '1'"); }), "T: Field Fett is not found");
  EXPECT_EQ(ErrorOf([&] { table_.SetFilter("Kcal > Fett"); }), "T: Field Fett is not found");
  EXPECT_EQ(ErrorOf([&] { table_.SetFilter("Kcal > 'viel'"); }),
            "T: 'viel' ist kein gültiger Fließkommawert für Feld 'Kcal'");
  // A text that does not parse leaves the text as it was (the last one
  // parsed, which failed to resolve), with the conditions read before the
  // error.
  EXPECT_EQ(ErrorOf([&] { table_.SetFilter("Kcal < '100' AND Name = 'x' OR"); }), "Error in comparison expression");
  EXPECT_EQ(table_.Filter(), "Kcal > 'viel'");
  EXPECT_EQ(ErrorOf([&] { table_.SetFilter("Name = 'x"); }), "Unmatched quote");
  table_.SetFiltered(false);
  EXPECT_EQ(table_.RowCount(), 5);
}

TEST_F(FoodView, IndexOrderFollowsTheSortOptions) {
  table_.SetFilter("Name <> NULL");
  table_.SetFiltered(true);
  table_.SetIndexFieldNames("Name");
  EXPECT_EQ(Column(table_, "Name"), (Names{"Apfel", "Avocado", "Birne", "apfelmus"}));
  table_.SetSortOptions(vsoCaseInsensitive);
  EXPECT_EQ(Column(table_, "Name"), (Names{"Apfel", "apfelmus", "Avocado", "Birne"}));
  table_.SetSortOptions(vsoCaseInsensitive | vsoDescendSort);
  EXPECT_EQ(Column(table_, "Name"), (Names{"Birne", "Avocado", "apfelmus", "Apfel"}));
  EXPECT_TRUE(table_.ViewSorted());

  // Code is a short text: right-aligned it orders by length first.
  table_.SetSortOptions(0);
  table_.SetIndexFieldNames("Code");
  EXPECT_EQ(Column(table_, "Code"), (Names{"10", "100", "2", "9"}));
  table_.FieldNamed("Code").SetAlignment(recordset::TAlignment::RightJustify);
  table_.SetIndexFieldNames("Code;Name");
  EXPECT_EQ(Column(table_, "Code"), (Names{"2", "9", "10", "100"}));
}

TEST_F(FoodView, SetsOfRowsFollowPositionAcrossRebuilds) {
  table_.SetIndexFieldNames("Kcal");
  ASSERT_TRUE(table_.LocateRow("Name", {Variant("Apfel")}, {}));
  EXPECT_EQ(table_.RowNumber(), 2);
  table_.SetSortOptions(vsoDescendSort);
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "Apfel") << "the current row stays current";
  EXPECT_EQ(table_.RowNumber(), 4);
}

TEST_F(FoodView, LocateRowWithAndWithoutOptions) {
  EXPECT_FALSE(table_.LocateRow("Name", {Variant("birne")}, {}));
  EXPECT_TRUE(table_.LocateRow("Name", {Variant("birne")}, {.caseInsensitive = true}));
  EXPECT_EQ(table_.FieldValue("Kcal").ToText(), "57");
  EXPECT_TRUE(table_.LocateRow("Name", {Variant("APFELM")}, {.caseInsensitive = true, .partialKey = true}));
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "apfelmus");
  EXPECT_TRUE(table_.LocateRow("Kcal;Flag", {Variant(160.0), Variant(false)}, {}));
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "Avocado");
  EXPECT_TRUE(table_.LocateRow("Kcal;Flag", {Variant(std::int32_t{52}), Variant(true)}, {.partialKey = true}));
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "Apfel");
  EXPECT_FALSE(table_.LocateRow("Name", {Variant::Null()}, {}));
  EXPECT_FALSE(table_.LocateRow("", {Variant("Apfel")}, {}));
  EXPECT_EQ(ErrorOf([&] { table_.LocateRow("Fett", {Variant(1)}, {}); }), "T: Das Feld 'Fett' wurde nicht gefunden");
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "Apfel") << "a failed search does not move";
}

TEST_F(FoodView, LookupValuesReadsComputedFieldsWithoutMoving) {
  platform::testing::TempFolder folder;
  table_.WriteTableFile(folder.File("food.ntd"));
  TNtdTable table("T");
  table.SetTableName(folder.File("food.ntd"));
  table.SetActive(true);  // reads the field definitions
  table.SetActive(false);
  auto& energy = static_cast<recordset::TFloatField&>(
      table.AddField(std::make_unique<recordset::TFloatField>("Kjoule")));
  energy.SetFieldKind(recordset::fkCalculated);
  for (int i = 0; i < table.FieldDefs().Count(); ++i) {
    const auto& def = table.FieldDefs()[i];
    table.AddField(recordset::CreateFieldOfType(def.DataType(), def.Name(), def.Size()));
  }
  table.Events().onCalcFields = [&](recordset::TDataSet& dataSet) {
    energy.SetValue(dataSet.FieldNamed("Kcal").VariantValue().ToDouble() * 4.2);
  };
  table.SetActive(true);
  table.GoLast();
  EXPECT_EQ(table.LookupValues("Name", {Variant("Birne")}, "Kjoule"), Variant(57 * 4.2));
  EXPECT_EQ(table.LookupValues("Name", {Variant("Birne")}, "Kcal;Flag"),
            Variant::Array({Variant(57.0), Variant(true)}));
  EXPECT_TRUE(table.LookupValues("Name", {Variant("Kiwi")}, "Kcal").IsNull());
  EXPECT_TRUE(table.AtEnd());
  EXPECT_EQ(table.FieldValue("Kcal").ToText(), "0");
  EXPECT_EQ(table.FieldValue("Kjoule").ToText(), "0");
  EXPECT_EQ(ErrorOf([&] { table.SetIndexFieldNames("Kjoule"); }),
            "T: There are calc or BLOB fields in list of key fields");
}

TEST_F(FoodView, FindRowVisitsRowsPassingTheFilterWithoutHidingOthers) {
  table_.SetFilter("Kcal > '100'");
  EXPECT_TRUE(table_.FindFirst());
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "apfelmus");
  EXPECT_TRUE(table_.FindNext());
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "Avocado");
  EXPECT_FALSE(table_.FindNext());
  EXPECT_TRUE(table_.FindPrior());
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "apfelmus");
  EXPECT_TRUE(table_.FindLast());
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "Avocado");
  EXPECT_EQ(table_.RowCount(), 5);
  table_.SetFiltered(true);
  EXPECT_TRUE(table_.FindFirst());
  EXPECT_TRUE(table_.FindNext());
  EXPECT_FALSE(table_.FindNext());

  // OnFilterRecord reads the record under test through the fields.
  table_.Events().onFilterRecord = [](recordset::TDataSet& dataSet, bool& accept) {
    accept = dataSet.FieldNamed("Flag").VariantValue().ToBoolean();
  };
  table_.SetFilter("");
  EXPECT_EQ(Column(table_, "Name"), (Names{"Apfel", "Birne"}));
  table_.SetFilter("Kcal > '53'");
  EXPECT_EQ(Column(table_, "Name"), (Names{"Birne"}));
  table_.SetFiltered(false);
  EXPECT_TRUE(table_.FindLast());
  EXPECT_EQ(table_.FieldValue("Name").ToText(), "Birne");
}

TEST(KeyTexts, EveryStorageTypeReadsItsText) {
  platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  TNtdTable table("T");
  Fill(table,
       {{"Small", recordset::ftSmallint, 0}, {"Int", recordset::ftInteger, 0}, {"Big", recordset::ftLargeint, 0},
        {"Flag", recordset::ftBoolean, 0}, {"Real", recordset::ftFloat, 0}, {"Day", recordset::ftDate, 0},
        {"Clock", recordset::ftTime, 0}, {"Stamp", recordset::ftDateTime, 0}, {"Short", recordset::ftString, 3},
        {"Long", recordset::ftString, 40}, {"Memo", recordset::ftMemo, 0}},
       {});
  table.SetSearchFieldNames("Small;Int;Big;Flag;Real;Day;Clock;Stamp;Short;Long");
  const auto key = [&](const std::string& text) {
    table.SetKeyFromText(KeyIndex::kSearch, text);
    return table.Key(KeyIndex::kSearch);
  };
  const auto& f = table.Store()->Fields();
  KeyBuffer filled = key("$1F\t-70000\t4294967298\tyes\t12,5\t29.02.2024\t13:30\t29.02.2024 13:30:15\tÄpfel\tsüß");
  EXPECT_EQ(filled.Comparing, 10);
  EXPECT_EQ(filled.Record.Get<std::int16_t>(f[0]), 31) << "hexadecimal";
  EXPECT_EQ(filled.Record.Get<std::int32_t>(f[1]), -70000);
  EXPECT_EQ(filled.Record.Get<std::int64_t>(f[2]), 4'294'967'298);
  EXPECT_EQ(filled.Record.Get<std::int16_t>(f[3]), -1);
  EXPECT_EQ(filled.Record.Get<double>(f[4]), 12.5);
  EXPECT_EQ(filled.Record.Get<std::int32_t>(f[5]), 738'945) << "day number of 29 February 2024";
  EXPECT_EQ(filled.Record.Get<std::int32_t>(f[6]), 48'600'000);
  EXPECT_EQ(filled.Record.Get<double>(f[7]), 738'945.0 * 86'400'000 + 48'615'000);
  EXPECT_EQ(filled.Record.SmallText(f[8]), "\xC4pf") << "cut to three characters of the table's code page";
  EXPECT_EQ(filled.Record.LargeValue(f[9]), "s\xFC\xDF");

  // What does not parse leaves 0; fewer values compare fewer fields.
  KeyBuffer partial = key("70000\tzwölf\t\tnein");
  EXPECT_EQ(partial.Comparing, 4);
  EXPECT_EQ(partial.Record.Get<std::int16_t>(f[0]), 0) << "beyond the small integers";
  EXPECT_EQ(partial.Record.Get<std::int32_t>(f[1]), 0);
  EXPECT_EQ(partial.Record.Get<std::int16_t>(f[3]), 0);
  EXPECT_EQ(key("1\t2\t3\t4\t5\tkein Tag").Record.Get<std::int32_t>(f[5]), 0);
  EXPECT_EQ(key("").Comparing, 0);
  EXPECT_EQ(ErrorOf([&] { key("1\t2\t3\t4\tviel"); }), "'viel' ist kein gültiger Fließkommawert für Feld 'Real'");
  EXPECT_EQ(ErrorOf([&] { table.SetSearchFieldNames("Memo"); }),
            "T: There are calc or BLOB fields in list of key fields");
}

TEST(ViewEditing, NewRowsGoToTheirPlaceAndKeyEditsEndBisection) {
  TNtdTable table;
  Fill(table, {{"Name", recordset::ftString, 10}}, {{"B"}, {"a"}, {"C"}});
  table.SetIndexFieldNames("Name");
  table.SetSortOptions(vsoInsertInOrder);
  EXPECT_EQ(Column(table, "Name"), (Names{"B", "C", "a"}));
  AppendRowWith(table, "Name", "Bb");
  EXPECT_EQ(table.RowNumber(), 2);
  EXPECT_EQ(Column(table, "Name"), (Names{"B", "Bb", "C", "a"}));
  EXPECT_TRUE(table.ViewSorted());
  EXPECT_TRUE(table.BisectionAllowed("name"));

  table.GoFirst();
  table.EditRow();
  table.FieldNamed("Name").SetTextValue("Z");
  table.PostRow();
  EXPECT_FALSE(table.ViewSorted()) << "the edited row stays where it was";
  EXPECT_FALSE(table.BisectionAllowed("Name"));
  EXPECT_TRUE(table.LocateRow("Name", {Variant("Z")}, {}));
  EXPECT_EQ(table.RowNumber(), 1);
  EXPECT_TRUE(table.LocateRow("Name", {Variant("a")}, {}));
}

TEST(ViewEditing, OnlyWholeLeadingIndexNamesBisect) {
  TNtdTable table;
  Fill(table, {{"Name", recordset::ftString, 10}, {"Kcal", recordset::ftInteger, 0}}, {{"B", "2"}, {"a", "1"}});
  table.SetIndexFieldNames("Name;Kcal");
  EXPECT_TRUE(table.BisectionAllowed("name"));
  EXPECT_TRUE(table.BisectionAllowed("NAME;kcal"));
  EXPECT_FALSE(table.BisectionAllowed("Nam"));
  EXPECT_FALSE(table.BisectionAllowed("Name;Kc"));
  EXPECT_FALSE(table.BisectionAllowed("Kcal"));
  EXPECT_FALSE(table.BisectionAllowed("Name;Kcal;X"));
  EXPECT_FALSE(table.BisectionAllowed(""));
}

TEST(ViewEditing, RowsAppendedOutOfOrderAreStillFound) {
  // Without insertion in order a new row stays last; a search that bisected
  // the view as if it were still ordered would miss it.
  TNtdTable table;
  Fill(table, {{"Name", recordset::ftString, 10}}, {{"b"}, {"d"}, {"f"}});
  table.SetIndexFieldNames("Name");
  AppendRowWith(table, "Name", "g");
  EXPECT_TRUE(table.ViewSorted()) << "a row that belongs at the end keeps the order";
  AppendRowWith(table, "Name", "a");
  EXPECT_EQ(Column(table, "Name"), (Names{"b", "d", "f", "g", "a"}));
  EXPECT_TRUE(table.LocateRow("Name", {Variant("a")}, {}));
  EXPECT_TRUE(table.LocateRow("Name", {Variant("f")}, {}));
  table.SetIndexFieldNames("");
  table.SetIndexFieldNames("Name");
  EXPECT_EQ(Column(table, "Name"), (Names{"a", "b", "d", "f", "g"}));
}

TEST(ViewEditing, ATableReadAgainWhileOpenShowsItsRowsInOrder) {
  platform::testing::TempFolder folder;
  TNtdTable other;
  Fill(other, {{"Name", recordset::ftString, 10}}, {{"Zwiebel"}, {"Apfel"}, {"Mango"}});
  other.WriteTableFile(folder.File("other.ntd"));

  TNtdTable table;
  Fill(table, {{"Name", recordset::ftString, 10}}, {{"b"}});
  table.SetIndexFieldNames("Name");
  TNtdTable clone;
  clone.SetCloneDS(&table);
  clone.SetActive(true);
  clone.SetIndexFieldNames("Name");
  clone.SetSortOptions(vsoDescendSort);
  std::istringstream image(platform::ReadWholeFile(folder.File("other.ntd")));
  table.LoadTableImage(image, false);
  EXPECT_EQ(Column(table, "Name"), (Names{"Apfel", "Mango", "Zwiebel"}));
  EXPECT_TRUE(table.LocateRow("Name", {Variant("Mango")}, {}));
  EXPECT_EQ(Column(clone, "Name"), (Names{"Zwiebel", "Mango", "Apfel"}));
}

class MasterDetail : public ::testing::Test {
 protected:
  void SetUp() override {
    Fill(master_, {{"Id", recordset::ftInteger, 0}, {"Name", recordset::ftString, 20}},
         {{"1", "Obst"}, {"2", "Gemüse"}, {"3", "leer"}});
    Fill(detail_, {{"MasterId", recordset::ftInteger, 0}, {"Name", recordset::ftString, 20}},
         {{"1", "Apfel"}, {"2", "Kohl"}, {"1", "Birne"}, {"2", "Rübe"}, {"", "ohne"}});
    detail_.WriteTableFile(folder_.File("detail.ntd"));
    detail_.SetTableName(folder_.File("detail.ntd"));
    detail_.SetActive(true);
    master_.GoFirst();
    source_.SetDataSet(&master_);
  }

  void Link() {
    detail_.SetRangeFieldNames("MasterId");
    detail_.SetMasterFields("Id");
    detail_.SetMasterSource(&source_);
  }

  platform::testing::TempFolder folder_;
  TNtdTable master_{"Master"};
  TNtdTable detail_{"Detail"};
  recordset::TDataSource source_;
};

TEST_F(MasterDetail, DetailFollowsEveryMoveOfTheMaster) {
  Link();
  EXPECT_TRUE(detail_.RangeActive());
  EXPECT_EQ(Column(detail_, "Name"), (Names{"Apfel", "Birne"}));
  master_.GoNext();
  EXPECT_EQ(Column(detail_, "Name"), (Names{"Kohl", "Rübe"}));
  AppendRowWith(detail_, "Name", "Lauch");
  EXPECT_EQ(detail_.FieldValue("MasterId").ToText(), "2") << "a new detail row takes the master's value";
  master_.GoNext();
  EXPECT_EQ(detail_.RowCount(), 0);
  master_.GoFirst();
  EXPECT_EQ(detail_.RowCount(), 2);

  // A change of the master's link field moves the detail along.
  master_.EditRow();
  master_.FieldNamed("Id").SetTextValue("2");
  EXPECT_EQ(Column(detail_, "Name"), (Names{"Kohl", "Rübe", "Lauch"}));
  master_.CancelRow();

  // Closed and opened again (the file's rows: Lauch was not stored), the
  // detail applies the master's range at once.
  detail_.SetActive(false);
  detail_.SetActive(true);
  EXPECT_EQ(Column(detail_, "Name"), (Names{"Apfel", "Birne"}));
  // Without a master the range goes.
  master_.SetActive(false);
  EXPECT_FALSE(detail_.RangeActive());
  EXPECT_EQ(detail_.RowCount(), 5);
}

TEST_F(MasterDetail, OnlyTableFileMastersWithoutCircles) {
  Link();
  recordset::TDataSource detailSource;
  detailSource.SetDataSet(&detail_);
  EXPECT_EQ(ErrorOf([&] { master_.SetMasterSource(&detailSource); }), "Master: Circular data link");
  recordset::TDataSource own;
  own.SetDataSet(&detail_);
  EXPECT_EQ(ErrorOf([&] { detail_.SetMasterSource(&own); }), "Detail: Circular data link");
  EXPECT_EQ(master_.MasterSource(), nullptr);
  EXPECT_EQ(detail_.LinkedSource(), &source_);

  class OtherEngine : public recordset::TDataSet {
   public:
    using TDataSet::TDataSet;
    void ReportFailure(const std::exception&) override {}
    bool StoreIsOpen() const override { return false; }

   protected:
    recordset::FetchResult FetchRow(recordset::TRowBuffer&, recordset::FetchMode, bool) override {
      return recordset::FetchResult::NoNext;
    }
    void CloseStore() override {}
    void DescribeFields() override {}
    void OpenStore() override {}
  } other;
  recordset::TDataSource otherSource;
  otherSource.SetDataSet(&other);
  EXPECT_EQ(ErrorOf([&] { detail_.SetMasterSource(&otherSource); }),
            "Detail: Use only TNtdDataset descendants for master-detail relationship");
}

}  // namespace
}  // namespace tablefile
