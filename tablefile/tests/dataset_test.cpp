// The table-file dataset as the converter and other callers use it: real
// tables on disk, values in UTF-8, every load mode.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/date_time.h"
#include "platform/error_display.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/format_settings.h"
#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/temp_folder.h"
#include "recordset/blob_fields.h"
#include "recordset/tests/error_of.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/tests/image_bytes.h"
#include "tablefile/tests/table_fixtures.h"

namespace tablefile {
namespace {

using platform::Variant;
using recordset::testing::ErrorOf;
using testing::AddConverterFieldDefs;
using testing::AppendRowWith;
using testing::OpenFile;
using platform::testing::TempFolder;
using testing::WriteEmptyConverterTable;

TEST(Dataset, ConverterTableIsCreatedFilledAndSavedInOnePiece) {
  TempFolder folder;
  const std::string path = folder.File("food.ntd");
  WriteEmptyConverterTable(path);
  EXPECT_EQ(platform::ReadWholeFile(path).size(), 138u);

  TNtdTable table("DBT1");
  table.SetTableName(path);
  EXPECT_EQ(table.LoadMode(), TNtdLoadMode::lmFile);
  table.SetActive(true);
  ASSERT_EQ(table.FieldCount(), 11);
  EXPECT_EQ(table.FieldDefs()[0].DataType(), recordset::ftString);
  EXPECT_EQ(table.FieldDefs()[0].Size(), 60);
  EXPECT_EQ(table.FieldDefs()[1].Size(), 40);
  EXPECT_EQ(table.FieldDefs()[8].DataType(), recordset::ftFloat);
  EXPECT_EQ(table.FieldDefs()[9].DataType(), recordset::ftInteger);
  EXPECT_EQ(table.FieldDefs()[10].Size(), 2);

  const std::vector<std::string> names{"Äpfel, roh", "Birne €", "Łosoś"};
  std::vector<int> rowNumbers{table.RowNumber()};
  for (std::size_t i = 0; i < names.size(); ++i) {
    table.EditRow();
    table.AppendRow();
    rowNumbers.push_back(table.RowNumber());
    table.FieldNamed("Nm1").SetVariantValue(Variant(names[i]));
    table.FieldNamed("Nm3").SetVariantValue(Variant(std::int32_t{0}));
    table.FieldNamed("Kcal").SetVariantValue(Variant(52.0 + static_cast<double>(i)));
    table.FieldNamed("X").SetTextValue(std::to_string(i + 1));
    table.PostRow();
    rowNumbers.push_back(table.RowNumber());
  }
  EXPECT_EQ(rowNumbers, (std::vector<int>{0, -1, 1, -1, 2, -1, 3}));
  EXPECT_EQ(platform::ReadWholeFile(path).size(), 138u) << "nothing is written before SaveChanges";
  table.SaveChanges();
  table.SetActive(false);

  TNtdTable reopened;
  reopened.SetTableName(path);
  reopened.SetActive(true);
  ASSERT_EQ(reopened.RowCount(), 3);
  reopened.GoLast();
  // A character the table's code page cannot hold is stored as "?".
  EXPECT_EQ(reopened.FieldValue("Nm1").ToText(), "?oso?");
  EXPECT_EQ(reopened.FieldValue("X").ToText(), "3");
  EXPECT_TRUE(reopened.FieldValue("Nm2").IsNull());
  EXPECT_TRUE(reopened.FieldValue("Nm50").IsNull());
  EXPECT_FALSE(reopened.FieldValue("Nm3").IsNull()) << "a zero float reads as 0, not Null";
  reopened.GoFirst();
  EXPECT_EQ(reopened.FieldValue("Nm1").ToText(), "Äpfel, roh");
  reopened.GoNext();
  EXPECT_EQ(reopened.FieldValue("Nm1").ToText(), "Birne €");
}

TEST(Dataset, EveryStorageTypeKeepsItsValueAndItsNull) {
  TempFolder folder;
  const std::vector<std::pair<const char*, recordset::TFieldType>> types{
      {"Small", recordset::ftSmallint}, {"Big", recordset::ftLargeint},  {"Flag", recordset::ftBoolean},
      {"Money", recordset::ftCurrency}, {"Day", recordset::ftDate},      {"At", recordset::ftTime},
      {"Stamp", recordset::ftDateTime}, {"Word", recordset::ftWord},     {"Odd", recordset::ftBCD}};
  TNtdTable table;
  for (const auto& [name, type] : types) table.FieldDefs().AddFieldDef(name, type, type == recordset::ftBCD ? 4 : 0);
  table.SetActive(true);
  EXPECT_EQ(table.FieldNamed("Word").DataType(), recordset::ftSmallint) << "words are stored as small integers";
  EXPECT_EQ(table.FieldNamed("Odd").DataType(), recordset::ftString) << "unknown types become texts of 100";
  EXPECT_EQ(table.FieldNamed("Odd").Size(), 100);

  const platform::TDateTime stamp = platform::EncodeDate(2021, 7, 4) + platform::EncodeTime(13, 5, 9, 120);
  table.AppendRow();
  table.FieldNamed("Small").SetVariantValue(Variant(std::int32_t{-1234}));
  table.FieldNamed("Big").SetVariantValue(Variant(std::int64_t{4'294'967'298}));
  table.FieldNamed("Flag").SetVariantValue(Variant(true));
  table.FieldNamed("Money").SetVariantValue(Variant(12.34));
  table.FieldNamed("Day").SetVariantValue(Variant::FromDate(stamp));
  table.FieldNamed("At").SetVariantValue(Variant::FromDate(stamp));
  table.FieldNamed("Stamp").SetVariantValue(Variant::FromDate(stamp));
  table.FieldNamed("Odd").SetTextValue("x");
  table.PostRow();
  table.AppendRow();  // a row of zeros and Nulls
  table.FieldNamed("Flag").SetVariantValue(Variant(false));
  table.FieldNamed("Small").SetVariantValue(Variant(std::int32_t{0}));
  table.PostRow();
  table.WriteTableFile(folder.File("types.ntd"));

  TNtdTable back;
  back.SetTableName(folder.File("types.ntd"));
  back.SetActive(true);
  back.GoFirst();
  EXPECT_EQ(back.FieldValue("Small").ToText(), "-1234");
  EXPECT_EQ(back.FieldValue("Big").ToText(), "4294967298");
  EXPECT_TRUE(back.FieldValue("Flag").ToBoolean());
  EXPECT_EQ(back.FieldValue("Money").ToDouble(), 12.34);
  EXPECT_EQ(back.FieldValue("Day").ToDate(), platform::EncodeDate(2021, 7, 4));
  EXPECT_NEAR(back.FieldValue("At").ToDate(), platform::EncodeTime(13, 5, 9, 120), 1e-9);
  EXPECT_NEAR(back.FieldValue("Stamp").ToDate(), stamp, 1e-9);
  back.GoNext();
  // Zero, false and midnight are values for these types; the others read as Null.
  for (const char* zero : {"Small", "Flag", "Money", "At", "Word"}) {
    EXPECT_FALSE(back.FieldValue(zero).IsNull()) << zero;
  }
  for (const char* null : {"Big", "Day", "Stamp", "Odd"}) EXPECT_TRUE(back.FieldValue(null).IsNull()) << null;
}

TEST(Dataset, FloatFieldsShowAtMostSixDecimals) {
  platform::ScopedFormatSettings english(platform::EnglishUsFormatSettings());
  TNtdTable table;
  AddConverterFieldDefs(table.FieldDefs());
  table.SetActive(true);
  table.AppendRow();
  table.FieldNamed("Kcal").SetVariantValue(Variant(2.5));
  table.FieldNamed("Fett").SetVariantValue(Variant(1.0 / 3.0));
  EXPECT_EQ(table.FieldNamed("Kcal").DisplayTextValue(), "2.5");
  EXPECT_EQ(table.FieldNamed("Fett").DisplayTextValue(), "0.333333");
}

TEST(Dataset, OpeningFailuresNameTheirCause) {
  TempFolder folder;
  TNtdTable table("T");
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }),
            "T: Error creating table (no field descriptions)");
  table.SetTableName(folder.File("missing.ntd"));
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }),
            "T: Error opening file " + folder.File("missing.ntd"));
  EXPECT_FALSE(table.Active());

  platform::WriteFileAtomically(folder.File("bad.ntd"), std::string("\0\0\0\0X", 5));
  table.SetTableName(folder.File("bad.ntd"));
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }), "T: Error opening table: Buffer structure corruption!");
  EXPECT_EQ(table.Store(), nullptr);

  table.SetLoadMode(TNtdLoadMode::lmStream);
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }), "T: Loading stream is not assigned");
  TNtdTable source;
  table.SetCloneDS(&source);
  EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }), "T: Cloned table is not active!");
}

