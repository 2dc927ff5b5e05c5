// Reading the fixture folder's expected data in tests: a small JSON
// document model (manifest.json, *.expected.json) and the CSV files of the
// Access fixtures.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dao::testing {

// The fixture folder, or an empty path when it is absent.
std::filesystem::path FixturesDir();

struct Json {
  enum class Kind { kNull, kBoolean, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::string text;  // string value, or a number as written
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  // Member `key` of an object; a null value when absent.
  const Json& operator[](const std::string& key) const;
  bool Has(const std::string& key) const;
  double Number() const { return std::stod(text); }
};

// Parses a whole document; throws std::runtime_error on malformed input.
Json ParseJson(const std::string& text);
Json ReadJsonFile(const std::filesystem::path& path);

// One CSV cell: its text (escapes resolved) and whether it was quoted.
struct CsvCell {
  std::string text;
  bool quoted = false;
  bool IsNull() const { return !quoted && text == "NULL"; }
};
using CsvRow = std::vector<CsvCell>;

// The records of an exported table, header first.
std::vector<CsvRow> ParseCsv(const std::string& text);
std::vector<CsvRow> ReadCsvFile(const std::filesystem::path& path);

// Upper-case hex of bytes.
std::string Hex(const std::vector<std::uint8_t>& bytes);

}  // namespace dao::testing
