#pragma once

// The model behind the randomised write tests: rows of a six-column table
// (AutoNumber ID, text Name, Long Amount, Double Fraction, Yes/No Flag,
// memo Note), random rows to insert or change, and the check that
// mdb-export and mdb-reader read exactly the model's rows from a file.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/variant.h"

namespace dao::jet::testing {

struct ModelRow {
  std::int32_t id = 0;
  std::optional<std::string> name;
  std::optional<std::int32_t> amount;
  std::optional<double> fraction;
  bool flag = false;
  std::optional<std::string> note;
};

// Seeded random rows and choices.
class RandomRows {
 public:
  explicit RandomRows(unsigned seed) : random_(seed) {}

  // A row with random values (id 0); Nulls, shared names and memo values
  // of every storage (inline, one page, several pages) included.
  ModelRow Next();
  // True with `percent` % probability.
  bool Chance(int percent) { return static_cast<int>(Pick(100)) < percent; }
  // A number in [0, n).
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

 private:
  std::mt19937 random_;
};

// The row's values as our reader returns them, in column order.
std::vector<platform::Variant> ToVariants(const ModelRow& row);

// Checks with gtest that mdb-export and mdb-reader read exactly `rows`
// from table `table` of the database file `file` (compared as sets: the
// readers deliver a moved row where its data lies, ours where its slot
// is). Skips when either reader is missing.
void ExpectExternalReadersSee(const std::string& file, const std::string& table, const std::vector<ModelRow>& rows);

}  // namespace dao::jet::testing
