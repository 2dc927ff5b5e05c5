// DAO's movement rules on real tables: BOF/EOF on empty and one-row sets,
// moving past either end, Move(n), RecordCount before and after MoveLast,
// positions, bookmarks across Requery, clones, and the errors each misuse
// raises (also recorded in DBEngine::Errors).

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/tests/dao_error_of.h"
#include "dao/tests/fixture_support.h"

namespace dao {
namespace {

constexpr int kAllTypes[] = {dbOpenTable, dbOpenDynaset, dbOpenSnapshot, dbOpenForwardOnly};

class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::FixturesDir().empty()) GTEST_SKIP() << "fixture folder " << NUTARO_FIXTURES_DIR << " is absent";
    engine_ = DBEngine::Create("DAO.DBEngine.36");
    workspace_ = engine_->CreateWorkspace("test", "Admin", "");
  }

  std::shared_ptr<Database> Open(const std::string& relative) {
    return workspace_->OpenDatabase((testing::FixturesDir() / relative).string(), false, true);
  }

  // Runs `action` and returns the DAO error number it raised (0 for none).
  int ErrorOf(const std::function<void()>& action) { return testing::DaoErrorOf(*engine_, action); }

  std::string Name(Recordset& recordset) { return recordset.Fields().Item("Nahrungsmittel")->Value().ToText(); }

  std::shared_ptr<DBEngine> engine_;
  std::shared_ptr<Workspace> workspace_;
};

