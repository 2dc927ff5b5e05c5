// LocateRow and LookupValues of TAccessTable: on a dynaset (FindFirst on a
// clone) and on table-type recordsets (Seek on single and compound
// indexes, or on none), with every option combination and keys of every
// field type, given as values or as texts in German or English formats;
// each finds the row a scan of the model finds. Lookups leave the row and
// the filter as they were; every refusal has its message.

#include <gtest/gtest.h>

#include "access/tests/access_test_support.h"
#include "access/tests/search_test_support.h"
#include "dao/dao_error.h"
#include "dao/database.h"
#include "platform/format_settings.h"
#include "platform/text_case.h"
#include "recordset/field_factory.h"
#include "recordset/float_fields.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using testing::ErrorOf;
using testing::ModelMatches;
using testing::Nr;
using testing::TypedColumns;

constexpr TLocateOptions kOptionSets[] = {
    {.caseInsensitive = false, .partialKey = false},
    {.caseInsensitive = true, .partialKey = false},
    {.caseInsensitive = false, .partialKey = true},
    {.caseInsensitive = true, .partialKey = true},
};

bool IsText(TFieldType type) { return type == ftString || type == ftMemo; }

class LocateTest : public testing::AccessTest {
 protected:
  void SetUp() override {
    AccessTest::SetUp();
    if (IsSkipped()) return;
    database_ = NewDatabase("typen.mdb");
    rows_ = testing::CreateTypedTable(*database_, 60, 7);
    dao::Database& dao = *database_->DatabaseObject();
    dao.Execute("CREATE INDEX ixName ON Typen (Name)");
    dao.Execute("CREATE INDEX ixZahlName ON Typen (Zahl, Name DESC)");
    dao.Execute("CREATE UNIQUE INDEX PrimaryKey ON Typen (Nr) WITH PRIMARY");
    database_->RefreshDefinitions();
  }

  std::unique_ptr<TAccessTable> Open(int tableType) {
    auto table = std::make_unique<TAccessTable>("T");
    table->SetDatabase(database_.get());
    table->SetTableName("Typen");
    table->SetTableType(tableType);
    table->SetActive(true);
    return table;
  }

  // Whether model row `row` holds the keys of columns `columns` (indexes into
  // TypedColumns()).
  bool Holds(const std::vector<Variant>& row, const std::vector<std::size_t>& columns, const std::vector<Variant>& keys,
             TLocateOptions options) const {
    for (std::size_t k = 0; k < columns.size(); ++k) {
      const testing::TypedColumn& column = TypedColumns()[columns[k]];
      if (!ModelMatches(column.type, row[columns[k] + 1], keys[k], options.partialKey && IsText(column.type))) {
        return false;
      }
    }
    return true;
  }

  // The Nr of the first model row in storage order with the keys; 0 for none.
  int FirstHolding(const std::vector<std::size_t>& columns, const std::vector<Variant>& keys,
                   TLocateOptions options) const {
    for (const auto& row : rows_) {
      if (Holds(row, columns, keys, options)) return row.front().ToInt32();
    }
    return 0;
  }

  // Locates by `columns` and checks the answer against the model: on a
  // dynaset the first row in storage order, on a table-type recordset some
  // row with the keys (Seek answers the first in the index's order).
  void CheckLocate(TAccessTable& table, const std::vector<std::size_t>& columns, const std::vector<Variant>& keys,
                   TLocateOptions options, bool firstInStorageOrder) {
    std::string names;
    for (const std::size_t c : columns) names += (names.empty() ? "" : ";") + TypedColumns()[c].name;
    std::string shown;
    for (const Variant& key : keys) shown += " " + (key.IsNull() ? std::string("Null") : key.ToText());
    const std::string context = names + shown + " ci=" + std::to_string(options.caseInsensitive) +
                                " partial=" + std::to_string(options.partialKey);
    const int before = Nr(table);
    const int expected = FirstHolding(columns, keys, options);
    const bool found = table.LocateRow(names, keys, options);
    ASSERT_EQ(found, expected != 0) << context;
    if (!found) {
      EXPECT_EQ(Nr(table), before) << context << ": a failed search does not move";
    } else if (firstInStorageOrder) {
      EXPECT_EQ(Nr(table), expected) << context;
    } else {
      EXPECT_TRUE(Holds(rows_[static_cast<std::size_t>(Nr(table) - 1)], columns, keys, options)) << context;
    }
    // The row shown is the row DAO stands on: its neighbours follow.
    if (found && Nr(table) < static_cast<int>(rows_.size()) && firstInStorageOrder) {
      table.GoNext();
      EXPECT_EQ(Nr(table), expected + 1) << context;
      table.GoPrior();
    }
  }

