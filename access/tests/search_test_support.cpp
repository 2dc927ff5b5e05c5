#include "access/tests/search_test_support.h"

#include <random>

#include "dao/constants.h"
#include "dao/database.h"
#include "dao/recordset.h"
#include "dao/table_def.h"
#include "platform/date_time.h"
#include "platform/guids.h"
#include "platform/text_case.h"

namespace accessdb::testing {

using namespace recordset;
using platform::Variant;

namespace {

Variant Date(int year, int month, int day) { return Variant::FromDate(platform::EncodeDate(year, month, day)); }

Variant Time(int hour, int minute, int second) {
  return Variant::FromDate(platform::EncodeTime(hour, minute, second, 0));
}

Variant Stamp(int year, int month, int day, int hour, int minute) {
  return Variant::FromDate(platform::EncodeDate(year, month, day) + platform::EncodeTime(hour, minute, 0, 0));
}

Variant Guid(const char* text) { return Variant(platform::ParseGuid(text)); }

struct DaoColumn {
  int daoType;
  int size;
  const char* format;
};

const std::vector<DaoColumn>& DaoColumns() {
  static const std::vector<DaoColumn> columns{
      {dao::dbText, 40, nullptr},    {dao::dbMemo, 0, nullptr},     {dao::dbLong, 0, nullptr},
      {dao::dbInteger, 0, nullptr},  {dao::dbByte, 0, nullptr},     {dao::dbBoolean, 0, nullptr},
      {dao::dbSingle, 0, nullptr},   {dao::dbDouble, 0, nullptr},   {dao::dbCurrency, 0, nullptr},
      {dao::dbDate, 0, "Short Date"}, {dao::dbDate, 0, "Long Time"}, {dao::dbDate, 0, nullptr},
      {dao::dbGUID, 0, nullptr}};
  return columns;
}

}  // namespace

const std::vector<TypedColumn>& TypedColumns() {
  static const std::vector<TypedColumn> columns{
      {"Name", ftString, false,
       {Variant("Apfel"), Variant("Apfelsaft"), Variant("apfel"), Variant("Ap*fel"), Variant("A?fel"),
        Variant("#1 Birne"), Variant("[Kiwi]"), Variant("Sag \"Ja\""), Variant("O'Brien"), Variant("Mus-Kat"),
        Variant("NULL"), Variant("Käse"), Variant("KÄSE"), Variant("Zimt!"), Variant::Null()}},
      {"Notiz", ftMemo, false,
       {Variant("lang*"), Variant("Langer Text"), Variant("[x]"), Variant("Zeile \"1\""), Variant::Null()}},
      {"Zahl", ftInteger, false, {Variant(-5), Variant(0), Variant(7), Variant(123456), Variant::Null()}},
      {"Klein", ftSmallint, false, {Variant(std::int16_t{1}), Variant(std::int16_t{-2}), Variant::Null()}},
      {"Klein8", ftSmallint, false, {Variant(std::uint8_t{0}), Variant(std::uint8_t{255}), Variant::Null()}},
      {"Ja", ftBoolean, false, {Variant(true), Variant(false)}},
      {"Einfach", ftFloat, false, {Variant(0.5f), Variant(1.25f), Variant(-2.75f), Variant(1000.5f), Variant::Null()}},
      {"Doppelt", ftFloat, false, {Variant(0.1), Variant(2.5), Variant(1234567.125), Variant(-3.0), Variant::Null()}},
      {"Geld", ftCurrency, false, {Variant(1.25), Variant(0.0), Variant(99.99), Variant(-1234.5), Variant::Null()}},
      {"Datum", ftDate, false, {Date(2000, 1, 2), Date(2024, 12, 31), Date(1999, 7, 4), Variant::Null()}},
      {"Zeit", ftTime, false, {Time(8, 30, 0), Time(23, 59, 59), Time(12, 0, 1), Variant::Null()}},
      {"Zeitpunkt", ftDateTime, false,
       {Stamp(2000, 1, 2, 8, 30), Stamp(2024, 12, 31, 20, 15), Stamp(2000, 1, 2, 0, 0), Variant::Null()}},
      {"Kennung", ftBytes, true,
       {Guid("{0C1D2E3F-4A5B-6C7D-8E9F-A0B1C2D3E4F5}"), Guid("{11111111-2222-3333-4444-555555555555}"),
        Variant::Null()}},
  };
  return columns;
}

std::vector<std::vector<Variant>> CreateTypedTable(TAccessDatabase& database, int rows, unsigned seed) {
  dao::Database& dao = *database.DatabaseObject();
  const auto tableDef = dao.CreateTableDef("Typen");
  tableDef->Fields().Append(tableDef->CreateField("Nr", dao::dbLong));
  const std::vector<TypedColumn>& columns = TypedColumns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const DaoColumn& shape = DaoColumns()[i];
    const auto field = tableDef->CreateField(columns[i].name, shape.daoType, shape.size);
    if (shape.format != nullptr) {
      field->Properties().Append(field->CreateProperty("Format", dao::dbText, Variant(shape.format)));
    }
    tableDef->Fields().Append(field);
  }
  dao.TableDefs().Append(tableDef);
  database.RefreshDefinitions();

  std::mt19937 random(seed);
  std::vector<std::vector<Variant>> values;
  const auto recordset = dao.OpenRecordset("Typen", dao::dbOpenDynaset);
  for (int r = 0; r < rows; ++r) {
    std::vector<Variant> row{Variant(r + 1)};
    recordset->AddNew();
    recordset->Fields().Item("Nr")->SetValue(row.front());
    for (const TypedColumn& column : columns) {
      const Variant& value = column.pool[random() % column.pool.size()];
      recordset->Fields().Item(column.name)->SetValue(value);
      row.push_back(value);
    }
    recordset->Update();
    values.push_back(std::move(row));
  }
  recordset->Close();
  return values;
}

bool ModelMatches(TFieldType type, const Variant& stored, const Variant& key, bool partial) {
  if (key.IsNull() || stored.IsNull()) return key.IsNull() && stored.IsNull();
  switch (type) {
    case ftString:
    case ftMemo: {
      const std::string text = platform::AnsiLowerCase(stored.ToText());
      const std::string wanted = platform::AnsiLowerCase(key.ToText());
      return partial ? text.rfind(wanted, 0) == 0 : text == wanted;
    }
    case ftBoolean: return stored.ToBoolean() == key.ToBoolean();
    case ftDate:
    case ftTime:
    case ftDateTime: return stored.ToDate() == key.ToDate();
    case ftBytes: return stored.ToGuid() == key.ToGuid();
    case ftFloat:
      if (stored.Type() == platform::VariantType::kSingle) return stored.ToSingle() == key.ToSingle();
      return stored.ToDouble() == key.ToDouble();
    default: return stored.ToDouble() == key.ToDouble();
  }
}

int Nr(const TDataSet& table) { return table.FieldNamed("Nr").VariantValue().ToInt32(); }

}  // namespace accessdb::testing
