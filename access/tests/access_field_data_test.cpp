// Field values of TAccessTable beyond plain texts and numbers: memo and
// OLE values through streams (read with the row or fetched when a stream
// opens), GUID fields, dates to the millisecond, booleans, the OEM
// translation option, an Encrypter, and Jet 3 texts.

#include <gtest/gtest.h>

#include <algorithm>

#include "access/access_table.h"
#include "access/dao_call_log.h"
#include "access/dao_helpers.h"
#include "access/tests/access_test_support.h"
#include "dao/constants.h"
#include "dao/jet/tests/external_readers.h"
#include "platform/errors.h"
#include "recordset/blob_fields.h"
#include "recordset/date_time_fields.h"

namespace accessdb {
namespace {

using namespace recordset;
using platform::Variant;
using testing::ErrorOf;

class FieldDataTest : public testing::AccessTest {
 protected:
  // A new database of `format` with table "Werte": Name text, Notiz memo,
  // Bild OLE, Wann date, Ja yes/no, Code GUID, ID AutoNumber.
  std::unique_ptr<TAccessDatabase> ValuesDatabase(const char* version = "3.6") {
    const std::string fileName = std::string("werte") + version + ".mdb";
    path_ = Path(fileName);
    auto database = NewDatabase(fileName, version);
    database->CreateTable("Werte", {"ID", "Name", "Notiz", "Bild", "Wann", "Ja", "Code"},
                          {AutoIncrementType, dao::dbText, dao::dbMemo, dao::dbLongBinary, dao::dbDate,
                           dao::dbBoolean, dao::dbGUID},
                          {0, 50, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0});
    return database;
  }

  std::string path_;
};

// The value DAO holds for field `name` of the first row of `table`.
Variant StoredValue(TAccessDatabase& database, const std::string& table, const std::string& name) {
  auto rows = database.DatabaseObject()->OpenRecordset(table, dao::dbOpenSnapshot);
  return rows->Fields().Item(name)->Value();
}

TEST_F(FieldDataTest, MemosAreFetchedWhenAStreamOpensUnlessTheyAreCached) {
  auto database = ValuesDatabase();
  const std::string memo = "Erste Zeile\r\nZweite Zeile mit Umlauten: äöü";
  {
    auto table = OpenTable(*database, "Werte");
    table->AppendRow();
    table->FieldNamed("Name").SetTextValue("eins");
    table->FieldNamed("Notiz").SetTextValue(memo);
    table->PostRow();
  }
  EXPECT_EQ(StoredValue(*database, "Werte", "Notiz"), Variant(memo));
  for (const bool cached : {false, true}) {
    SCOPED_TRACE(cached ? "cached" : "fetched");
    TAccessTable table;
    table.SetDatabase(database.get());
    table.SetTableName("Werte");
    table.SetCacheMemos(cached);
    RecordedDaoCalls log;
    {
      const ScopedDaoCallLog scope(log);
      table.SetActive(true);
    }
    // The row is read with the memo's size only, or with its value.
    // (The OLE field is read by its size either way.)
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "Field.FieldSize"), cached ? 1 : 2);
    TField& notiz = table.FieldNamed("Notiz");
    EXPECT_EQ(notiz.TextValue(), memo);
    EXPECT_EQ(notiz.DisplayTextValue(), cached ? "Erste Zeile" : memo);
    EXPECT_GE(notiz.DisplayWidth(), cached ? 30 : 0);
    EXPECT_EQ(notiz.VariantValue(), Variant(memo));
    EXPECT_EQ(table.FieldNamed("Name").TextValue(), "eins");
  }
}

