// The record store: change states, reverting and accepting, auto-increment
// numbering, ordering and uniqueness.

#include <gtest/gtest.h>

#include <limits>

#include "platform/format_settings.h"
#include "tablefile/ntd_cursor.h"
#include "tablefile/record_compare.h"
#include "tablefile/tests/image_bytes.h"

namespace tablefile {
namespace {

using testing::AddRecord;
using testing::ImageOf;
using Type = TNtdStorageType;

class RecordStore : public ::testing::Test {
 protected:
  void SetUp() override {
    cursor_.DefineFields({MakeNtdField("Id", Type::AutoInc), MakeNtdField("Name", Type::String, 40),
                          MakeNtdField("Kcal", Type::Double)});
    for (const char* name : {"Apfel", "Birne", "Kiwi"}) {
      AddRecord(cursor_, [&](RecordBuffer& row) { row.LargeValue(NameField()) = name; });
    }
    // Load it, so that the records are as read from a file.
    std::vector<std::uint8_t> image = ImageOf(cursor_);
    ASSERT_TRUE(cursor_.ReadImage(image).Ok);
  }

  const TNtdField& NameField() const { return *cursor_.Field(1); }
  std::string NameOf(const RecordEntry* record) const { return record->Data.LargeValue(NameField()); }

  // Changes a record the way the dataset does: back it up, then put the row.
  void Rename(RecordEntry* record, const std::string& name) {
    ASSERT_TRUE(cursor_.BackupRecord(record));
    RecordBuffer row = record->Data;
    row.LargeValue(NameField()) = name;
    ASSERT_TRUE(cursor_.PutRecord(row, record).Ok);
  }

  std::vector<std::string> WrittenNames() {
    std::vector<std::uint8_t> image = ImageOf(cursor_);
    TNtdCursor back;
    EXPECT_TRUE(back.ReadImage(image).Ok);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < back.RecordCount(); ++i) {
      names.push_back(back.Record(i)->Data.LargeValue(*back.Field(1)));
    }
    return names;
  }

