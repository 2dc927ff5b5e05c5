#pragma once
// The rows of a food table as the tests compare them, whoever read them:
// our own engines, mdbtools' mdb-export, the npm mdb-reader or `nutaro
// dump`. A cell is Null, a number or a text; numbers are compared at the
// precision of a Single, which is what the nutrient fields hold.

#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace converter::testing {

using Cell = std::optional<std::variant<double, std::string>>;
using Row = std::vector<Cell>;

struct TableRows {
  std::vector<std::string> columns;
  std::vector<Row> rows;

  // The column's index (letter case ignored); fails the test when missing.
  std::size_t Column(const std::string& name) const;
  // The cell of `row` in column `name`.
  const Cell& At(const Row& row, const std::string& name) const { return row[Column(name)]; }
};

Cell Number(double value);
Cell Text(std::string value);
inline const Cell kNull{};

// Null equals Null, texts must be equal, numbers equal as Singles.
bool SameCell(const Cell& a, const Cell& b);
void PrintTo(const Cell& cell, std::ostream* out);

// The rows of a Nutaro fixture as its expected document lists them
// (fixtures/nutaro/NAME.expected.json).
TableRows FixtureRows(const std::string& name);

// A Jet database's table read by our DAO engine, by mdb-export and by
// mdb-reader; nothing when that reader is not installed.
TableRows ReadWithDao(const std::string& file, const std::string& table);
std::optional<TableRows> ReadWithMdbExport(const std::string& file, const std::string& table);
std::optional<TableRows> ReadWithMdbReader(const std::string& file, const std::string& table);
// A table file read by our table-file engine.
TableRows ReadTableFile(const std::string& file);
// The (only or first) table of `nutaro dump FILE`'s document.
TableRows RowsOfDump(const std::string& document);

}  // namespace converter::testing