  // Every pool value of every column, as a value and as the text the user
  // would type, plus keys no row holds.
  void CheckEveryKey(TAccessTable& table, bool firstInStorageOrder) {
    for (std::size_t c = 0; c < TypedColumns().size(); ++c) {
      std::vector<Variant> keys = TypedColumns()[c].pool;
      for (const Variant& value : TypedColumns()[c].pool) {
        if (!value.IsNull()) keys.emplace_back(value.ToText());
      }
      if (IsText(TypedColumns()[c].type)) {
        for (const char* text : {"Ap", "ap*", "A?", "[", "#", "Sag \"", "O'", "Mus-", "nix", "LANG"}) {
          keys.emplace_back(text);
        }
      }
      for (const TLocateOptions options : kOptionSets) {
        for (const Variant& key : keys) CheckLocate(table, {c}, {key}, options, firstInStorageOrder);
      }
    }
  }

  std::unique_ptr<TAccessDatabase> database_;
  std::vector<std::vector<Variant>> rows_;
};

TEST_F(LocateTest, OnADynasetFindsTheFirstRowAScanFindsInBothLocales) {
  for (const auto& settings : {platform::GermanFormatSettings(), platform::EnglishUsFormatSettings()}) {
    platform::ScopedFormatSettings scope(settings);
    auto table = Open(kTableTypeDynaset);
    table->GoNext();
    CheckEveryKey(*table, true);
  }
}

TEST_F(LocateTest, OnADynasetFindsByCompoundKeysWithArraysAndNulls) {
  auto table = Open(kTableTypeDynaset);
  const std::size_t name = 0;
  const std::size_t zahl = 2;
  const std::size_t datum = 9;
  for (const TLocateOptions options : kOptionSets) {
    for (const auto& row : rows_) {
      CheckLocate(*table, {zahl, name}, {row[zahl + 1], row[name + 1]}, options, true);
      CheckLocate(*table, {name, datum}, {row[name + 1], row[datum + 1]}, options, true);
    }
    // Both keys given as one array.
    const Variant pair = Variant::Array({rows_[9][zahl + 1], rows_[9][name + 1]});
    EXPECT_TRUE(table->LocateRow("Zahl;Name", {pair}, options));
    CheckLocate(*table, {zahl, name}, {Variant::Null(), Variant::Null()}, options, true);
  }
}

TEST_F(LocateTest, OnATableTypeRecordsetSeeksOnSingleAndCompoundIndexes) {
  for (const auto& settings : {platform::GermanFormatSettings(), platform::EnglishUsFormatSettings()}) {
    platform::ScopedFormatSettings scope(settings);
    auto table = Open(kTableTypeTable);
    table->SetIndexName("PrimaryKey");
    const std::size_t name = 0;
    const std::size_t zahl = 2;
    for (const TLocateOptions options : kOptionSets) {
      for (const Variant& key : TypedColumns()[name].pool) CheckLocate(*table, {name}, {key}, options, false);
      for (const char* text : {"Ap", "ap*", "[", "Sag \"", "käse", "nix"}) {
        CheckLocate(*table, {name}, {Variant(text)}, options, false);
      }
      for (const Variant& key : TypedColumns()[zahl].pool) CheckLocate(*table, {zahl}, {key}, options, false);
      for (const auto& row : rows_) {
        CheckLocate(*table, {zahl, name}, {row[zahl + 1], row[name + 1]}, options, false);
        CheckLocate(*table, {name, zahl}, {row[name + 1], Variant(999)}, options, false);
      }
      CheckLocate(*table, {zahl, name}, {Variant(7), Variant("A")}, options, false);
    }
  }
}