  TNtdCursor cursor_;
};

TEST_F(RecordStore, RevertAllRestoresTheLoadedValuesAfterTwoEdits) {
  RecordEntry* apple = cursor_.Record(0);
  Rename(apple, "Apfel, roh");
  Rename(apple, "Apfel, gekocht");
  EXPECT_EQ(apple->State, TNtdRecordState::rsModified);
  EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Apfel, gekocht", "Birne", "Kiwi"}));
  cursor_.RevertAll();
  EXPECT_EQ(apple->State, TNtdRecordState::rsUnchanged);
  EXPECT_EQ(NameOf(apple), "Apfel");
  EXPECT_EQ(apple->ImageSize, cursor_.MeasureRecord(apple->Data));
}

TEST_F(RecordStore, DeletionsAreRestorableUntilAcceptedAndInsertionsArePurgedForGood) {
  ASSERT_TRUE(cursor_.DeleteRecord(cursor_.Record(1)).Ok);
  EXPECT_EQ(cursor_.DeleteRecord(cursor_.Record(1)).Reason, "Record has been deleted");
  RecordEntry* added = AddRecord(cursor_, [&](RecordBuffer& row) { row.LargeValue(NameField()) = "Mango"; });
  EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Apfel", "Kiwi", "Mango"}));

  ASSERT_TRUE(cursor_.DeleteRecord(added).Ok);
  EXPECT_EQ(added->State, TNtdRecordState::rsPurged);
  cursor_.RevertAll();
  EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Apfel", "Birne", "Kiwi"}));
  RecordBuffer row = cursor_.NewRecordBuffer();
  EXPECT_EQ(cursor_.PutRecord(row, added).Reason, "Record has been deleted");
}

TEST_F(RecordStore, AcceptedChangesCannotBeReverted) {
  Rename(cursor_.Record(0), "Apfelmus");
  ASSERT_TRUE(cursor_.DeleteRecord(cursor_.Record(2)).Ok);
  cursor_.AcceptAll();
  EXPECT_EQ(cursor_.Record(2)->State, TNtdRecordState::rsPurged);
  cursor_.RevertAll();
  EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Apfelmus", "Birne"}));
  EXPECT_EQ(cursor_.Record(0)->State, TNtdRecordState::rsUnchanged);
  EXPECT_FALSE(cursor_.Record(0)->Backup);
}

TEST_F(RecordStore, RecordsOfAnotherStoreAreNotFound) {
  TNtdCursor other;
  other.DefineFields(cursor_.Fields());
  RecordEntry* foreign = AddRecord(other, [](RecordBuffer&) {});
  RecordBuffer row = cursor_.NewRecordBuffer();
  EXPECT_EQ(cursor_.PutRecord(row, foreign).Reason, "Record is not found");
  EXPECT_EQ(cursor_.DeleteRecord(foreign).Reason, "Record is not found");
  EXPECT_FALSE(cursor_.BackupRecord(foreign));
}

TEST_F(RecordStore, NewRecordsAreNumberedFromTheCounterWhateverTheRowHolds) {
  EXPECT_EQ(cursor_.LastAutoIncValue(), 3);
  const TNtdField& id = *cursor_.Field(0);
  RecordEntry* fourth = AddRecord(cursor_, [&](RecordBuffer& row) { row.Put<std::int32_t>(id, 1); });
  ASSERT_TRUE(cursor_.DeleteRecord(fourth).Ok);
  RecordEntry* fifth = AddRecord(cursor_, [&](RecordBuffer& row) { row.Put<std::int32_t>(id, 77); });
  EXPECT_EQ(fourth->State, TNtdRecordState::rsPurged);
  EXPECT_EQ(fifth->Data.Get<std::int32_t>(id), 5) << "deleting does not lower the counter";
  Rename(fifth, "Mango");
  EXPECT_EQ(fifth->Data.Get<std::int32_t>(id), 5) << "only new records are numbered";

  // A table whose counter stands at the largest number takes no new record.
  RecordBuffer row = cursor_.NewRecordBuffer();
  row.Put<std::int32_t>(id, std::numeric_limits<std::int32_t>::max());
  ASSERT_TRUE(cursor_.PutRecord(row, fifth).Ok);
  std::vector<std::uint8_t> image = ImageOf(cursor_);
  ASSERT_TRUE(cursor_.ReadImage(image).Ok);
  RecordEntry* none = nullptr;
  EXPECT_EQ(cursor_.PutRecord(row, none).Reason, "No auto-increment value is left");
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(cursor_.RecordCount(), 4u);
}

TEST_F(RecordStore, SortingOrdersLiveRecordsAndUniquenessIgnoresOwnAndDeletedRecords) {
  Rename(cursor_.Record(0), "kiwi");
  cursor_.SortRecords(" name ; Unknown", true);
  EXPECT_EQ(NameOf(cursor_.Record(0)), "Birne");
  cursor_.SortRecords("Name", false);
  EXPECT_EQ(NameOf(cursor_.Record(0)), "Birne");
  EXPECT_EQ(NameOf(cursor_.Record(1)), "Kiwi");
  EXPECT_EQ(NameOf(cursor_.Record(2)), "kiwi");

  RecordBuffer row = cursor_.Record(1)->Data;
  EXPECT_FALSE(cursor_.CheckUnique(row, cursor_.Record(1), "Name"));
  EXPECT_TRUE(cursor_.CheckUnique(row, nullptr, "Name"));
  ASSERT_TRUE(cursor_.DeleteRecord(cursor_.Record(1)).Ok);
  EXPECT_FALSE(cursor_.CheckUnique(row, nullptr, "Name"));
  // Names that match no field leave nothing to compare: any other live record violates.
  EXPECT_TRUE(cursor_.CheckUnique(row, cursor_.Record(0), "Nothing"));
}

TEST(FieldOrdering, ValuesCompareByTheirStorageType) {
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("Flag", Type::Boolean), MakeNtdField("Pic", Type::BLOB),
                       MakeNtdField("Code", Type::SmallStr, 4), MakeNtdField("Text", Type::String, 40),
                       MakeNtdField("Small", Type::SmallInt)});
  const auto& f = cursor.Fields();
  RecordBuffer a = cursor.NewRecordBuffer();
  RecordBuffer b = cursor.NewRecordBuffer();
  a.Put<std::int16_t>(f[0], -1);
  a.LargeValue(f[1]) = "abc";
  b.LargeValue(f[1]) = "xyz";
  a.PutSmallText(f[2], "9");
  b.PutSmallText(f[2], "10");
  a.LargeValue(f[3]) = "äpfel";
  b.Put<std::int16_t>(f[4], -30000);
  a.Put<std::int16_t>(f[4], 30000);

  EXPECT_EQ(CompareFieldValues(a, b, f[0], false), -1) << "true orders before false";
  EXPECT_EQ(CompareFieldValues(a, b, f[1], false), 0);
  EXPECT_GT(CompareFieldValues(a, b, f[3], false), 0) << "a text orders after no text";
  EXPECT_GT(CompareFieldValues(a, b, f[4], false), 0);

  TNtdField byLength = f[2];
  byLength.OrderByLength = true;
  EXPECT_LT(CompareFieldValues(a, b, byLength, false), 0);
  EXPECT_GT(CompareFieldValues(a, b, f[2], false), 0);

  b.LargeValue(f[3]) = "\xC4PFEL";  // "ÄPFEL" in the table's code page
  a.LargeValue(f[3]) = "\xE4pfel";
  EXPECT_EQ(CompareFieldValues(a, b, f[3], true), 0);
  EXPECT_NE(CompareFieldValues(a, b, f[3], false), 0);
  EXPECT_EQ(CompareRecords(a, b, {&f[1], &f[3]}, 1), 0) << "only the first field counts";
}

TEST(FieldText, ValuesAsFilterConditionsSeeThem) {
  platform::FormatSettings german = platform::GermanFormatSettings();
  platform::ScopedFormatSettings scope(german);
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("D", Type::Double), MakeNtdField("B", Type::Boolean),
                       MakeNtdField("G", Type::Graphic), MakeNtdField("Day", Type::Date),
                       MakeNtdField("At", Type::DateTime)});
  const auto& f = cursor.Fields();
  RecordBuffer row = cursor.NewRecordBuffer();
  row.Put<double>(f[0], 2.5);
  EXPECT_EQ(cursor.FieldText(f[0], row), "2,5");
  row.Put<double>(f[0], 1.0 / 3.0);
  EXPECT_EQ(cursor.FieldText(f[0], row), "0,333333");
  EXPECT_EQ(cursor.FieldText(f[1], row), "No");
  EXPECT_EQ(cursor.FieldText(f[2], row), "Not Found");
  EXPECT_EQ(cursor.FieldText(f[3], row), "");
  EXPECT_EQ(cursor.FieldText(f[4], row), "");
  row.Put<std::int32_t>(f[3], 730'120);  // 1 January 2000
  EXPECT_EQ(cursor.FieldText(f[3], row), "01.01.2000");
}

}  // namespace
}  // namespace tablefile
