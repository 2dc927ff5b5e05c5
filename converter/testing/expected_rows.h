#pragma once
// What a conversion must make of a source's rows, worked out here
// independently of the converter: the kilojoules come from the x87 unit
// itself (long double), text cuts count characters.

#include <cstdint>
#include <string>
#include <vector>

#include "converter/testing/table_rows.h"

namespace converter::testing {

// The columns of a new 4.x target and of a new 5.x table file.
extern const std::vector<std::string> kAccessTargetColumns;
extern const std::vector<std::string> kTableFileColumns;

struct AccessConversion {
  bool release3 = false;   // the source is a 3.x nuta2 (Lebensmittel, Kcal, Rubrik)
  bool noProtein = false;  // the 4.x source has no Eiweiss
  bool categories = true;  // "Rubriken übernehmen"
};

// k * 4.18 in 80-bit extended precision, truncated toward zero.
std::int64_t KilojoulesOnX87(std::int32_t kcal);

// The rows a 4.x target gains, in kAccessTargetColumns order.
std::vector<Row> ExpectedAccessRows(const TableRows& source, const AccessConversion& conversion);
// The rows a 5.x table file gains, in kTableFileColumns order.
std::vector<Row> ExpectedTableFileRows(const TableRows& source, bool categories);

// Checks that `actual` holds `expected` (in `columns`, which `actual` may
// surround with others) row by row; `reader` names who read `actual`.
void ExpectRows(const TableRows& actual, const std::vector<std::string>& columns,
                const std::vector<Row>& expected, const std::string& reader);

}  // namespace converter::testing