TEST_F(LocateTest, AnIndexNotLedByAKeyFieldStillFindsTheRow) {
  auto table = Open(kTableTypeTable);
  table->SetAutoFindIndex(false);
  // The index orders by Zahl first: Seek cannot find by Name, the rows are
  // looked at in turn.
  table->SetIndexName("ixZahlName");
  for (const TLocateOptions options : kOptionSets) {
    for (const Variant& key : TypedColumns()[0].pool) CheckLocate(*table, {0}, {key}, options, false);
  }
  // The index set wins over a better one without AutoFindIndex, with it
  // the better one is taken: both find.
  table->SetIndexName("ixName");
  CheckLocate(*table, {2}, {Variant(7)}, {}, false);
  table->SetAutoFindIndex(true);
  CheckLocate(*table, {2}, {Variant(7)}, {}, false);
}

TEST_F(LocateTest, TheRowFoundIsNumberedAndMovesOnInTheIndexOrder) {
  auto table = Open(kTableTypeTable);
  table->SetIndexName("PrimaryKey");
  ASSERT_TRUE(table->LocateRow("Nr", {Variant(42)}, {}));
  EXPECT_EQ(table->RowNumber(), 42);
  table->GoNext();
  EXPECT_EQ(Nr(*table), 43);
}

TEST_F(LocateTest, SeekingFollowsRowsStoredAndDeletedMeanwhile) {
  auto table = Open(kTableTypeTable);
  table->SetIndexName("PrimaryKey");
  ASSERT_TRUE(table->LocateRow("Name", {Variant("Apfel")}, {}));
  EXPECT_FALSE(table->LocateRow("Name", {Variant("Quitte")}, {}));
  table->AppendRow();
  table->FieldNamed("Nr").SetVariantValue(Variant(61));
  table->FieldNamed("Name").SetVariantValue(Variant("Quitte"));
  table->PostRow();
  table->GoFirst();
  ASSERT_TRUE(table->LocateRow("Name", {Variant("quitte")}, {}));
  EXPECT_EQ(Nr(*table), 61);
  EXPECT_EQ(table->RowNumber(), 61);
  // Deleted through another recordset: the search does not see it any more.
  table->GoFirst();
  auto other = Open(kTableTypeDynaset);
  ASSERT_TRUE(other->LocateRow("Nr", {Variant(61)}, {}));
  other->DeleteRow();
  EXPECT_FALSE(table->LocateRow("Name", {Variant("Quitte")}, {}));
  // Re-opening drops the kept search; the next one starts afresh.
  table->SetActive(false);
  table->SetActive(true);
  ASSERT_TRUE(table->LocateRow("Nr", {Variant(60)}, {}));
  EXPECT_EQ(table->RowNumber(), 60);
}

TEST_F(LocateTest, ASearchBetweenTwoStatesLeavesTheTableAsItWas) {
  auto table = Open(kTableTypeDynaset);
  table->GoToRowNumber(20);
  EXPECT_FALSE(table->LocateRow("Name", {Variant("gibt es nicht")}, {}));
  EXPECT_EQ(Nr(*table), 20);
  EXPECT_EQ(table->RowNumber(), 20);
  // An empty key list finds nothing.
  EXPECT_FALSE(table->LocateRow("", {}, {}));
  // A pending change is stored before the table moves.
  table->EditRow();
  table->FieldNamed("Zahl").SetVariantValue(Variant(31337));
  ASSERT_TRUE(table->LocateRow("Nr", {Variant(5)}, {}));
  EXPECT_EQ(table->State(), TDataSetState::Browse);
  ASSERT_TRUE(table->LocateRow("Zahl", {Variant(31337)}, {}));
  EXPECT_EQ(Nr(*table), 20);
}

