// Data-bound edits carrying one entry from a source record-set into a new
// row of a target record-set, the way the converter's hidden edits do.

#include <gtest/gtest.h>

#include "platform/format_settings.h"
#include "recordset/db_edit.h"
#include "recordset/float_fields.h"
#include "recordset/tests/error_of.h"
#include "recordset/tests/memory_dataset.h"

namespace recordset::testing {
namespace {

class DBEditTest : public ::testing::Test {
 protected:
  DBEditTest()
      : german_(platform::GermanFormatSettings()),
        source_({{"Nahrungsmittel", ftString, 255}, {"Kcal", ftInteger}, {"Fett", ftFloat}},
                "AccessTable1"),
        target_({{"Nahrungsmittel", ftString, 100}, {"Kcal", ftInteger}, {"Fett", ftFloat}},
                "AccessTable2"),
        sourceLink_("DataSource1"),
        targetLink_("DataSource2") {
    source_.AddStoredRow({NativeText("Apfel"), NativeInt32(52), NativeDouble(0.4)});
    source_.AddStoredRow({NativeText("Butter"), NativeInt32(741), std::nullopt});
    sourceLink_.SetDataSet(&source_);
    targetLink_.SetDataSet(&target_);
    for (TDBEdit* edit : {&name_, &kcal_, &fett_}) edit->SetDataSource(&sourceLink_);
    for (TDBEdit* edit : {&name2_, &kcal2_, &fett2_}) edit->SetDataSource(&targetLink_);
  }

  void BindSource() {
    name_.SetDataField("Nahrungsmittel");
    kcal_.SetDataField("Kcal");
    fett_.SetDataField("Fett");
  }
  void BindTarget() {
    name2_.SetDataField("nahrungsmittel");
    kcal2_.SetDataField("KCAL");
    fett2_.SetDataField("Fett");
  }