TEST(Dataset, AFailedOpenLeavesNoStoreBehind) {
  TempFolder folder;
  TNtdTable table("T");
  AddConverterFieldDefs(table.FieldDefs());
  table.SetActive(true);
  AppendRowWith(table, "Nm1", "ungespeichert");
  table.SetActive(false);
  ASSERT_NE(table.Store(), nullptr) << "a closed table keeps its rows";

  table.SetTableName(folder.File("missing.ntd"));
  EXPECT_THROW(table.SetActive(true), recordset::EDatabaseError);
  EXPECT_EQ(table.Store(), nullptr);
  table.WriteTableFile(folder.File("copy.ntd"));
  EXPECT_FALSE(platform::FileExists(folder.File("copy.ntd"))) << "the old rows must not reach the new name";
}

TEST(Dataset, TextsLongerThanTheirFieldAreReadUpToItsSize) {
  // Other writers may store more characters than a field declares.
  TempFolder folder;
  TNtdCursor cursor;
  cursor.DefineFields({MakeNtdField("Name", TNtdStorageType::String, 40)});
  testing::AddRecord(cursor, [&](RecordBuffer& row) { row.LargeValue(cursor.Fields()[0]) = std::string(100, 'x') + "\xE4"; });
  std::vector<std::uint8_t> image;
  cursor.WriteImage(image);
  platform::WriteFileAtomically(folder.File("long.ntd"), std::string(image.begin(), image.end()));

  TNtdTable table;
  table.SetTableName(folder.File("long.ntd"));
  table.SetActive(true);
  EXPECT_EQ(table.FieldValue("Name").ToText(), std::string(40, 'x'));
}