TEST_F(LocateTest, AForwardOnlyTableCannotGoBackToSearch) {
  auto table = Open(kTableTypeForwardOnly);
  table->GoNext();
  // Without bookmarks the rows are walked from the first, which DAO cannot
  // go back to here; the table stays where it was.
  EXPECT_THROW(table->LocateRow("Nr", {Variant(1)}, {}), dao::DaoError);
  EXPECT_EQ(Nr(*table), 2);
  table->GoNext();
  EXPECT_EQ(Nr(*table), 3);
}

TEST_F(LocateTest, EveryRefusalHasItsMessage) {
  auto dynaset = Open(kTableTypeDynaset);
  EXPECT_EQ(ErrorOf([&] { dynaset->LocateRow("Name;Zahl", {Variant("Apfel")}, {}); }),
            "T: Number of elements in the KeyValues array must be equal to the number of fields.");
  EXPECT_EQ(ErrorOf([&] { dynaset->LookupValues("Name;Zahl", {Variant("Apfel")}, "Nr"); }),
            "T: Number of elements in the KeyValues array must be equal to the number of fields.");
  EXPECT_EQ(ErrorOf([&] { dynaset->LookupValues("Name", {Variant("Apfel")}, " ; "); }),
            "T: ResultFields are not defined");
  EXPECT_EQ(ErrorOf([&] { dynaset->LookupValues("Name", {Variant("Apfel")}, "Nr;Gewicht"); }),
            "T: Invalid field name: Gewicht");
  EXPECT_EQ(ErrorOf([&] { dynaset->LocateRow("Datum", {Variant("kein Datum")}, {}); }),
            "T: Unable to build Lookup Key SQL!");
  EXPECT_EQ(ErrorOf([&] { dynaset->LookupValues("Datum", {Variant("kein Datum")}, "Nr"); }),
            "T: Unable to build Key SQL!");
  EXPECT_EQ(ErrorOf([&] { dynaset->SetIndexName("ixName"); }),
            "T: TAccessTable.F_Set_IndexName: Indexes can be set only on Standard Tables!");
  dynaset->SetActive(false);
  EXPECT_EQ(ErrorOf([&] { dynaset->SetIndexName("ixName"); }),
            "T: TAccessTable.F_Set_IndexName: Indexes can be set only on Standard Tables!");
  EXPECT_EQ(ErrorOf([&] { dynaset->SetIndexName(""); }), "");

  auto table = Open(kTableTypeTable);
  EXPECT_EQ(ErrorOf([&] { table->LocateRow("Geld", {Variant(1.25)}, {}); }),
            "T: Index Property is Empty!\r\nYou must set an index before using Locate with StandardTables");
}

TEST_F(LocateTest, LookupsAnswerWithoutMovingOrChangingTheFilter) {
  auto table = Open(kTableTypeDynaset);
  table->SetFilter("[Nr] > 10");
  table->SetFiltered(true);
  table->GoToRowNumber(5);
  ASSERT_EQ(Nr(*table), 15);
  EXPECT_EQ(table->LookupValues("Nr", {Variant(33)}, "Name"), rows_[32][1]);
  EXPECT_EQ(table->LookupValues("Nr", {Variant(33)}, "Zahl;Nr"), Variant::Array({rows_[32][3], Variant(33)}));
  // The rows the filter hides are not found.
  EXPECT_EQ(table->LookupValues("Nr", {Variant(3)}, "Name"), Variant(false));
  EXPECT_EQ(table->LookupValues("Name", {Variant("gibt es nicht")}, "Nr"), Variant(false));
  EXPECT_EQ(Nr(*table), 15);
  EXPECT_EQ(table->RowNumber(), 5);
  EXPECT_EQ(table->Filter(), "[Nr] > 10");
  EXPECT_EQ(table->RowCount(), 50);
  table->GoNext();
  EXPECT_EQ(Nr(*table), 16);
  // A table-type recordset takes no DAO filter; its lookups still answer.
  auto indexed = Open(kTableTypeTable);
  EXPECT_EQ(indexed->LookupValues("Nr", {Variant(7)}, "Nr;Name"), Variant::Array({Variant(7), rows_[6][1]}));
}

