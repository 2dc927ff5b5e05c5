#include "dao/jet/tests/random_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <sstream>

#include "dao/jet/tests/external_readers.h"

namespace dao::jet::testing {
namespace {

using platform::Variant;

std::string Json(const ModelRow& row) {
  const auto number = [](double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
  };
  const auto text = [](const std::optional<std::string>& value) { return value ? "\"" + *value + "\"" : "null"; };
  std::ostringstream out;
  out << "[" << row.id << "," << text(row.name) << "," << (row.amount ? std::to_string(*row.amount) : "null") << ","
      << (row.fraction ? number(*row.fraction) : "null") << "," << (row.flag ? "true" : "false") << ","
      << text(row.note) << "]";
  return out.str();
}

}  // namespace

ModelRow RandomRows::Next() {
  static const char* kFoods[] = {"Äpfel", "Birnen", "Weißbrot", "Crème brûlée", "O'Neil's Pie", "Müsli", "Zucker",
                                 "brot", "BROT", "Öl"};
  ModelRow row;
  if (Chance(90)) row.name = std::string(kFoods[Pick(std::size(kFoods))]) + " " + std::to_string(Pick(40));
  if (Chance(85)) row.amount = static_cast<std::int32_t>(Pick(2000)) - 1000;
  if (Chance(80)) row.fraction = (static_cast<double>(Pick(4000)) - 2000) / 4;
  row.flag = Chance(50);
  if (Chance(40)) {
    const std::size_t sizes[] = {0, 5, 60, 70, 500, 3000, 5000, 9000};
    row.note = std::string(sizes[Pick(std::size(sizes))], static_cast<char>('a' + Pick(26)));
  }
  return row;
}

std::vector<Variant> ToVariants(const ModelRow& row) {
  return {Variant(row.id), row.name ? Variant(*row.name) : Variant::Null(),
          row.amount ? Variant(*row.amount) : Variant::Null(),
          row.fraction ? Variant(*row.fraction) : Variant::Null(), Variant(row.flag),
          row.note ? Variant(*row.note) : Variant::Null()};
}

void ExpectExternalReadersSee(const std::string& file, const std::string& table, const std::vector<ModelRow>& rows) {
  if (!HaveMdbTools() || !HaveMdbReader()) GTEST_SKIP() << "mdbtools or mdb-reader missing";
  std::vector<std::string> expectedJson;
  std::vector<std::string> expectedIds;
  for (const ModelRow& row : rows) {
    expectedJson.push_back(Json(row));
    expectedIds.push_back(std::to_string(row.id));
  }
  std::sort(expectedJson.begin(), expectedJson.end());
  std::sort(expectedIds.begin(), expectedIds.end());

  const auto csv = MdbExport(file, table);
  const auto json = MdbReaderJson(file, table);
  ASSERT_TRUE(csv && json);
  std::istringstream lines(*csv);
  std::string line;
  std::getline(lines, line);
  std::vector<std::string> csvIds;
  while (std::getline(lines, line)) csvIds.push_back(line.substr(0, line.find(',')));
  std::sort(csvIds.begin(), csvIds.end());
  EXPECT_EQ(csvIds, expectedIds);
  std::vector<std::string> jsonRows;
  const std::size_t start = json->find("\"rows\":[[");
  const std::size_t end = json->rfind("]]}]}");
  if (!rows.empty()) {
    ASSERT_TRUE(start != std::string::npos && end != std::string::npos) << json->substr(0, 300);
    const std::string all = json->substr(start + 9, end - start - 9);
    for (std::size_t from = 0;;) {
      const std::size_t next = all.find("],[", from);
      jsonRows.push_back("[" + all.substr(from, next == std::string::npos ? std::string::npos : next - from) + "]");
      if (next == std::string::npos) break;
      from = next + 3;
    }
  }
  std::sort(jsonRows.begin(), jsonRows.end());
  EXPECT_EQ(jsonRows, expectedJson);
}

}  // namespace dao::jet::testing
