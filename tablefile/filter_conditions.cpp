#include "tablefile/filter_conditions.h"

#include "platform/codepage.h"
#include "recordset/database_error.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/record_compare.h"
#include "tablefile/slot_text.h"
#include "tablefile/text_format.h"

namespace tablefile {
namespace {

using Kind = TNtdTokenKind;
using Type = TNtdStorageType;

bool IsIntegerLike(Type type) {
  return type == Type::Integer || type == Type::Date || type == Type::Time || type == Type::AutoInc;
}
bool IsDoubleLike(Type type) { return type == Type::Double || type == Type::Currency || type == Type::DateTime; }

bool Comparable(Type a, Type b) {
  return a == b || (IsIntegerLike(a) && IsIntegerLike(b)) || (IsDoubleLike(a) && IsDoubleLike(b));
}

// The constant a right operand stands for: NULL is the empty text, TRUE and
// FALSE are their words, numbers and quoted texts themselves.
std::string_view ConstantText(const TNtdCField& condition) {
  return condition.RightKind == Kind::Null ? std::string_view() : std::string_view(condition.RightText);
}

bool Holds(TNtdOperator op, int rc) {
  switch (op) {
    case TNtdOperator::Equal: return rc == 0;
    case TNtdOperator::Greater: return rc > 0;
    case TNtdOperator::Less: return rc < 0;
    case TNtdOperator::GreaterOrEqual: return rc >= 0;
    case TNtdOperator::LessOrEqual: return rc <= 0;
    case TNtdOperator::NotEqual: return rc != 0;
    default: return true;
  }
}

}  // namespace

std::vector<ResolvedCondition> ResolveConditions(const std::vector<TNtdCField>& conditions,
                                                 const TNtdCursor& store, std::string_view componentName) {
  const auto fail = [&](std::string_view text) { recordset::DatabaseError(text, componentName); };
  std::vector<ResolvedCondition> resolved;
  for (const TNtdCField& condition : conditions) {
    ResolvedCondition result;
    result.Operator = condition.Operator;
    result.Left = store.FindField(platform::Utf8ToAnsi(condition.LeftName));
    if (result.Left == nullptr) fail(FormatText(messages::kFieldNotFound, {condition.LeftName}));
    const bool named = condition.RightKind == Kind::Identifier || condition.RightKind == Kind::QuotedText;
    if (named) result.Right = store.FindField(platform::Utf8ToAnsi(condition.RightText));
    if (result.Right != nullptr) {
      if (condition.Operator != TNtdOperator::Like && !Comparable(result.Left->StorageType, result.Right->StorageType)) {
        fail(messages::kFieldTypesDiffer);
      }
    } else if (condition.RightKind == Kind::Identifier) {
      fail(FormatText(messages::kFieldNotFound, {condition.RightText}));
    } else {
      // A bad pattern or number is the dataset's error.
      try {
        if (condition.Operator != TNtdOperator::Like) {
          result.Constant = store.NewRecordBuffer();
          PutSlotText(result.Constant, *result.Left, ConstantText(condition));
        } else if (condition.RightKind == Kind::QuotedText) {
          result.Mask.emplace(platform::Utf8ToAnsi(condition.RightText), condition.RightText);
        }
      } catch (const recordset::EDatabaseError& error) {
        fail(error.what());
      }
    }
    resolved.push_back(std::move(result));
  }
  return resolved;
}

bool ConditionsPass(const std::vector<ResolvedCondition>& conditions, const TNtdCursor& store,
                    const RecordBuffer& record, bool caseInsensitive) {
  for (const ResolvedCondition& condition : conditions) {
    if (condition.Operator == TNtdOperator::Like) {
      if (!condition.Mask || !condition.Mask->Matches(store.FieldText(*condition.Left, record))) return false;
      continue;
    }
    const int rc = condition.Right != nullptr
                       ? CompareFieldPair(record, *condition.Left, record, *condition.Right, caseInsensitive)
                       : CompareFieldValues(record, condition.Constant, *condition.Left, caseInsensitive);
    if (!Holds(condition.Operator, rc)) return false;
  }
  return true;
}

}  // namespace tablefile
