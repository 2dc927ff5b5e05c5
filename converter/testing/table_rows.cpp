#include "converter/testing/table_rows.h"

#include <gtest/gtest.h>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/tests/fixture_support.h"
#include "platform/text_case.h"
#include "tablefile/ntd_dataset.h"

namespace converter::testing {
namespace {

Cell FromVariant(const platform::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return kNull;
  if (const std::string* text = value.StringIf()) return Text(*text);
  return Number(value.ToDouble());
}

Cell FromJson(const dao::testing::Json& value) {
  using Kind = dao::testing::Json::Kind;
  switch (value.kind) {
    case Kind::kNull: return kNull;
    case Kind::kNumber: return Number(value.Number());
    case Kind::kString: return Text(value.text);
    default: break;
  }
  ADD_FAILURE() << "unexpected JSON value in a food table";
  return kNull;
}

// A table of a JSON document in the shape of `nutaro dump` (also what
// mdb-reader-dump.mjs prints).
TableRows FromJsonTable(const dao::testing::Json& table) {
  TableRows result;
  for (const auto& column : table["columns"].items) result.columns.push_back(column["name"].text);
  for (const auto& row : table["rows"].items) {
    Row cells;
    for (const auto& value : row.items) cells.push_back(FromJson(value));
    result.rows.push_back(std::move(cells));
  }
  return result;
}

}  // namespace

std::size_t TableRows::Column(const std::string& name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (platform::AnsiSameText(columns[i], name)) return i;
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

Cell Number(double value) { return Cell(std::in_place, value); }
Cell Text(std::string value) { return Cell(std::in_place, std::move(value)); }

bool SameCell(const Cell& a, const Cell& b) {
  if (!a || !b) return !a && !b;
  if (a->index() != b->index()) return false;
  if (const auto* text = std::get_if<std::string>(&*a)) return *text == std::get<std::string>(*b);
  return static_cast<float>(std::get<double>(*a)) == static_cast<float>(std::get<double>(*b));
}

void PrintTo(const Cell& cell, std::ostream* out) {
  if (!cell) {
    *out << "null";
  } else if (const auto* text = std::get_if<std::string>(&*cell)) {
    *out << '"' << *text << '"';
  } else {
    *out << std::get<double>(*cell);
  }
}

TableRows FixtureRows(const std::string& name) {
  const auto document = dao::testing::ReadJsonFile(dao::testing::FixturesDir() / "nutaro" / (name + ".expected.json"));
  return FromJsonTable(document["tables"].items.at(0));
}

TableRows ReadWithDao(const std::string& file, const std::string& table) {
  const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("checks", "Admin", "");
  const auto database = workspace->OpenDatabase(file, false, true);
  const auto recordset = database->OpenRecordset(table, dao::dbOpenDynaset);
  TableRows result;
  for (const auto& field : recordset->Fields()) result.columns.push_back(field->Name());
  for (; !recordset->AtEOF(); recordset->MoveNext()) {
    Row cells;
    for (const auto& field : recordset->Fields()) cells.push_back(FromVariant(field->Value()));
    result.rows.push_back(std::move(cells));
  }
  database->Close();
  return result;
}

std::optional<TableRows> ReadWithMdbExport(const std::string& file, const std::string& table) {
  if (!dao::jet::testing::HaveMdbTools()) return std::nullopt;
  const auto csv = dao::jet::testing::MdbExport(file, table);
  if (!csv) {
    ADD_FAILURE() << "mdb-export cannot read " << file;
    return std::nullopt;
  }
  const std::vector<dao::testing::CsvRow> records = dao::testing::ParseCsv(*csv);
  TableRows result;
  if (records.empty()) return result;
  for (const auto& cell : records.front()) result.columns.push_back(cell.text);
  for (std::size_t i = 1; i < records.size(); ++i) {
    Row cells;
    // mdb-export quotes every text and writes numbers as they are.
    for (const auto& cell : records[i]) {
      cells.push_back(cell.IsNull() ? kNull : cell.quoted ? Text(cell.text) : Number(std::stod(cell.text)));
    }
    result.rows.push_back(std::move(cells));
  }
  return result;
}

std::optional<TableRows> ReadWithMdbReader(const std::string& file, const std::string& table) {
  if (!dao::jet::testing::HaveMdbReader()) return std::nullopt;
  const auto json = dao::jet::testing::MdbReaderJson(file, table);
  if (!json) {
    ADD_FAILURE() << "mdb-reader cannot read " << file;
    return std::nullopt;
  }
  return FromJsonTable(dao::testing::ParseJson(*json)["tables"].items.at(0));
}

TableRows ReadTableFile(const std::string& file) {
  tablefile::TNtdTable table;
  table.SetTableName(file);
  table.SetActive(true);
  TableRows result;
  for (int i = 0; i < table.FieldCount(); ++i) result.columns.push_back(table.Field(i).FieldName());
  for (table.GoFirst(); !table.AtEnd(); table.GoNext()) {
    Row cells;
    for (int i = 0; i < table.FieldCount(); ++i) cells.push_back(FromVariant(table.Field(i).VariantValue()));
    result.rows.push_back(std::move(cells));
  }
  return result;
}

TableRows RowsOfDump(const std::string& document) {
  return FromJsonTable(dao::testing::ParseJson(document)["tables"].items.at(0));
}

}  // namespace converter::testing
