// Tens of thousands of random AddNew, Edit and Delete calls through a DAO
// recordset against a model held in memory: every few thousand operations
// the file is closed, its indexes are checked against their rows and it is
// opened again; at the end our reader, mdb-export and mdb-reader all read
// the model back.

#include <gtest/gtest.h>

#include <map>

#include "dao/jet/database_writer.h"
#include "dao/jet/storage.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/jet/tests/random_model.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using jet::testing::ModelRow;
using platform::Variant;

class WriteRandomTest : public testing::WritingTest, public ::testing::WithParamInterface<std::pair<int, int>> {
 protected:
  void CreateTable(Database& database) {
    auto table = database.CreateTableDef("Random");
    testing::AppendField(*table, "ID", dbLong, 0, dbAutoIncrField);
    testing::AppendField(*table, "Name", dbText, 60);
    testing::AppendField(*table, "Amount", dbLong);
    testing::AppendField(*table, "Fraction", dbDouble);
    testing::AppendField(*table, "Flag", dbBoolean);
    testing::AppendField(*table, "Note", dbMemo)->SetAllowZeroLength(true);
    testing::AppendIndex(*table, "PrimaryKey", {"ID"}, true);
    testing::AppendIndex(*table, "Name", {"Name"});
    testing::AppendIndex(*table, "AmountDown", {"-Amount", "Flag"})->SetIgnoreNulls(true);
    database.TableDefs().Append(table);
  }

  void ExpectIndexesExact(const std::string& file, std::uint32_t tableId) {
    const jet::Layout& layout = GetParam().first == dbVersion40 ? jet::kJet4Layout : jet::kJet3Layout;
    jet::PageFile pages(jet::FileStorage::Open(file, false), layout.pageSize);
    const jet::TextCodec codec(layout.version, jet::kDefaultCodePage);
    jet::DatabaseWriter writer(pages, layout, codec);
    jet::TableWriter& table = writer.Table(tableId);
    for (std::size_t i = 0; i < table.Definition().realIndexes.size(); ++i)
      ASSERT_EQ(table.IndexEntries(i), table.ExpectedIndexEntries(i)) << "index " << i;
  }
};

// Puts the model row's values into the copy buffer (all of them, or only
// Amount and Flag).
void Assign(Recordset& rows, const ModelRow& row, bool amountAndFlagOnly) {
  const FieldCollection& fields = rows.Fields();
  const std::vector<Variant> values = jet::testing::ToVariants(row);
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (!amountAndFlagOnly || i == 2 || i == 4) fields.Item(static_cast<int>(i))->SetValue(values[i]);
  }
}

TEST_P(WriteRandomTest, MixedOperationsMatchTheModel) {
  const std::string file = Path("random.mdb");
  auto database = workspace_->CreateDatabase(file, dbLangGeneral, GetParam().first);
  CreateTable(*database);
  const std::uint32_t tableId = database->TableDefs().Item("Random")->Source()->Id();
  auto rows = database->OpenRecordset("Random", dbOpenDynaset);
  jet::testing::RandomRows random(static_cast<unsigned>(GetParam().second));
  std::map<std::uint32_t, ModelRow> model;  // by bookmark
  std::int32_t lastId = 0;
  const auto bookmarkOf = [](const platform::Bytes& bookmark) { return jet::LoadU32(bookmark.data()); };
  const auto goTo = [&](std::uint32_t key) {
    platform::Bytes bookmark(4);
    jet::StoreU32(bookmark.data(), key);
    rows->SetBookmark(bookmark);
  };
  const int operations = GetParam().second;
  for (int op = 1; op <= operations; ++op) {
    const std::size_t kind = random.Pick(10);
    if (model.empty() || kind < 5) {
      ModelRow row = random.Next();
      rows->AddNew();
      Assign(*rows, row, false);
      rows->Update();
      row.id = ++lastId;
      ASSERT_TRUE(model.emplace(bookmarkOf(rows->LastModified()), row).second);
    } else {
      auto it = model.begin();
      std::advance(it, static_cast<long>(random.Pick(model.size())));
      goTo(it->first);
      if (kind < 8) {
        ModelRow row = random.Next();
        row.id = it->second.id;
        const bool partly = random.Chance(30);
        if (partly) {
          // An edit of two fields: the others, long values included, stay.
          const ModelRow changes = row;
          row = it->second;
          row.amount = changes.amount;
          row.flag = changes.flag;
        }
        rows->Edit();
        Assign(*rows, row, partly);
        rows->Update();
        it->second = row;
      } else {
        rows->Delete();
        model.erase(it);
      }
    }
    if (op % 5000 == 0 || op == operations) {
      rows->Close();
      database->Close();
      ExpectIndexesExact(file, tableId);
      if (HasFatalFailure()) return;
      database = workspace_->OpenDatabase(file);
      rows = database->OpenRecordset("Random", dbOpenDynaset);
    }
  }

  // The reopened file holds exactly the model.
  EXPECT_EQ(database->TableDefs().Item("Random")->RecordCount(), static_cast<long>(model.size()));
  std::vector<ModelRow> expected;
  std::size_t seen = 0;
  for (; !rows->AtEOF(); rows->MoveNext(), ++seen) {
    const auto it = model.find(bookmarkOf(rows->Bookmark()));
    ASSERT_NE(it, model.end());
    std::vector<Variant> values;
    for (const auto& field : rows->Fields()) values.push_back(field->Value());
    EXPECT_EQ(values, jet::testing::ToVariants(it->second)) << "row " << it->second.id;
    expected.push_back(it->second);
  }
  EXPECT_EQ(seen, model.size());
  database->Close();
  jet::testing::ExpectFileKeepsTheChecklist(file);
  jet::testing::ExpectExternalReadersSee(file, "Random", expected);
}

INSTANTIATE_TEST_SUITE_P(Versions, WriteRandomTest,
                         ::testing::Values(std::pair{dbVersion40, 20000}, std::pair{dbVersion30, 5000}),
                         [](const auto& info) { return info.param.first == dbVersion40 ? "Jet4" : "Jet3"; });

}  // namespace
}  // namespace dao
