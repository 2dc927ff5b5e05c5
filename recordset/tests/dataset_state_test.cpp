// The record-set's states, movements and editing operations, driven over
// the in-memory engine.

#include <gtest/gtest.h>

#include <random>

#include "recordset/data_source.h"
#include "recordset/integer_fields.h"
#include "recordset/string_field.h"
#include "recordset/tests/error_of.h"
#include "recordset/tests/memory_dataset.h"

namespace recordset::testing {
namespace {

// A link that shows `rows` rows, to size the ring.
class GridLink : public TDataLink {
 public:
  explicit GridLink(int rows) { SetBufferCount(rows); }
};

class DataSetTest : public ::testing::Test {
 protected:
  DataSetTest() : table_({{"Name", ftString, 20}, {"Kcal", ftInteger}}, "Tabelle") {}

  void Seed(int rows) {
    for (int i = 1; i <= rows; ++i) {
      table_.AddStoredRow({NativeText("Row " + std::to_string(i)), NativeInt32(i)});
    }
  }
  int CurrentKcal() { return table_.FieldNamed("Kcal").VariantValue().ToInt32(); }
  std::vector<int> StoredKcals() {
    std::vector<int> values;
    for (const MemoryRow& row : table_.Rows()) {
      int value = 0;
      std::memcpy(&value, row.values[1]->data(), sizeof value);
      values.push_back(value);
    }
    return values;
  }