TEST_F(FieldDataTest, StreamsReplaceTheValueFromTheirPosition) {
  auto database = ValuesDatabase();
  auto table = OpenTable(*database, "Werte");
  table->AppendRow();
  table->FieldNamed("Notiz").SetTextValue("0123456789");
  table->PostRow();
  table->EditRow();
  {
    auto stream = table->OpenLargeValueStream(table->FieldNamed("Notiz"), TLargeValueMode::ReadWrite);
    EXPECT_EQ(stream->Size(), 10);
    stream->Seek(0, TSeekOrigin::Begin);
    stream->WriteAll("abcde");
  }
  EXPECT_EQ(table->FieldNamed("Notiz").TextValue(), "abcde");
  {
    auto stream = table->OpenLargeValueStream(table->FieldNamed("Notiz"), TLargeValueMode::ReadWrite);
    stream->Seek(2, TSeekOrigin::Begin);
    stream->WriteAll("Z");
    std::array<std::byte, 4> chunk{};
    stream->Seek(-1, TSeekOrigin::End);
    EXPECT_EQ(stream->Read(chunk), 1);
    EXPECT_EQ(stream->Read(chunk), 0);
  }
  EXPECT_EQ(table->FieldNamed("Notiz").TextValue(), "abZ");
  EXPECT_TRUE(table->RowModified());
  table->PostRow();
  EXPECT_EQ(StoredValue(*database, "Werte", "Notiz"), Variant("abZ"));
  // Outside a change a stream may not write.
  EXPECT_EQ(ErrorOf([&] { table->OpenLargeValueStream(table->FieldNamed("Notiz"), TLargeValueMode::Write); }),
            "AccessTable1: Datenmenge weder im Editier- noch im Einfügemodus");
}

TEST_F(FieldDataTest, AReadOnlyTableRefusesAWritingStream) {
  auto database = ValuesDatabase();
  TAccessTable table("Nur");
  table.SetDatabase(database.get());
  table.SetTableName("Werte");
  table.SetTableType(kTableTypeSnapshot);
  table.SetActive(true);
  EXPECT_EQ(ErrorOf([&] { table.OpenLargeValueStream(table.FieldNamed("Notiz"), TLargeValueMode::Write); }),
            "Nur: Cannot write to ReadOnly table!");
}

TEST_F(FieldDataTest, OleValuesKeepEveryByte) {
  auto database = ValuesDatabase();
  const std::string bytes("\x00\x01\xFF\x7F\x00zwei", 9);
  for (const bool cached : {false, true}) {
    TAccessTable table;
    table.SetDatabase(database.get());
    table.SetTableName("Werte");
    table.SetCacheBlobs(cached);
    table.SetActive(true);
    table.AppendRow();
    static_cast<TBlobField&>(table.FieldNamed("Bild")).SetValue(bytes);
    table.PostRow();
    EXPECT_EQ(static_cast<TBlobField&>(table.FieldNamed("Bild")).Value(), bytes);
    table.GoFirst();
    EXPECT_EQ(static_cast<TBlobField&>(table.FieldNamed("Bild")).Value(), bytes);
  }
  EXPECT_EQ(StoredValue(*database, "Werte", "Bild").ToBytes(), platform::Bytes(bytes.begin(), bytes.end()));
}

TEST_F(FieldDataTest, DatesTravelToTheMillisecondAndBooleansAsTrueOrFalse) {
  auto database = ValuesDatabase();
  auto table = OpenTable(*database, "Werte");
  const platform::TDateTime when = platform::CombineDateTime(platform::EncodeDate(2000, 1, 1),
                                                             platform::EncodeTime(12, 0, 0, 123));
  table->AppendRow();
  static_cast<TDateTimeField&>(table->FieldNamed("Wann")).SetValue(when);
  table->FieldNamed("Ja").SetTextValue("True");
  EXPECT_EQ(table->FieldNamed("ID").TextValue(), "");
  table->FieldNamed("ID").SetTextValue("99");  // an AutoNumber is not written by callers
  table->PostRow();
  EXPECT_EQ(table->FieldNamed("ID").TextValue(), "1");
  EXPECT_EQ(table->FieldNamed("Wann").DataType(), ftDateTime);
  EXPECT_EQ(static_cast<TDateTimeField&>(table->FieldNamed("Wann")).Value(), when);
  EXPECT_EQ(table->FieldNamed("Ja").VariantValue(), Variant(true));
  EXPECT_EQ(StoredValue(*database, "Werte", "Wann").ToDate(), when);
  EXPECT_EQ(StoredValue(*database, "Werte", "Ja"), Variant(true));
}