TEST(Dataset, FailuresInsideNotificationsGoToTheApplicationsErrorDisplay) {
  struct Recording : platform::ErrorDisplay {
    void ShowError(const std::exception& error) noexcept override { shown.push_back(error.what()); }
    std::vector<std::string> shown;
  } display;
  platform::ScopedErrorDisplay scope(display);
  TNtdTable table("T");
  table.ReportFailure(std::runtime_error("T: Table is not in edit or insert mode"));
  table.ReportFailure(platform::EAbort());
  EXPECT_EQ(display.shown, std::vector<std::string>{"T: Table is not in edit or insert mode"});
}

TEST(Dataset, CallersLoadImagesFromStreamsAndStoreTables) {
  TempFolder folder;
  const std::string path = folder.File("food.ntd");
  WriteEmptyConverterTable(path);
  TNtdTable table;
  OpenFile(table, path);
  AppendRowWith(table, "Nm1", "Hafer");
  table.StoreTable();
  const std::string image = platform::ReadWholeFile(path);

  TNtdTable loaded;
  AddConverterFieldDefs(loaded.FieldDefs());
  loaded.SetActive(true);
  std::istringstream atStart(image);
  atStart.seekg(5);
  loaded.LoadTableImage(atStart, false);  // rewound to its start
  EXPECT_EQ(loaded.Store()->RecordCount(), 1u);
  std::istringstream afterPrefix("prefix" + image);
  afterPrefix.seekg(6);
  loaded.LoadTableImage(afterPrefix, true);  // read from where it stands
  EXPECT_EQ(loaded.Store()->RecordCount(), 1u);
  std::istringstream wrongStart("prefix" + image);
  EXPECT_THROW(loaded.LoadTableImage(wrongStart, false), recordset::EDatabaseError);
}

TEST(Dataset, PartialOpeningShowsTheReasonAndKeepsWhatWasRead) {
  TempFolder folder;
  const std::string path = folder.File("food.ntd");
  WriteEmptyConverterTable(path);
  {
    TNtdTable table;
    table.SetTableName(path);
    table.SetActive(true);
    for (int i = 0; i < 2; ++i) {
      table.AppendRow();
      table.FieldNamed("X").SetTextValue("7");
      table.PostRow();
    }
    table.SaveChanges();
  }
  std::string bytes = platform::ReadWholeFile(path);
  bytes.resize(bytes.size() - 3);  // the second record loses its value bytes...
  bytes.resize(bytes.size() - 11);  // ...and its length vector
  platform::WriteFileAtomically(path, bytes);

  platform::testing::ScriptedDialogs dialogs;
  platform::ScopedDialogs scope(dialogs);
  TNtdTable table;
  table.SetTableName(path);
  table.SetPartialOpen(true);
  table.SetActive(true);
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(dialogs.MessageTexts(),
            std::vector<std::string>{"Number of records read (1) does not match declared record count (2)"});
}

TEST(Dataset, ProgressGoesToOnCallbackOnlyWhileItIsAssigned) {
  TempFolder folder;
  const std::string path = folder.File("food.ntd");
  std::vector<int> reported;
  TNtdTable table;
  AddConverterFieldDefs(table.FieldDefs());
  table.SetOnCallback([&](TNtdDataset&, int percent) { reported.push_back(percent); });
  table.SetActive(true);
  for (int i = 0; i < 4; ++i) {
    table.AppendRow();
    table.FieldNamed("X").SetTextValue(std::to_string(i + 1));
    table.PostRow();
  }
  table.WriteTableFile(path);
  EXPECT_EQ(reported, (std::vector<int>{25, 50, 75, 100}));

  reported.clear();
  table.SetOnCallback(nullptr);
  EXPECT_NO_THROW(table.WriteTableFile(path));
  EXPECT_TRUE(reported.empty());
}

