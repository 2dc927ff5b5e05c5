#include "converter/testing/expected_rows.h"

#include <cmath>
#include <gtest/gtest.h>

#include "platform/utf8_text.h"

namespace converter::testing {
namespace {

// A text cut to `size` characters; an empty text is no value.
Cell Cut(const Cell& cell, std::size_t size) {
  if (!cell) return kNull;
  const std::string& text = std::get<std::string>(*cell);
  if (text.empty()) return kNull;
  return Text(std::string(platform::Utf8Prefix(text, size)));
}

Cell ZeroWhenNull(const Cell& cell) { return cell ? cell : Number(0); }

}  // namespace

const std::vector<std::string> kAccessTargetColumns = {"Nahrungsmittel", "Kcal", "Kjoule", "Fett",
                                                       "Kh",             "BE",   "Eiweiss", "Rubrik"};
const std::vector<std::string> kTableFileColumns = {"Nm1", "Nm2", "Nm3", "Kcal", "Kjoule", "Fett",
                                                    "Kh",  "BE",  "Eiweiss", "X", "Nm50"};

std::int64_t KilojoulesOnX87(std::int32_t kcal) {
  static_assert(sizeof(long double) > sizeof(double), "needs the x87 extended format");
  // 4.18L is 4.18 rounded to a 64-bit significand; the product is rounded
  // to one as well, exactly as the original program computed.
  const long double product = static_cast<long double>(kcal) * 4.18L;
  return static_cast<std::int64_t>(std::trunc(product));
}

std::vector<Row> ExpectedAccessRows(const TableRows& source, const AccessConversion& conversion) {
  std::vector<Row> rows;
  for (const Row& entry : source.rows) {
    const Cell& kcal = source.At(entry, "Kcal");
    const auto kcalValue = static_cast<std::int32_t>(std::get<double>(*kcal));
    Row row;
    row.push_back(Cut(source.At(entry, conversion.release3 ? "Lebensmittel" : "Nahrungsmittel"), 100));
    row.push_back(Number(kcalValue));
    row.push_back(Number(static_cast<double>(KilojoulesOnX87(kcalValue))));
    for (const char* name : {"Fett", "Kh", "BE"}) {
      row.push_back(conversion.release3 ? Number(0) : ZeroWhenNull(source.At(entry, name)));
    }
    row.push_back(conversion.release3    ? kNull
                  : conversion.noProtein ? Number(0)
                                         : source.At(entry, "Eiweiss"));
    row.push_back(conversion.categories ? Cut(source.At(entry, "Rubrik"), 100) : kNull);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<Row> ExpectedTableFileRows(const TableRows& source, bool categories) {
  std::vector<Row> rows;
  int pass = 0;
  for (const Row& entry : source.rows) {
    Row row;
    row.push_back(Cut(source.At(entry, "Nahrungsmittel"), 60));
    row.push_back(categories ? Cut(source.At(entry, "Rubrik"), 40) : kNull);
    row.push_back(Number(0));
    // A table file keeps no Null in a number field: its empty slot is 0.
    for (const char* name : {"Kcal", "Kjoule", "Fett", "Kh", "BE", "Eiweiss"}) {
      row.push_back(ZeroWhenNull(source.At(entry, name)));
    }
    row.push_back(Number(++pass));
    row.push_back(kNull);
    rows.push_back(std::move(row));
  }
  return rows;
}

void ExpectRows(const TableRows& actual, const std::vector<std::string>& columns,
                const std::vector<Row>& expected, const std::string& reader) {
  ASSERT_EQ(actual.rows.size(), expected.size()) << reader;
  std::vector<std::size_t> indexes;
  for (const std::string& column : columns) indexes.push_back(actual.Column(column));
  for (std::size_t r = 0; r < expected.size(); ++r) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const Cell& cell = actual.rows[r].at(indexes[c]);
      EXPECT_TRUE(SameCell(cell, expected[r][c]))
          << reader << ", row " << r + 1 << ", " << columns[c] << ": "
          << ::testing::PrintToString(cell) << " instead of " << ::testing::PrintToString(expected[r][c]);
    }
  }
}

}  // namespace converter::testing