TEST_F(RecordsetTest, AnEmptySetIsAtBothEndsAndRefusesEveryMove) {
  const auto database = Open("nutaro/nuta4-empty.mdb");
  for (const int type : kAllTypes) {
    SCOPED_TRACE(type);
    const auto recordset = database->OpenRecordset("nuta", type);
    EXPECT_TRUE(recordset->AtBOF());
    EXPECT_TRUE(recordset->AtEOF());
    EXPECT_EQ(recordset->RecordCount(), 0);
    EXPECT_EQ(ErrorOf([&] { recordset->MoveNext(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { recordset->Fields().Item(0)->Value(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { recordset->Move(0); }), 3021);
    if (type != dbOpenForwardOnly) {
      EXPECT_EQ(ErrorOf([&] { recordset->MoveFirst(); }), 3021);
      EXPECT_EQ(ErrorOf([&] { recordset->MoveLast(); }), 3021);
      EXPECT_EQ(ErrorOf([&] { recordset->MovePrevious(); }), 3021);
    }
  }
}

TEST_F(RecordsetTest, OneRowSetStepsOffBothEndsAndBack) {
  const auto database = Open("access/v2000-fixedNumericTest.mdb");
  for (const int type : {dbOpenTable, dbOpenDynaset, dbOpenSnapshot}) {
    SCOPED_TRACE(type);
    const auto recordset = database->OpenRecordset("test", type);
    EXPECT_FALSE(recordset->AtBOF());
    EXPECT_FALSE(recordset->AtEOF());
    EXPECT_EQ(recordset->RecordCount(), 1);

    recordset->MovePrevious();
    EXPECT_TRUE(recordset->AtBOF());
    EXPECT_FALSE(recordset->AtEOF());
    EXPECT_EQ(ErrorOf([&] { recordset->MovePrevious(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { recordset->Fields().Item(0)->Value(); }), 3021);
    recordset->MoveNext();  // from BOF onto the first row
    EXPECT_FALSE(recordset->AtBOF());

    recordset->MoveNext();
    EXPECT_TRUE(recordset->AtEOF());
    EXPECT_FALSE(recordset->AtBOF());
    EXPECT_EQ(ErrorOf([&] { recordset->MoveNext(); }), 3021);
    recordset->MovePrevious();  // from EOF onto the last row
    EXPECT_FALSE(recordset->AtEOF());
    EXPECT_EQ(recordset->Fields().Item(0)->Value().ToText(), "some data");
  }
}

TEST_F(RecordsetTest, RecordCountGrowsWithTheRowsVisitedUntilMoveLast) {
  const auto database = Open("nutaro/nuta4-basic.mdb");
  const auto dynaset = database->OpenRecordset("nuta", dbOpenDynaset);
  EXPECT_EQ(dynaset->RecordCount(), 1);
  dynaset->MoveNext();
  dynaset->MoveNext();
  EXPECT_EQ(dynaset->RecordCount(), 3);
  dynaset->MoveLast();
  EXPECT_EQ(dynaset->RecordCount(), 28);
  dynaset->MoveFirst();
  EXPECT_EQ(dynaset->RecordCount(), 28);

  EXPECT_EQ(database->OpenRecordset("nuta", dbOpenTable)->RecordCount(), 28);

  const auto forward = database->OpenRecordset("nuta", dbOpenForwardOnly);
  while (!forward->AtEOF()) forward->MoveNext();
  EXPECT_EQ(forward->RecordCount(), 28);
}

TEST_F(RecordsetTest, MoveCountsFromTheCurrentRowAndStopsAtTheEnds) {
  const auto database = Open("nutaro/nuta4-basic.mdb");
  const auto recordset = database->OpenRecordset("nuta", dbOpenSnapshot);
  recordset->Move(3);
  EXPECT_EQ(Name(*recordset), "Weißbrot");
  EXPECT_EQ(recordset->AbsolutePosition(), 3);
  recordset->Move(0);
  EXPECT_EQ(Name(*recordset), "Weißbrot");
  recordset->Move(-2);
  EXPECT_EQ(Name(*recordset), "Birnen, roh");
  recordset->Move(-5);
  EXPECT_TRUE(recordset->AtBOF());
  EXPECT_EQ(ErrorOf([&] { recordset->Move(1); }), 3021);  // Move needs a current row
  recordset->MoveFirst();
  recordset->Move(100);
  EXPECT_TRUE(recordset->AtEOF());
  EXPECT_EQ(recordset->AbsolutePosition(), -1);
  EXPECT_FLOAT_EQ(recordset->PercentPosition(), 100.0f);

  recordset->SetAbsolutePosition(27);
  EXPECT_EQ(Name(*recordset).substr(0, 16), "Gemüseeintopf m");
  EXPECT_EQ(ErrorOf([&] { recordset->SetAbsolutePosition(28); }), 3001);
  recordset->SetPercentPosition(50.0f);
  EXPECT_EQ(recordset->AbsolutePosition(), 14);
}

TEST_F(RecordsetTest, BookmarksIdentifyRowsAndSurviveRequery) {
  const auto database = Open("nutaro/nuta4-basic.mdb");
  const auto recordset = database->OpenRecordset("nuta", dbOpenDynaset);
  std::set<platform::Bytes> bookmarks;
  platform::Bytes weissbrot;
  for (; !recordset->AtEOF(); recordset->MoveNext()) {
    const platform::Bytes bookmark = recordset->Bookmark();
    ASSERT_EQ(bookmark.size(), 4u);
    bookmarks.insert(bookmark);
    if (Name(*recordset) == "Weißbrot") weissbrot = bookmark;
  }
  EXPECT_EQ(bookmarks.size(), 28u);

  recordset->Requery();
  EXPECT_EQ(Name(*recordset), "Äpfel, roh");
  recordset->SetBookmark(weissbrot);
  EXPECT_EQ(Name(*recordset), "Weißbrot");
  EXPECT_EQ(recordset->Bookmark(), weissbrot);

  EXPECT_EQ(ErrorOf([&] { recordset->SetBookmark({1, 2}); }), 3159);
  EXPECT_EQ(ErrorOf([&] { recordset->SetBookmark({0xFF, 0xFF, 0xFF, 0x00}); }), 3159);
  EXPECT_EQ(Name(*recordset), "Weißbrot");  // a refused bookmark leaves the row current

  // The table type shares the same row identities.
  const auto table = database->OpenRecordset("nuta", dbOpenTable);
  table->SetBookmark(weissbrot);
  EXPECT_EQ(Name(*table), "Weißbrot");
}

TEST_F(RecordsetTest, AClonePositionsAndMovesIndependently) {
  const auto database = Open("nutaro/nuta4-basic.mdb");
  const auto recordset = database->OpenRecordset("nuta", dbOpenDynaset);
  recordset->Move(2);
  const auto clone = recordset->Clone();
  EXPECT_EQ(ErrorOf([&] { clone->Fields().Item(0)->Value(); }), 3021);  // no current row yet
  clone->SetBookmark(recordset->Bookmark());
  EXPECT_EQ(Name(*clone), "Bananen");
  clone->MoveNext();
  clone->MoveNext();
  EXPECT_EQ(Name(*clone), "Vollkornbrot");
  EXPECT_EQ(Name(*recordset), "Bananen");
  clone->MoveLast();
  recordset->MoveFirst();
  EXPECT_EQ(Name(*recordset), "Äpfel, roh");
  EXPECT_TRUE(clone->Fields().Item("Rubrik")->Value().IsNull() == false);
}

TEST_F(RecordsetTest, TypesDifferInWhatTheyAllow) {
  const auto database = Open("nutaro/nuta4-basic.mdb");
  const auto forward = database->OpenRecordset("nuta", dbOpenForwardOnly);
  EXPECT_FALSE(forward->Bookmarkable());
  EXPECT_FALSE(forward->Updatable());
  EXPECT_EQ(ErrorOf([&] { forward->MovePrevious(); }), 3219);
  EXPECT_EQ(ErrorOf([&] { forward->MoveFirst(); }), 3219);
  EXPECT_EQ(ErrorOf([&] { forward->Clone(); }), 3251);
  EXPECT_EQ(ErrorOf([&] { forward->Bookmark(); }), 3251);

  const auto table = database->OpenRecordset("nuta");
  EXPECT_EQ(table->Type(), dbOpenTable);
  EXPECT_TRUE(table->Bookmarkable());
  EXPECT_EQ(ErrorOf([&] { table->AbsolutePosition(); }), 3251);
  EXPECT_EQ(table->DateCreated().Type(), platform::VariantType::kDate);
  EXPECT_EQ(ErrorOf([&] { database->OpenRecordset("nuta", dbOpenDynaset)->DateCreated(); }), 3251);
  EXPECT_FALSE(database->OpenRecordset("nuta", dbOpenSnapshot)->Updatable());
  EXPECT_FALSE(table->Updatable());  // the fixture is opened read-only
  EXPECT_EQ(table->EditMode(), dbEditNone);
  EXPECT_EQ(ErrorOf([&] { table->LastModified(); }), 3021);
}

TEST_F(RecordsetTest, FieldsAreFoundByNameAndFailOnceTheirOwnerIsGone) {
  const auto database = Open("nutaro/nuta4-basic.mdb");
  auto recordset = database->OpenRecordset("nuta", dbOpenDynaset);
  const auto kcal = recordset->Fields().Item("KCAL");
  EXPECT_EQ(kcal->Name(), "Kcal");
  EXPECT_EQ(kcal->Value().ToInt32(), 52);
  EXPECT_EQ(ErrorOf([&] { recordset->Fields().Item("Zucker"); }), 3265);

  recordset->Close();
  EXPECT_EQ(ErrorOf([&] { kcal->Value(); }), 3420);
  EXPECT_EQ(ErrorOf([&] { recordset->MoveNext(); }), 3420);

  recordset = database->OpenRecordset("nuta", dbOpenDynaset);
  const auto name = recordset->Fields().Item(0);
  recordset.reset();
  EXPECT_EQ(ErrorOf([&] { name->Value(); }), 3420);

  const auto other = database->OpenRecordset("nuta", dbOpenDynaset);
  database->Close();
  EXPECT_EQ(ErrorOf([&] { other->MoveNext(); }), 3420);
}

TEST_F(RecordsetTest, MissingSourcesRaiseTheErrorOfTheirRecordsetType) {
  const auto database = Open("nutaro/nuta4-basic.mdb");
  EXPECT_EQ(ErrorOf([&] { database->OpenRecordset("nuta2"); }), 3011);
  EXPECT_EQ(ErrorOf([&] { database->OpenRecordset("nuta2", dbOpenDynaset); }), 3078);
  EXPECT_EQ(ErrorOf([&] { database->OpenRecordset("nuta", dbOpenDynamic); }), 3001);
  EXPECT_EQ(engine_->Errors().Item(0).source, "DAO.Recordset");
}

}  // namespace
}  // namespace dao
