// The functions Access SQL offers: the everyday string, number, conversion
// and date functions of VBA that Jet evaluates itself, and the aggregates.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "dao/sql/text_order.h"
#include "platform/variant.h"

namespace dao::sql {

enum class Aggregate : std::uint8_t { kCount, kSum, kAvg, kMin, kMax, kFirst, kLast, kStDev, kStDevP, kVar, kVarP };

struct FunctionInfo {
  std::string_view name;
  std::uint8_t minArgs;
  std::uint8_t maxArgs;
  std::optional<Aggregate> aggregate;  // set for aggregates
  // Whether two calls with the same arguments may give different values
  // (Now, Date, Time, Rnd): such calls are never treated as constants.
  bool varies = false;
};

// The function called `name` (any case) and its id; nothing when there is
// none.
std::optional<int> FindFunction(std::string_view name);
const FunctionInfo& FunctionAt(int id);
// The id of IIf, whose arguments are evaluated only as needed.
int IIfFunction();

// Calls the scalar function `id` with evaluated arguments. Raises the
// errors VBA raises (94 for Null where a value is needed, 5 for a bad
// argument, 13 or 3464 for a type mismatch, 6 for overflow).
platform::Variant CallFunction(int id, std::span<const platform::Variant> args, const TextOrder& order);

// The running state of one aggregate over the rows of a group.
class AggregateState {
 public:
  explicit AggregateState(Aggregate kind) : kind_(kind) {}
  // Counts a row: `value` is the argument's value (Count(*) passes a
  // non-Null value for every row).
  void Add(const platform::Variant& value, const TextOrder& order);
  platform::Variant Result() const;

 private:
  Aggregate kind_;
  std::int64_t count_ = 0;
  bool seen_ = false;            // First/Last: a row was counted
  long double sum_ = 0;          // Sum (a Double, or Currency for currency), Avg, the deviations
  long double sumOfSquares_ = 0;
  bool currency_ = false;        // Sum of currency stays currency
  platform::Variant value_;      // Min, Max, First, Last
};

}  // namespace dao::sql