  MemoryDataset table_;
};

TEST_F(DataSetTest, OpenCreatesFieldsAndCloseRemovesThem) {
  Seed(2);
  table_.SetActive(true);
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_TRUE(table_.AtStart());
  EXPECT_FALSE(table_.AtEnd());
  ASSERT_EQ(table_.FieldCount(), 2);
  EXPECT_EQ(table_.Field(1).FieldNo(), 2);
  EXPECT_NE(dynamic_cast<TIntegerField*>(&table_.Field(1)), nullptr);
  EXPECT_EQ(table_.FieldNamed("name").TextValue(), "Row 1");
  table_.SetActive(true);  // again: nothing happens
  EXPECT_EQ(CurrentKcal(), 1);

  table_.SetActive(false);
  EXPECT_EQ(table_.State(), TDataSetState::Inactive);
  EXPECT_EQ(table_.FieldCount(), 0);
  EXPECT_EQ(ErrorOf([&] { table_.GoFirst(); }),
            "Tabelle: Operation bei geschlossener Datenmenge nicht ausführbar");
  EXPECT_EQ(ErrorOf([&] { table_.PostRow(); }),
            "Tabelle: Datenmenge weder im Editier- noch im Einfügemodus");
}

TEST_F(DataSetTest, FailedOpenLeavesTheRecordSetClosed) {
  table_.failOpen = true;
  EXPECT_EQ(ErrorOf([&] { table_.SetActive(true); }), "Tabelle: cannot open");
  EXPECT_FALSE(table_.Active());
  EXPECT_FALSE(table_.StoreIsOpen());
  EXPECT_EQ(table_.FieldCount(), 0);
  table_.failOpen = false;
  table_.SetActive(true);
  EXPECT_TRUE(table_.Active());
}

TEST_F(DataSetTest, MovesStopAtBothEndsWithoutLosingTheRow) {
  Seed(3);
  table_.SetActive(true);
  table_.GoNext();
  table_.GoNext();
  EXPECT_EQ(CurrentKcal(), 3);
  EXPECT_FALSE(table_.AtEnd());
  table_.GoNext();
  EXPECT_TRUE(table_.AtEnd());
  EXPECT_EQ(CurrentKcal(), 3);
  const int fetches = table_.fetchCalls;
  table_.GoNext();  // a second step at the end changes nothing
  EXPECT_EQ(table_.fetchCalls, fetches);
  EXPECT_EQ(CurrentKcal(), 3);

  table_.GoFirst();
  EXPECT_TRUE(table_.AtStart());
  table_.GoPrior();
  EXPECT_EQ(CurrentKcal(), 1);
  table_.GoLast();
  EXPECT_TRUE(table_.AtEnd());
  EXPECT_EQ(CurrentKcal(), 3);
  EXPECT_EQ(table_.MoveBy(-5), -2);
  EXPECT_TRUE(table_.AtStart());
  EXPECT_EQ(CurrentKcal(), 1);
}

TEST_F(DataSetTest, EmptyRecordSetIsAtBothEndsAndReadsNull) {
  table_.SetActive(true);
  table_.GoFirst();
  EXPECT_TRUE(table_.AtStart());
  EXPECT_TRUE(table_.AtEnd());
  EXPECT_TRUE(table_.IsEmpty());
  EXPECT_TRUE(table_.FieldNamed("Kcal").IsNullValue());
  EXPECT_EQ(ErrorOf([&] { table_.DeleteRow(); }),
            "Tabelle: Operation bei leerer Datenmenge nicht ausführbar");
}

// A seeded walk over rings of several sizes: whatever the ring does with its
// buffers, the active row must be the one the walk expects, and moves
// inside the ring must not reach the engine.
TEST_F(DataSetTest, RingShowsTheRightRowOnEveryMove) {
  Seed(25);
  TDataSource source;
  source.SetDataSet(&table_);
  std::mt19937 random(20240611);
  for (int ringSize : {1, 2, 3, 7, 40}) {
    GridLink grid(ringSize);
    grid.SetDataSource(&source);
    table_.SetActive(true);
    ASSERT_EQ(table_.RingSize(), ringSize);
    int expected = 1;
    for (int step = 0; step < 300; ++step) {
      const int choice = static_cast<int>(random() % 10);
      if (choice == 0) {
        table_.GoFirst();
        expected = 1;
      } else if (choice == 1) {
        table_.GoLast();
        expected = 25;
      } else {
        const int distance = static_cast<int>(random() % 9) - 4;
        const int moved = table_.MoveBy(distance);
        EXPECT_EQ(moved, std::clamp(expected + distance, 1, 25) - expected);
        expected += moved;
      }
      ASSERT_EQ(CurrentKcal(), expected) << "ring " << ringSize << ", step " << step;
    }
    const int span = std::min(ringSize, 25) - 1;
    table_.GoFirst();
    table_.MoveBy(span);  // the ring holds rows 1..span+1 now
    const int fetches = table_.fetchCalls;
    table_.MoveBy(-span);
    EXPECT_EQ(table_.fetchCalls, fetches) << "ring " << ringSize;
    table_.SetActive(false);
    grid.SetDataSource(nullptr);
  }
}

TEST_F(DataSetTest, RingGrowsAndShrinksAroundTheActiveRow) {
  Seed(25);
  TDataSource source;
  source.SetDataSet(&table_);
  table_.SetActive(true);
  table_.MoveBy(9);
  {
    GridLink grid(5);
    grid.SetDataSource(&source);  // the ring grows while open
    EXPECT_EQ(table_.RingSize(), 5);
    EXPECT_EQ(CurrentKcal(), 10);
    const int fetches = table_.fetchCalls;
    table_.MoveBy(4);  // rows 11..14 were read when the ring grew
    EXPECT_EQ(table_.fetchCalls, fetches);
    EXPECT_EQ(CurrentKcal(), 14);
  }  // the grid goes: the ring shrinks to one row
  EXPECT_EQ(table_.RingSize(), 1);
  EXPECT_EQ(CurrentKcal(), 14);
  table_.GoNext();
  EXPECT_EQ(CurrentKcal(), 15);
  table_.GoPrior();
  EXPECT_EQ(CurrentKcal(), 14);
}

// A control that cannot show rows.
class BrokenDisplayLink : public TDataLink {
 protected:
  void DataSetChanged() override { throw EDatabaseError("cannot show"); }
};

TEST_F(DataSetTest, LinkLeavingUnderAFailingControlReportsInsteadOfThrowing) {
  Seed(5);
  TDataSource source;
  source.SetDataSet(&table_);
  table_.SetActive(true);
  {
    BrokenDisplayLink broken;
    GridLink grid(3);
    grid.SetDataSource(&source);  // the ring grows to three rows
    broken.SetDataSource(&source);
  }  // the grid leaves first: the ring shrinks and the broken control fails
  EXPECT_EQ(table_.RingSize(), 1);
  EXPECT_EQ(table_.reportedFailures, std::vector<std::string>{"cannot show"});

  BrokenDisplayLink broken;
  {
    GridLink grid(3);
    TDataSource gridSource;
    gridSource.SetDataSet(&table_);
    grid.SetDataSource(&gridSource);
    broken.SetDataSource(&source);
  }  // now the grid's source leaves first, with the same effect
  EXPECT_EQ(table_.RingSize(), 1);
  EXPECT_EQ(table_.reportedFailures, (std::vector<std::string>{"cannot show", "cannot show"}));
}

TEST_F(DataSetTest, AppendedRowIsStoredAtTheEndAndBecomesCurrent) {
  Seed(2);
  table_.SetActive(true);
  table_.AppendRow();
  EXPECT_EQ(table_.State(), TDataSetState::Insert);
  EXPECT_FALSE(table_.RowModified());
  EXPECT_TRUE(table_.FieldNamed("Kcal").IsNullValue());
  table_.FieldNamed("Kcal").SetTextValue("99");
  EXPECT_TRUE(table_.RowModified());
  table_.PostRow();
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 2, 99}));
  EXPECT_EQ(CurrentKcal(), 99);
  EXPECT_EQ(table_.RowNumber(), 3);
  table_.GoNext();
  EXPECT_TRUE(table_.AtEnd());
  table_.GoPrior();
  EXPECT_EQ(CurrentKcal(), 2);
}

