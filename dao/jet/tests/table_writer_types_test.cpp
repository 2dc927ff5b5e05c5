// Rows of every field type, with ordinary, extreme and Null values, written
// to new Jet 4 and Jet 3 databases and read back identically by our reader,
// mdb-export and mdb-reader; and the checks that refuse a row before
// anything is written.
#include <gtest/gtest.h>


#include "dao/jet/jet_error.h"
#include "dao/jet/table_creator.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/write_test_support.h"
#include "platform/testing/temp_folder.h"

namespace dao::jet {
namespace {

using platform::Variant;
using ByteVector = std::vector<std::uint8_t>;

const std::vector<NewColumn> kEveryType = {
    {"Txt", ColumnType::kText, 255, false, true}, {"Memo", ColumnType::kMemo, 0, false, true},
    {"Flag", ColumnType::kBoolean},               {"Small", ColumnType::kByte},
    {"Int", ColumnType::kInteger},                {"Auto", ColumnType::kLong, 0, true},
    {"Money", ColumnType::kCurrency},             {"Single", ColumnType::kSingle},
    {"Dbl", ColumnType::kDouble},                 {"When", ColumnType::kDateTime},
    {"Bin", ColumnType::kBinary, 50},             {"Ole", ColumnType::kOle},
    {"Id", ColumnType::kGuid}};

using testing::LowerHex;
using testing::Pattern;

struct Sample {
  std::vector<FieldValue> values;
  std::vector<Variant> expected;
};

std::vector<Sample> Samples() {
  const ByteVector guid = {0x44, 0x33, 0x22, 0x11, 0x66, 0x55, 0x88, 0x77, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0};
  platform::Guid g;
  std::copy(guid.begin(), guid.end(), g.bytes.begin());
  const std::string longText(255, 'x');
  const std::string memo64k(65536, 'm');
  const ByteVector ole1m = Pattern(1 << 20, 7);
  std::vector<Sample> samples;
  samples.push_back({{FieldValue::Text("Äpfel, roh"), FieldValue::Text("Eine Notiz"), FieldValue::Integer(1),
                      FieldValue::Integer(200), FieldValue::Integer(-1234), FieldValue::Null(),
                      FieldValue::Integer(123456), FieldValue::Real(0.5), FieldValue::Real(3.25),
                      FieldValue::Real(45000.5), FieldValue::Binary({1, 2, 3}), FieldValue::Binary(Pattern(100, 1)),
                      FieldValue::Binary(guid)},
                     {Variant("Äpfel, roh"), Variant("Eine Notiz"), Variant(true), Variant(std::uint8_t{200}),
                      Variant(std::int16_t{-1234}), Variant(std::int32_t{1}), Variant(platform::Currency{123456}),
                      Variant(0.5f), Variant(3.25), Variant::FromDate(45000.5), Variant(ByteVector{1, 2, 3}),
                      Variant(Pattern(100, 1)), Variant(g)}});
  samples.push_back({{FieldValue::Text(longText), FieldValue::Text(memo64k), FieldValue::Integer(0),
                      FieldValue::Integer(255), FieldValue::Integer(-32768), FieldValue::Null(),
                      FieldValue::Integer(-999999999), FieldValue::Real(-0.125), FieldValue::Real(-1e300),
                      FieldValue::Real(-700000.25), FieldValue::Binary(Pattern(50, 3)), FieldValue::Binary(ole1m),
                      FieldValue::Binary(guid)},
                     {Variant(longText), Variant(memo64k), Variant(false), Variant(std::uint8_t{255}),
                      Variant(std::int16_t{-32768}), Variant(std::int32_t{2}), Variant(platform::Currency{-999999999}),
                      Variant(-0.125f), Variant(-1e300), Variant::FromDate(-700000.25), Variant(Pattern(50, 3)),
                      Variant(ole1m), Variant(g)}});
  samples.push_back({{FieldValue::Text(""), FieldValue::Text(""), FieldValue::Integer(1), FieldValue::Integer(0),
                      FieldValue::Integer(32767), FieldValue::Null(), FieldValue::Integer(0), FieldValue::Real(1e30),
                      FieldValue::Real(0.1), FieldValue::Real(80000.75), FieldValue::Binary({}),
                      FieldValue::Binary({}), FieldValue::Binary(guid)},
                     {Variant(""), Variant(""), Variant(true), Variant(std::uint8_t{0}), Variant(std::int16_t{32767}),
                      Variant(std::int32_t{3}), Variant(platform::Currency{0}), Variant(1e30f), Variant(0.1),
                      Variant::FromDate(80000.75), Variant(ByteVector{}), Variant(ByteVector{}), Variant(g)}});
  Sample nulls;
  nulls.values.resize(kEveryType.size());
  nulls.values[2] = FieldValue::Integer(0);
  for (std::size_t i = 0; i < kEveryType.size(); ++i) nulls.expected.push_back(Variant::Null());
  nulls.expected[2] = Variant(false);
  nulls.expected[5] = Variant(std::int32_t{4});
  samples.push_back(nulls);
  return samples;
}

class TableWriterTypesTest : public ::testing::TestWithParam<const Layout*> {};

TEST_P(TableWriterTypesTest, EveryTypeReadsBackInThreeReaders) {
  const Layout& layout = *GetParam();
  testing::MemoryDatabase database(layout);
  const std::uint32_t tdef = CreateTable(database.Writer(), database.Codec(), "Types", kEveryType, {}, 45000);
  TableWriter table(database.Writer(), database.Codec(), database.Table(tdef));
  std::vector<Sample> samples = Samples();
  for (Sample& sample : samples) table.Insert(sample.values);

  testing::MemoryDatabase reopened(layout, database.Image());
  const auto rows = testing::ReadRows(reopened.File(), layout, reopened.Codec(), reopened.Table(tdef));
  ASSERT_EQ(rows.size(), samples.size());
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < kEveryType.size(); ++c)
      EXPECT_EQ(rows[r].second[c], samples[r].expected[c]) << "row " << r << " column " << kEveryType[c].name;

