// New Jet 4 and Jet 3 databases with a table of every field type, filled
// through DAO with ordinary, extreme and Null values (some given as German
// texts, as the Access layer sends them), read back identically by our
// reader, mdb-export and mdb-reader.

#include <gtest/gtest.h>

#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/jet/tests/write_test_support.h"
#include "dao/tests/write_support.h"
#include "platform/format_settings.h"

namespace dao {
namespace {

using platform::Variant;
using ByteVector = std::vector<std::uint8_t>;

const std::vector<std::tuple<const char*, int, int>> kFields = {
    {"Txt", dbText, 255},    {"Memo", dbMemo, 0},     {"Flag", dbBoolean, 0}, {"Small", dbByte, 0},
    {"Int", dbInteger, 0},   {"Auto", dbLong, 0},     {"Money", dbCurrency, 0}, {"Single", dbSingle, 0},
    {"Dbl", dbDouble, 0},    {"When", dbDate, 0},     {"Bin", dbBinary, 50},  {"Ole", dbLongBinary, 0},
    {"Id", dbGUID, 0}};

using jet::testing::LowerHex;
using jet::testing::Pattern;

struct Sample {
  std::vector<Variant> given;     // per field, Empty = not assigned
  std::vector<Variant> expected;  // as our reader reads it back
  std::string readerJson;         // the row as mdb-reader prints it
};

std::vector<Sample> Samples() {
  platform::Guid guid;
  for (std::size_t i = 0; i < guid.bytes.size(); ++i) guid.bytes[i] = static_cast<std::uint8_t>(0x11 * i);
  const std::string guidText = "{33221100-5544-7766-8899-AABBCCDDEEFF}";
  const std::string longText(255, 'x');
  const std::string memo64k(65536, 'm');
  const ByteVector ole1m = Pattern(1 << 20, 7);
  const Variant none;
  return {
      // Ordinary values, most of them as German texts.
      {{Variant("Äpfel, \"roh\""), Variant("Eine\nNotiz"), Variant(true), Variant("200"), Variant("-1.234"), none,
        Variant("12,3456"), Variant("0,5"), Variant(3.25), Variant("15.03.2023 12:00"), Variant(ByteVector{1, 2, 3}),
        Variant(Pattern(100, 1)), Variant(guidText)},
       {Variant("Äpfel, \"roh\""), Variant("Eine\nNotiz"), Variant(true), Variant(std::uint8_t{200}),
        Variant(std::int16_t{-1234}), Variant(std::int32_t{1}), Variant(platform::Currency{123456}), Variant(0.5f),
        Variant(3.25), Variant::FromDate(45000.5), Variant(ByteVector{1, 2, 3}), Variant(Pattern(100, 1)),
        Variant(guid)},
       "[\"Äpfel, \\\"roh\\\"\",\"Eine\\nNotiz\",true,200,-1234,1,\"12.3456\",0.5,3.25,\"2023-03-15 12:00:00.000\","
       "\"010203\",\"" + LowerHex(Pattern(100, 1)) + "\",\"33221100-5544-7766-8899-aabbccddeeff\"]"},
      // The largest, smallest and longest values; dates long before 1899
      // and long after 2100.
      {{Variant(longText), Variant(memo64k), Variant(false), Variant(std::uint8_t{255}), Variant(std::int16_t{-32768}),
        none, Variant(platform::Currency{-9223372036854775807LL}), Variant(-0.125f), Variant(-1e300),
        Variant::FromDate(-18109), Variant(Pattern(50, 3)), Variant(ole1m), Variant(guid)},
       {Variant(longText), Variant(memo64k), Variant(false), Variant(std::uint8_t{255}), Variant(std::int16_t{-32768}),
        Variant(std::int32_t{2}), Variant(platform::Currency{-9223372036854775807LL}), Variant(-0.125f),
        Variant(-1e300), Variant::FromDate(-18109), Variant(Pattern(50, 3)), Variant(ole1m), Variant(guid)},
       "[\"" + longText + "\",\"" + memo64k + "\",false,255,-32768,2,\"-922337203685477.5807\",-0.125,-1e+300,"
       "\"1850-06-01 00:00:00.000\",\"" + LowerHex(Pattern(50, 3)) + "\",\"" + LowerHex(ole1m) +
       "\",\"33221100-5544-7766-8899-aabbccddeeff\"]"},
      // Empty texts and values, and the other ends of the ranges.
      {{Variant(""), Variant(""), Variant(1), Variant(0), Variant(32767), none, Variant(0), Variant(1e30f),
        Variant(0.1), Variant::FromDate(91313.5208333333), Variant(ByteVector{}), Variant(ByteVector{}), none},
       {Variant(""), Variant(""), Variant(true), Variant(std::uint8_t{0}), Variant(std::int16_t{32767}),
        Variant(std::int32_t{3}), Variant(platform::Currency{0}), Variant(1e30f), Variant(0.1),
        Variant::FromDate(91313.5208333333), Variant(ByteVector{}), Variant(ByteVector{}), Variant::Null()},
       "[\"\",\"\",true,0,32767,3,\"0.0000\",1.0000000150474662e+30,0.1,\"2150-01-01 12:30:00.000\",\"\",\"\",null]"},
      // Nothing assigned: Null everywhere but in the Yes/No and AutoNumber.
      {std::vector<Variant>(kFields.size()),
       {Variant::Null(), Variant::Null(), Variant(false), Variant::Null(), Variant::Null(), Variant(std::int32_t{4}),
        Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(),
        Variant::Null()},
       "[null,null,false,null,null,4,null,null,null,null,null,null,null]"},
  };
}

class WriteReadersTest : public testing::WritingTest, public ::testing::WithParamInterface<int> {};

TEST_P(WriteReadersTest, EveryTypeReadsBackInThreeReaders) {
  const std::string file = Path("types.mdb");
  {
    auto database = workspace_->CreateDatabase(file, dbLangGeneral, GetParam());
    auto table = database->CreateTableDef("Types");
    for (const auto& [name, type, size] : kFields) {
      auto field = testing::AppendField(*table, name, type, size);
      if (type == dbText || type == dbMemo) field->SetAllowZeroLength(true);
    }
    table->Fields().Item("Auto")->SetAttributes(dbAutoIncrField);
    database->TableDefs().Append(table);
    const platform::ScopedFormatSettings german(platform::GermanFormatSettings());
    auto rows = database->OpenRecordset("Types");
    for (const Sample& sample : Samples()) {
      rows->AddNew();
      for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (!sample.given[i].IsEmpty()) rows->Fields().Item(static_cast<int>(i))->SetValue(sample.given[i]);
      }
      rows->Update();
    }
    database->Close();
  }
  auto reopened = workspace_->OpenDatabase(file, false, true);
  const auto rows = testing::ReadTable(*reopened, "Types");
  const std::vector<Sample> samples = Samples();
  ASSERT_EQ(rows.size(), samples.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < kFields.size(); ++c) {
      EXPECT_EQ(rows[r][c], samples[r].expected[c]) << "row " << r << " field " << std::get<0>(kFields[c]);
    }
  }
  // The sizes of the long values are known without reading them.
  auto recordset = reopened->OpenRecordset("Types", dbOpenSnapshot);
  recordset->MoveNext();
  EXPECT_EQ(recordset->Fields().Item("Ole")->FieldSize(), 1 << 20);