TEST(Dataset, StreamsClonesAndClosedTablesShareTheSameRows) {
  TempFolder folder;
  TNtdTable source("Source");
  AddConverterFieldDefs(source.FieldDefs());
  source.SetActive(true);
  source.AppendRow();
  source.FieldNamed("Nm1").SetTextValue("Hafer");
  source.PostRow();

  TNtdTable clone("Clone");
  clone.SetCloneDS(&source);
  clone.SetActive(true);
  EXPECT_EQ(clone.FieldValue("Nm1").ToText(), "Hafer");
  clone.AppendRow();
  clone.FieldNamed("Nm1").SetTextValue("Gerste");
  clone.PostRow();
  EXPECT_EQ(ErrorOf([&] { source.SetActive(false); }),
            "Source: Cloned tables are not closed before source dataset is closed!");
  EXPECT_TRUE(source.Active());
  recordset::TDataSet& asRecordSet = source;  // callers that know only the record-set
  EXPECT_EQ(ErrorOf([&] { asRecordSet.SetActive(false); }),
            "Source: Cloned tables are not closed before source dataset is closed!");
  EXPECT_TRUE(source.Active());
  EXPECT_TRUE(clone.Active());
  clone.SetActive(false);
  source.SetActive(false);

  // A closed table still writes the rows its store holds.
  source.WriteTableFile(folder.File("both.ntd"));
  std::istringstream stream("prefix" + platform::ReadWholeFile(folder.File("both.ntd")));
  stream.seekg(6);
  TNtdTable fromStream;
  fromStream.SetLoadMode(TNtdLoadMode::lmStream);
  fromStream.SetLoadingStream(&stream);
  fromStream.SetActive(true);
  ASSERT_EQ(fromStream.RowCount(), 2);
  fromStream.GoLast();
  EXPECT_EQ(fromStream.FieldValue("Nm1").ToText(), "Gerste");
}

TEST(Dataset, LargeValuesTravelThroughStreams) {
  TempFolder folder;
  TNtdTable table;
  table.FieldDefs().AddFieldDef("Text", recordset::ftMemo);
  table.FieldDefs().AddFieldDef("Bild", recordset::ftBlob);
  table.SetActive(true);
  table.AppendRow();
  auto& memo = dynamic_cast<recordset::TBlobField&>(table.FieldNamed("Text"));
  auto& blob = dynamic_cast<recordset::TBlobField&>(table.FieldNamed("Bild"));
  EXPECT_TRUE(memo.IsNullValue());
  memo.SetValue("Zubereitung: dünsten");
  blob.SetValue(std::string("\x00\xFF\x10", 3));
  EXPECT_TRUE(table.RowModified());
  table.PostRow();
  table.WriteTableFile(folder.File("blob.ntd"));

  TNtdTable back;
  back.SetTableName(folder.File("blob.ntd"));
  back.SetActive(true);
  EXPECT_EQ(dynamic_cast<recordset::TBlobField&>(back.FieldNamed("Text")).Value(), "Zubereitung: dünsten");
  EXPECT_EQ(dynamic_cast<recordset::TBlobField&>(back.FieldNamed("Bild")).Value(), std::string("\x00\xFF\x10", 3));
  EXPECT_EQ(ErrorOf([&] { dynamic_cast<recordset::TBlobField&>(back.FieldNamed("Bild")).SetValue("x"); }),
            "Table is not in edit or insert mode");
  back.EditRow();
  dynamic_cast<recordset::TBlobField&>(back.FieldNamed("Text")).SetValue("");
  back.PostRow();
  EXPECT_TRUE(back.FieldNamed("Text").IsNullValue()) << "a cleared memo keeps no old text";
}

TEST(Dataset, SavingKeepsABackupAndSortsWhenAsked) {
  TempFolder folder;
  const std::string path = folder.File("food.ntd");
  WriteEmptyConverterTable(path);
  TNtdTable table;
  table.SetTableName(path);
  table.SetSaveOptions(savAutoBackup | savSortOnIndex);
  table.SetIndexFieldNames("Nm1");
  table.SetActive(true);
  for (const char* name : {"Zwiebel", "Apfel"}) {
    table.AppendRow();
    table.FieldNamed("Nm1").SetTextValue(name);
    table.PostRow();
  }
  table.SaveChanges();
  EXPECT_EQ(platform::ReadWholeFile(folder.File("food.~d")).size(), 138u);
  table.SetActive(false);
  table.SetActive(true);
  EXPECT_EQ(table.FieldValue("Nm1").ToText(), "Apfel");
}

}  // namespace
}  // namespace tablefile