  if (!testing::HaveMdbTools() || !testing::HaveMdbReader()) GTEST_SKIP() << "mdbtools or mdb-reader missing";
  const platform::testing::TempFolder folder;
  const std::string file = folder.File("types.mdb");
  reopened.SaveAs(file);
  const auto csv = testing::MdbExport(file, "Types");
  const auto json = testing::MdbReaderJson(file, "Types");
  ASSERT_TRUE(csv && json);
  EXPECT_EQ(std::count(csv->begin(), csv->end(), '\n'), 5);
  EXPECT_NE(csv->find("\"Äpfel, roh\",\"Eine Notiz\",1,200,-1234,1,12.3456"), std::string::npos) << csv->substr(0, 400);
  EXPECT_NE(csv->find("\"" + std::string(255, 'x') + "\",\"" + std::string(65536, 'm') + "\",0,255,-32768,2"),
            std::string::npos);
  // mdb-reader gives currency as text and GUIDs without braces.
  EXPECT_NE(json->find("[\"Äpfel, roh\",\"Eine Notiz\",true,200,-1234,1,\"12.3456\",0.5,3.25,\"2023-03-15 12:00:00.000\","
                       "\"010203\",\"" + LowerHex(Pattern(100, 1)) + "\",\"11223344-5566-7788-99aa-bbccddeeff00\"]"),
            std::string::npos)
      << json->substr(json->find("\"rows\""), 500);
  EXPECT_NE(json->find("\"" + LowerHex(Pattern(1 << 20, 7)) + "\""), std::string::npos);
  EXPECT_NE(json->find("\"" + std::string(65536, 'm') + "\""), std::string::npos);
  EXPECT_NE(json->find("[null,null,false,null,null,4,null,null,null,null,null,null,null]"), std::string::npos);
}

TEST_P(TableWriterTypesTest, RefusedRowsLeaveTheFileAsItWas) {
  const Layout& layout = *GetParam();
  testing::MemoryDatabase database(layout);
  const std::uint32_t tdef =
      CreateTable(database.Writer(), database.Codec(), "Keys",
                  {{"Id", ColumnType::kLong, 0, true}, {"Name", ColumnType::kText, 5}, {"Note", ColumnType::kMemo}},
                  {{"PrimaryKey", {{0, false}}, true}, {"Name", {{1, false}}, false, true}}, 45000);
  TableWriter table(database.Writer(), database.Codec(), database.Table(tdef), {false, true, false});
  std::vector<FieldValue> first = {FieldValue::Null(), FieldValue::Text("abc"), FieldValue::Text(std::string(9000, 'n'))};
  table.Insert(first);
  const ByteVector before = database.Image();

  const auto expectRefused = [&](std::vector<FieldValue> values, int number) {
    try {
      table.Insert(values);
      ADD_FAILURE() << "accepted, expected error " << number;
    } catch (const JetError& error) {
      EXPECT_EQ(error.Number(), number) << error.what();
    }
    EXPECT_EQ(database.Image(), before) << "after error " << number;
  };
  // Duplicate in a unique text index: case does not count there.
  expectRefused({FieldValue::Null(), FieldValue::Text("ABC"), FieldValue::Null()}, kErrDuplicateKey);
  // Duplicate primary key given explicitly.
  expectRefused({FieldValue::Integer(1), FieldValue::Text("xyz"), FieldValue::Null()}, kErrDuplicateKey);
  expectRefused({FieldValue::Null(), FieldValue::Text("toolong"), FieldValue::Null()}, kErrFieldTooSmall);
  expectRefused({FieldValue::Null(), FieldValue::Null(), FieldValue::Text(std::string(20000, 'q'))},
                kErrRequiredValue);
  // The counter did not move: the next row gets 2.
  std::vector<FieldValue> second = {FieldValue::Null(), FieldValue::Text("def"), FieldValue::Null()};
  table.Insert(second);
  EXPECT_EQ(second[0].integer, 2);
  // Deleting a deleted row is refused too.
  std::vector<FieldValue> third = {FieldValue::Null(), FieldValue::Text("g"), FieldValue::Null()};
  const RowPointer at = table.Insert(third);
  table.Delete(at);
  EXPECT_THROW(table.Delete(at), JetError);
}

INSTANTIATE_TEST_SUITE_P(Versions, TableWriterTypesTest, ::testing::Values(&kJet4Layout, &kJet3Layout),
                         [](const auto& info) { return info.param->IsJet4() ? "Jet4" : "Jet3"; });

}  // namespace
}  // namespace dao::jet