TEST_F(DataSetTest, EditOnEmptySetStartsARowThatAnUnchangedAppendDrops) {
  table_.SetActive(true);
  table_.EditRow();
  EXPECT_EQ(table_.State(), TDataSetState::Insert);
  table_.AppendRow();
  EXPECT_EQ(table_.State(), TDataSetState::Insert);
  EXPECT_EQ(table_.discardCalls, 1);
  EXPECT_TRUE(table_.Rows().empty());
  table_.FieldNamed("Kcal").SetTextValue("5");
  table_.AppendRow();  // the changed row is stored first
  EXPECT_EQ(StoredKcals(), (std::vector<int>{5}));
  EXPECT_EQ(table_.State(), TDataSetState::Insert);
  table_.CancelRow();
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(CurrentKcal(), 5);
}

TEST_F(DataSetTest, EditsArePostedByMovesAndUndoneByCancel) {
  Seed(3);
  table_.SetActive(true);
  table_.GoNext();
  table_.EditRow();
  EXPECT_EQ(table_.State(), TDataSetState::Edit);
  table_.FieldNamed("Kcal").SetTextValue("20");
  table_.GoNext();  // the browse-mode rule posts the change
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 20, 3}));
  EXPECT_EQ(CurrentKcal(), 3);

  table_.EditRow();
  table_.FieldNamed("Kcal").SetTextValue("30");
  table_.CancelRow();
  EXPECT_EQ(CurrentKcal(), 3);
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 20, 3}));

  table_.AppendRow();
  table_.FieldNamed("Kcal").SetTextValue("4");
  table_.CancelRow();  // the new row disappears; the last row shows
  EXPECT_EQ(table_.Rows().size(), 3u);
  EXPECT_EQ(CurrentKcal(), 3);
  table_.SetActive(false);
  table_.SetActive(true);
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 20, 3}));
}

TEST_F(DataSetTest, ClosingDropsAPendingRow) {
  Seed(1);
  table_.SetActive(true);
  table_.AppendRow();
  table_.FieldNamed("Kcal").SetTextValue("7");
  table_.SetActive(false);
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1}));
}

// An engine that stays open while something still needs it, as a table does
// while clones share its rows; being destroyed closes it all the same.
class StayingOpenDataset : public MemoryDataset {
 public:
  explicit StayingOpenDataset(bool& storeClosed)
      : MemoryDataset({{"Kcal", ftInteger}}, "Quelle"), storeClosed_(storeClosed) {}
  ~StayingOpenDataset() override { CloseBeforeDestruction(); }

 protected:
  void CloseStarting() override { RaiseError("still needed"); }
  void CloseStore() override {
    MemoryDataset::CloseStore();
    storeClosed_ = true;
  }

 private:
  bool& storeClosed_;
};

TEST_F(DataSetTest, EngineMayRefuseAClosingButNotItsDestruction) {
  bool storeClosed = false;
  {
    StayingOpenDataset source(storeClosed);
    bool told = false;
    source.Events().beforeClose = [&](TDataSet&) { told = true; };
    source.SetActive(true);
    source.AppendRow();
    source.FieldNamed("Kcal").SetTextValue("7");
    EXPECT_EQ(ErrorOf([&] { source.SetActive(false); }), "Quelle: still needed");
    EXPECT_FALSE(told) << "nobody hears of a close that did not happen";
    EXPECT_EQ(source.State(), TDataSetState::Insert);
    EXPECT_EQ(source.FieldNamed("Kcal").TextValue(), "7");
    EXPECT_FALSE(storeClosed);
  }
  EXPECT_TRUE(storeClosed);
}

// A control that fails while letting go of a closing record-set.
class FailingLink : public TDataLink {
 public:
  bool failing = true;

