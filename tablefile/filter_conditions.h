#pragma once
// Filter conditions resolved against the fields of a record store, and the
// test of a record with them.

#include <optional>
#include <string_view>
#include <vector>

#include "tablefile/ntd_cursor.h"
#include "tablefile/ntd_mask.h"
#include "tablefile/ntd_parser.h"

namespace tablefile {

struct ResolvedCondition {
  TNtdOperator Operator = TNtdOperator::Equal;
  const TNtdField* Left = nullptr;
  const TNtdField* Right = nullptr;  // a field compared with the left one
  RecordBuffer Constant;             // else the constant, in the left field's slot
  std::optional<TNtdMask> Mask;      // LIKE with a pattern; without one LIKE holds for no record
};

// Finds the fields of `conditions` in `store` and turns their constants into
// values of the left field's storage type. Fails, with `componentName` in
// front, with "Field %s is not found" for an unknown left field or right
// identifier, "Types of compared fields are not equal" for two fields whose
// values cannot be compared, and the mask's error for a bad LIKE pattern.
std::vector<ResolvedCondition> ResolveConditions(const std::vector<TNtdCField>& conditions,
                                                 const TNtdCursor& store, std::string_view componentName);

// True when `record` passes every condition. Text comparisons ignore letter
// case when asked to; LIKE always does.
bool ConditionsPass(const std::vector<ResolvedCondition>& conditions, const TNtdCursor& store,
                    const RecordBuffer& record, bool caseInsensitive);

}  // namespace tablefile