  jet::testing::ExpectFileKeepsTheChecklist(file);

  if (!jet::testing::HaveMdbTools() || !jet::testing::HaveMdbReader()) GTEST_SKIP() << "mdbtools or mdb-reader missing";
  const auto json = jet::testing::MdbReaderJson(file, "Types");
  ASSERT_TRUE(json);
  for (const Sample& sample : samples) {
    EXPECT_NE(json->find(sample.readerJson), std::string::npos) << sample.readerJson.substr(0, 300);
  }
  // mdb-export prints binary columns of fixed size, empty texts and dates
  // outside 1900-9999 in its own ways; the rest must match.
  const auto csv = jet::testing::MdbExport(file, "Types");
  ASSERT_TRUE(csv);
  EXPECT_NE(csv->find("\"Äpfel, \"\"roh\"\"\",\"Eine\nNotiz\",1,200,-1234,1,12.3456,0.5,3.25,\"2023-03-15 12:00:00\""),
            std::string::npos)
      << csv->substr(0, 400);
  EXPECT_NE(csv->find("\"" + std::string(255, 'x') + "\",\"" + std::string(65536, 'm') +
                      "\",0,255,-32768,2,-922337203685477.5807,-0.125,-1e+300,"),
            std::string::npos);
  EXPECT_NE(csv->find(",1,0,32767,3,0.0000,1e+30,0.1,\"2150-01-01 12:30:00\","), std::string::npos);
  EXPECT_NE(csv->find("\nNULL,NULL,0,NULL,NULL,4,NULL,NULL,NULL,NULL,NULL,NULL,NULL\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Versions, WriteReadersTest, ::testing::Values(dbVersion40, dbVersion30),
                         [](const auto& info) { return info.param == dbVersion40 ? "Jet4" : "Jet3"; });

}  // namespace
}  // namespace dao