 protected:
  void ActiveChanged() override {
    if (failing && !Active()) throw EDatabaseError("control failed");
  }
};

TEST_F(DataSetTest, ControlFailingAtCloseDoesNotKeepTheStorageOpen) {
  Seed(1);
  TDataSource source;
  source.SetDataSet(&table_);
  FailingLink control;
  control.SetDataSource(&source);
  table_.SetActive(true);
  EXPECT_EQ(ErrorOf([&] { table_.SetActive(false); }), "control failed");
  EXPECT_FALSE(table_.Active());
  EXPECT_FALSE(table_.StoreIsOpen());
  EXPECT_EQ(table_.FieldCount(), 0);
  table_.SetActive(true);  // opens afresh, with fields made from the columns
  EXPECT_EQ(CurrentKcal(), 1);
  control.failing = false;
}

TEST_F(DataSetTest, InsertAndDeleteWorkAtTheCurrentRow) {
  Seed(3);
  table_.SetActive(true);
  table_.GoNext();
  table_.InsertRow();
  table_.FieldNamed("Kcal").SetTextValue("15");
  table_.PostRow();
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 15, 2, 3}));
  EXPECT_EQ(CurrentKcal(), 15);

  table_.DeleteRow();
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(CurrentKcal(), 2);  // the following row
  table_.GoLast();
  table_.DeleteRow();
  EXPECT_EQ(CurrentKcal(), 2);  // the new last row
  table_.AppendRow();
  table_.DeleteRow();  // deleting a new row cancels it
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 2}));
}

TEST_F(DataSetTest, ReadOnlyRecordSetRefusesEveryChange) {
  Seed(1);
  table_.readOnly = true;
  table_.SetActive(true);
  const std::string refused =
      "Tabelle: Eine Datenmenge, die nur zum Lesen ist, kann nicht geändert werden";
  EXPECT_EQ(ErrorOf([&] { table_.AppendRow(); }), refused);
  EXPECT_EQ(ErrorOf([&] { table_.EditRow(); }), refused);
  EXPECT_EQ(ErrorOf([&] { table_.DeleteRow(); }), refused);
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
}

TEST_F(DataSetTest, FailedStoreKeepsThePendingRow) {
  MemoryDataset strict({{"Name", ftString, 20, true}, {"Kcal", ftInteger}}, "Ziel");
  strict.SetActive(true);
  strict.AppendRow();
  strict.FieldNamed("Kcal").SetTextValue("1");
  EXPECT_EQ(ErrorOf([&] { strict.PostRow(); }), "Ziel: Feld 'Name' muß einen Wert haben");
  EXPECT_EQ(strict.State(), TDataSetState::Insert);
  strict.FieldNamed("Name").SetTextValue("Apfel");
  strict.failNextStore = true;
  EXPECT_EQ(ErrorOf([&] { strict.PostRow(); }), "Ziel: store refused");
  EXPECT_EQ(strict.State(), TDataSetState::Insert);
  EXPECT_EQ(strict.FieldNamed("Name").TextValue(), "Apfel");
  strict.PostRow();
  EXPECT_EQ(strict.Rows().size(), 1u);
}

TEST_F(DataSetTest, RefusedNewRowIsDiscardedAndBrowseRestored) {
  Seed(2);
  table_.SetActive(true);
  table_.failNewRow = true;
  EXPECT_EQ(ErrorOf([&] { table_.AppendRow(); }), "Tabelle: new row refused");
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(table_.discardCalls, 1);
  EXPECT_EQ(CurrentKcal(), 2);
}

TEST_F(DataSetTest, FieldsAreFoundByNameRegardlessOfCase) {
  Seed(1);
  table_.SetActive(true);
  EXPECT_EQ(&table_.FieldNamed("kcal"), &table_.FieldNamed("KCAL"));
  EXPECT_EQ(table_.FieldNamed("kcal").FieldName(), "Kcal");
  EXPECT_EQ(ErrorOf([&] { table_.FieldNamed("Eiweiss"); }),
            "Tabelle: Das Feld 'Eiweiss' wurde nicht gefunden");
  const auto values = table_.FieldValues(" kcal ;NAME");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0], Variant(std::int32_t{1}));
  EXPECT_EQ(values[1], Variant("Row 1"));
  EXPECT_EQ(table_.FieldValue("Kcal"), Variant(std::int32_t{1}));
  // A name list yields the values as one array, in list order.
  EXPECT_EQ(table_.FieldValue("Name;Kcal"), Variant::Array({Variant("Row 1"), Variant(std::int32_t{1})}));
  EXPECT_EQ(ErrorOf([&] { table_.FieldValue("Kcal;Eiweiss"); }),
            "Tabelle: Das Feld 'Eiweiss' wurde nicht gefunden");
}