TEST_F(FieldDataTest, GuidFieldsAreBytesShownAsTheirTextWhenAskedTo) {
  auto database = ValuesDatabase();
  const std::string text = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
  const platform::Guid guid = platform::ParseGuid(text);
  {
    TAccessTable table;
    table.SetDatabase(database.get());
    table.SetTableName("Werte");
    table.SetShowGUID(true);
    table.SetActive(true);
    EXPECT_EQ(table.FieldNamed("Code").DataType(), ftBytes);
    EXPECT_EQ(table.FieldDefs().Find("Code")->Precision(), kGuidFieldMarker);
    table.AppendRow();
    table.FieldNamed("Code").SetTextValue(text);
    table.FieldNamed("Name").SetTextValue("x");
    EXPECT_EQ(table.FieldNamed("Code").DisplayTextValue(), text);
    table.PostRow();
    EXPECT_EQ(table.FieldNamed("Code").DisplayTextValue(), text);
    EXPECT_GE(table.FieldNamed("Code").DisplayWidth(), 38);
    table.EditRow();
    table.FieldNamed("Code").SetTextValue("kurz");  // only 38 characters are taken
    EXPECT_EQ(table.FieldNamed("Code").TextValue(), text);
    EXPECT_THROW(table.FieldNamed("Code").SetTextValue("{ZZZZZZZZ-4E5F-6071-8293-A4B5C6D7E8F9}"),
                 platform::ConversionError);
    table.CancelRow();
  }
  EXPECT_EQ(StoredValue(*database, "Werte", "Code").ToGuid(), guid);
  auto plain = OpenTable(*database, "Werte");
  EXPECT_EQ(plain->FieldNamed("Code").VariantValue().ToBytes(), platform::Bytes(guid.bytes.begin(), guid.bytes.end()));
}

TEST_F(FieldDataTest, TranslationStoresTextsInTheOemCodePage) {
  auto database = ValuesDatabase();
  auto table = OpenTable(*database, "Werte");
  table->SetTranslation(true);
  table->AppendRow();
  table->FieldNamed("Name").SetTextValue("Käse");
  table->PostRow();
  // ä is 0x84 in code page 850, which is „ in 1252; reading converts nothing.
  EXPECT_EQ(StoredValue(*database, "Werte", "Name"), Variant("K„se"));
  EXPECT_EQ(table->FieldNamed("Name").TextValue(), "K„se");
}

class ReversingEncrypter : public TAccessEncrypter {
 public:
  std::string EncodedString(std::string_view decoded) override { return {decoded.rbegin(), decoded.rend()}; }
  std::string DecodedString(std::string_view encoded) override { return {encoded.rbegin(), encoded.rend()}; }
};

TEST_F(FieldDataTest, AnEncrypterEncodesWhatIsStoredAndDecodesWhatIsRead) {
  auto database = ValuesDatabase();
  ReversingEncrypter encrypter;
  auto table = OpenTable(*database, "Werte");
  table->SetEncrypter(&encrypter);
  EXPECT_TRUE(table->Active());
  table->AppendRow();
  table->FieldNamed("Name").SetTextValue("Apfel");
  table->FieldNamed("Notiz").SetTextValue("geheim");
  table->FieldNamed("Ja").SetTextValue("False");
  table->PostRow();
  EXPECT_EQ(StoredValue(*database, "Werte", "Name"), Variant("lefpA"));
  EXPECT_EQ(StoredValue(*database, "Werte", "Notiz"), Variant("mieheg"));
  table->GoFirst();
  EXPECT_EQ(table->FieldNamed("Name").TextValue(), "Apfel");
  EXPECT_EQ(table->FieldNamed("Notiz").TextValue(), "geheim");
  table->EncrypterGone();
  EXPECT_FALSE(table->Active());
  EXPECT_EQ(table->Encrypter(), nullptr);
}

TEST_F(FieldDataTest, Jet3TextsAreStoredInTheCodePageAndReadBack) {
  auto database = ValuesDatabase("3.5");
  EXPECT_EQ(database->DatabaseVersionInfo(), "3.0");
  auto table = OpenTable(*database, "Werte");
  table->AppendRow();
  table->FieldNamed("Name").SetTextValue("Weißbrot, Käse");
  table->FieldNamed("Notiz").SetTextValue("Öl");
  table->PostRow();
  table->SetActive(false);
  database->SetConnected(false);
  auto reopened = Connect(path_);
  auto check = OpenTable(*reopened, "Werte");
  EXPECT_EQ(check->FieldNamed("Name").TextValue(), "Weißbrot, Käse");
  EXPECT_EQ(check->FieldNamed("Notiz").TextValue(), "Öl");
  reopened->SetConnected(false);
  if (!dao::jet::testing::HaveMdbTools()) GTEST_SKIP() << "mdbtools are not installed";
  const auto csv = dao::jet::testing::MdbExport(path_, "Werte");
  ASSERT_TRUE(csv);
  EXPECT_NE(csv->find("\"Weißbrot, Käse\",\"Öl\""), std::string::npos) << *csv;
}

}  // namespace
}  // namespace accessdb