TEST_F(LocateTest, LookupsComputeCalculatedFieldsOfTheRowFound) {
  TAccessTable table("T");
  table.SetDatabase(database_.get());
  table.SetTableName("Typen");
  table.SetActive(true);
  table.SetActive(false);
  auto& doubled = static_cast<TFloatField&>(table.AddField(std::make_unique<TFloatField>("Doppelt2")));
  doubled.SetFieldKind(fkCalculated);
  for (int i = 0; i < table.FieldDefs().Count(); ++i) {
    const TFieldDef& def = table.FieldDefs()[i];
    table.AddField(CreateFieldOfType(def.DataType(), def.Name(), def.Size()));
  }
  table.Events().onCalcFields = [&](TDataSet& dataSet) {
    doubled.SetValue(dataSet.FieldNamed("Nr").VariantValue().ToDouble() * 2);
  };
  table.SetActive(true);
  table.GoToRowNumber(3);
  EXPECT_EQ(table.LookupValues("Nr", {Variant(21)}, "Doppelt2"), Variant(42.0));
  EXPECT_EQ(table.LookupValues("Nr", {Variant(21)}, "Nr;Doppelt2"), Variant::Array({Variant(21), Variant(42.0)}));
  EXPECT_EQ(Nr(table), 3);
  EXPECT_EQ(doubled.VariantValue(), Variant(6.0));
}

// The 20,000 rows of the large Nutaro fixture: filters and searches by
// name and category find what a scan of the rows finds.
TEST_F(LocateTest, TheLargeFixtureIsFilteredAndSearchedAsAScanFindsIt) {
  auto database = Connect(CopyFixture("nutaro/nuta4-large.mdb"));
  auto table = OpenTable(*database, "nuta");
  std::vector<std::pair<std::string, std::string>> rows;  // name, category
  for (table->GoFirst(); !table->AtEnd(); table->GoNext()) {
    rows.emplace_back(table->FieldNamed("Nahrungsmittel").TextValue(), table->FieldNamed("Rubrik").TextValue());
  }
  ASSERT_EQ(rows.size(), 20000u);
  table->SetFilter("[Rubrik] = \"Obst\"");
  table->SetFiltered(true);
  const auto fruit = std::count_if(rows.begin(), rows.end(), [](const auto& row) { return row.second == "Obst"; });
  EXPECT_EQ(table->RowCount(), fruit);
  table->SetFiltered(false);
  for (std::size_t sample = 0; sample < rows.size(); sample += 1999) {
    const std::string prefix = rows[sample].first.substr(0, rows[sample].first.find(","));
    for (const TLocateOptions options : kOptionSets) {
      const auto first = std::find_if(rows.begin(), rows.end(), [&](const auto& row) {
        return options.partialKey ? platform::AnsiLowerCase(row.first).starts_with(platform::AnsiLowerCase(prefix))
                                  : platform::AnsiSameText(row.first, rows[sample].first);
      });
      ASSERT_TRUE(table->LocateRow("Nahrungsmittel", {Variant(options.partialKey ? prefix : rows[sample].first)}, options))
          << prefix << " / " << rows[sample].first << " ci=" << options.caseInsensitive << " p=" << options.partialKey;
      EXPECT_EQ(table->RowNumber(), first - rows.begin() + 1) << prefix;
    }
  }
  EXPECT_EQ(table->LookupValues("Nahrungsmittel", {Variant(rows[12345].first)}, "Rubrik"),
            rows[12345].second.empty() ? Variant::Null() : Variant(rows[12345].second));
  // Empty categories are Null: searched with IS NULL.
  const auto uncategorised = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.second.empty(); });
  ASSERT_TRUE(table->LocateRow("Rubrik", {Variant::Null()}, {}));
  EXPECT_EQ(table->RowNumber(), uncategorised - rows.begin() + 1);
}

}  // namespace
}  // namespace accessdb