TEST_F(DataSetTest, RowValuesAreStoredAtOnce) {
  Seed(2);
  table_.SetActive(true);
  table_.AppendRowValues({Variant("Birne"), Variant(std::int32_t{57})});
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(StoredKcals(), (std::vector<int>{1, 2, 57}));
  EXPECT_EQ(table_.FieldNamed("Name").TextValue(), "Birne");
  table_.GoFirst();
  table_.InsertRowValues({Variant(), Variant(std::int32_t{0})});
  EXPECT_EQ(StoredKcals(), (std::vector<int>{0, 1, 2, 57}));
  EXPECT_TRUE(table_.FieldNamed("Name").IsNullValue());  // Empty leaves the default
}

TEST_F(DataSetTest, PersistentFieldsMustMatchTheirColumns) {
  Seed(1);
  auto& kcal = table_.AddField(std::make_unique<TIntegerField>("KCAL"));
  kcal.SetDisplayLabel("Kilokalorien");
  table_.SetActive(true);
  EXPECT_EQ(table_.FieldCount(), 1);  // only the declared field
  EXPECT_EQ(kcal.FieldNo(), 2);
  EXPECT_EQ(kcal.TextValue(), "1");
  EXPECT_EQ(ErrorOf([&] { table_.AddField(std::make_unique<TIntegerField>("X")); }),
            "Tabelle: Operation bei geöffneter Datenmenge nicht ausführbar");
  table_.SetActive(false);
  EXPECT_EQ(kcal.TextValue(), "");  // a closed record-set reads Null

  MemoryDataset mismatched({{"Name", ftString, 20}}, "M");
  mismatched.AddField(std::make_unique<TIntegerField>("Name"));
  EXPECT_EQ(ErrorOf([&] { mismatched.SetActive(true); }),
            "M: Typ für Feld 'Name' stimmt nicht überein. Erwartet: ftString, tatsächlich: "
            "ftInteger");
  EXPECT_FALSE(mismatched.Active());
  MemoryDataset narrower({{"Name", ftString, 20}}, "N");
  narrower.AddField(std::make_unique<TStringField>("Name", 5));
  EXPECT_NE(ErrorOf([&] { narrower.SetActive(true); }), "(no error)");
}

TEST_F(DataSetTest, ComputedFieldsAreFilledForEveryRow) {
  Seed(3);
  table_.AddField(std::make_unique<TIntegerField>("Kcal"));
  auto& twice = table_.AddField(std::make_unique<TIntegerField>("Doppelt"));
  twice.SetFieldKind(fkCalculated);
  table_.Events().onCalcFields = [&](TDataSet& dataSet) {
    const auto kcal = dataSet.FieldNamed("Kcal").VariantValue();
    if (!kcal.IsNull()) static_cast<TIntegerField&>(twice).SetValue(kcal.ToInt32() * 2);
  };
  table_.SetActive(true);
  EXPECT_EQ(table_.CalcFieldsSize(), 5);
  EXPECT_EQ(twice.TextValue(), "2");
  table_.GoLast();
  EXPECT_EQ(twice.TextValue(), "6");
}

// A detail that follows a master through `master`.
class DetailDataset : public MemoryDataset {
 public:
  DetailDataset() : MemoryDataset({{"Kcal", ftInteger}}, "Detail") {}
  TDataSource* master = nullptr;
  TDataSource* LinkedSource() const override { return master; }
};

TEST_F(DataSetTest, DataSourceRefusesCircularLinks) {
  DetailDataset first;
  DetailDataset second;
  TDataSource firstSource("Quelle1");
  TDataSource secondSource("Quelle2");
  secondSource.SetDataSet(&second);
  second.master = &firstSource;  // second follows what firstSource shows
  first.master = &secondSource;  // first follows second
  EXPECT_EQ(ErrorOf([&] { firstSource.SetDataSet(&first); }),
            "Quelle1: Zirkuläre Datenverknüpfungen sind nicht erlaubt");
  EXPECT_EQ(firstSource.DataSet(), nullptr);
  first.master = nullptr;
  firstSource.SetDataSet(&first);
  EXPECT_TRUE(second.IsLinkedTo(&firstSource));
}

}  // namespace
}  // namespace recordset::testing