  platform::ScopedFormatSettings german_;
  MemoryDataset source_;
  MemoryDataset target_;
  TDataSource sourceLink_;
  TDataSource targetLink_;
  TDBEdit name_{"DBNahrungsmittel"}, kcal_{"DBKcal"}, fett_{"DBFett"};
  TDBEdit name2_{"DBNahrungsmittel2"}, kcal2_{"DBKcal2"}, fett2_{"DBFett2"};
};

TEST_F(DBEditTest, SourceEditsShowTheDisplayTextOfEveryRow) {
  BindSource();
  source_.SetActive(true);
  EXPECT_EQ(name_.Text(), "Apfel");
  EXPECT_EQ(fett_.Text(), "0,4");
  source_.GoNext();
  EXPECT_EQ(kcal_.Text(), "741");
  EXPECT_EQ(fett_.Text(), "");  // Null

  // A caller's text never reaches the source; the next move replaces it.
  fett_.SetText("0");
  EXPECT_TRUE(fett_.Modified());
  source_.GoFirst();
  EXPECT_EQ(fett_.Text(), "0,4");
  EXPECT_FALSE(fett_.Modified());
  EXPECT_EQ(source_.State(), TDataSetState::Browse);

  fett_.SetDataField("");  // without a field the edit shows nothing
  EXPECT_EQ(fett_.Field(), nullptr);
  EXPECT_EQ(fett_.Text(), "");
  source_.SetActive(false);
  EXPECT_EQ(name_.Field(), nullptr);
  EXPECT_EQ(name_.Text(), "");
}

TEST_F(DBEditTest, MissingFieldFailsTheOpenButLeavesTheRecordSetOpen) {
  BindSource();
  TDBEdit protein("DBE");
  protein.SetDataSource(&sourceLink_);
  protein.SetDataField("Eiweiss");  // closed: not looked up yet
  EXPECT_EQ(ErrorOf([&] { source_.SetActive(true); }),
            "DBE: Das Feld 'Eiweiss' wurde nicht gefunden");
  EXPECT_TRUE(source_.Active());
  EXPECT_EQ(source_.State(), TDataSetState::Browse);
  EXPECT_EQ(kcal_.Text(), "52");  // the other edits were bound all the same

  source_.SetActive(false);
  protein.SetDataField("");
  source_.SetActive(true);
  EXPECT_EQ(protein.Text(), "");
  EXPECT_EQ(ErrorOf([&] { protein.SetDataField("eiweiss"); }),
            "DBE: Das Feld 'eiweiss' wurde nicht gefunden");
}

TEST_F(DBEditTest, ChangedTargetTextsAreWrittenWhenTheRowIsPosted) {
  BindSource();
  BindTarget();
  source_.SetActive(true);
  target_.SetActive(true);
  for (int pass = 0; pass < 2; ++pass) {
    target_.AppendRow();
    EXPECT_EQ(name2_.Text(), "");
    EXPECT_FALSE(name2_.Modified());
    name2_.SetText(name_.Text());
    kcal2_.SetText(kcal_.Text());
    fett2_.SetText(fett_.Text());  // Null stays "", unchanged: nothing written
    EXPECT_EQ(fett2_.Modified(), pass == 0);
    target_.PostRow();
    source_.GoNext();
  }
  ASSERT_EQ(target_.Rows().size(), 2u);
  target_.GoFirst();
  EXPECT_EQ(target_.FieldNamed("Nahrungsmittel").TextValue(), "Apfel");
  EXPECT_EQ(target_.FieldNamed("Fett").VariantValue(), Variant(0.4));
  target_.GoNext();
  EXPECT_EQ(kcal2_.Text(), "741");
  EXPECT_TRUE(target_.FieldNamed("Fett").IsNullValue());
}

TEST_F(DBEditTest, BrowseModeRuleWritesPendingTextsBeforeDecidingToPost) {
  BindTarget();
  target_.SetActive(true);
  target_.AppendRow();
  kcal2_.SetText("100");  // only the edit knows the text so far
  EXPECT_FALSE(target_.RowModified());
  target_.AppendRow();  // the text is written, so the row counts as changed
  EXPECT_EQ(target_.Rows().size(), 1u);
  kcal2_.SetText("");  // same as shown: nothing changes
  EXPECT_FALSE(kcal2_.Modified());
  target_.GoFirst();  // an unchanged new row is dropped
  EXPECT_EQ(target_.Rows().size(), 1u);
  EXPECT_EQ(kcal2_.Text(), "100");
}

TEST_F(DBEditTest, ConversionErrorAtPostKeepsTheRowAndTheText) {
  BindTarget();
  target_.SetActive(true);
  target_.AppendRow();
  kcal2_.SetText("55,5");
  EXPECT_EQ(ErrorOf([&] { target_.PostRow(); }),
            "'55,5' ist kein gültiger Integerwert für Feld 'Kcal'");
  EXPECT_EQ(target_.State(), TDataSetState::Insert);
  EXPECT_TRUE(kcal2_.Modified());
  kcal2_.SetText("55");
  target_.PostRow();
  EXPECT_EQ(target_.FieldNamed("Kcal").TextValue(), "55");
}

TEST_F(DBEditTest, EditsFollowAChangeOfSourceOrRecordSetWhileBothAreOpen) {
  BindSource();
  source_.SetActive(true);
  target_.AddStoredRow({NativeText("Zucker"), NativeInt32(405), NativeDouble(0)});
  target_.SetActive(true);
  kcal_.SetDataSource(&targetLink_);
  EXPECT_EQ(kcal_.Field()->DataSet(), &target_);
  EXPECT_EQ(kcal_.Text(), "405");
  sourceLink_.SetDataSet(&target_);  // the other edits of the source move along
  EXPECT_EQ(name_.Field()->DataSet(), &target_);
  EXPECT_EQ(name_.Text(), "Zucker");
}

TEST_F(DBEditTest, EditsSurviveTheirRecordSetAndSource) {
  BindSource();
  auto table = std::make_unique<MemoryDataset>(
      std::vector<ColumnSpec>{{"Kcal", ftInteger}}, "Kurzlebig");
  table->AddStoredRow({NativeInt32(9)});
  auto link = std::make_unique<TDataSource>();
  link->SetDataSet(table.get());
  TDBEdit edit("DBTemp");
  edit.SetDataSource(link.get());
  edit.SetDataField("Kcal");
  table->SetActive(true);
  EXPECT_EQ(edit.Text(), "9");
  table.reset();  // closes and destroys its fields
  EXPECT_EQ(edit.Field(), nullptr);
  EXPECT_EQ(link->DataSet(), nullptr);
  link.reset();
  EXPECT_EQ(edit.DataSource(), nullptr);
}

}  // namespace
}  // namespace recordset::testing
