#pragma once
// TNtdParser: the filter language of a table-file dataset. A filter text is
// cut into tokens and the tokens into conditions: comparisons of a field
// with a constant or with another field, joined by AND, and the wildcard
// operator LIKE. The tokenizer knows the reserved words of a larger query
// language; whatever lies outside the condition grammar is refused.
//
// Texts are UTF-8, as the dataset's callers write them. Every failure is a
// recordset::EDatabaseError without a component name.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tablefile {

enum class TNtdTokenKind : std::uint8_t {
  Identifier = 1,   // a name that is no reserved word
  QuotedText = 2,   // between ' or "; the token text is unquoted
  Comma = 3,
  Dot = 4,
  ReservedWord = 5, // SELECT, FROM, LIKE, ... and aggregates without "("
  Number = 6,       // a digit, then digits and "-"
  Star = 7,
  Arithmetic = 8,   // "+", "-", "/"
  Logical = 9,      // AND, OR, NOT
  Comparison = 10,  // "=", "<", ">", ">=", "<=", "<>", "*="
  OpenParen = 11,
  CloseParen = 12,
  Null = 13,
  Count = 14,       // the aggregates, directly followed by "("
  Sum = 15,
  Max = 16,
  Min = 17,
  Avg = 18,
  True = 20,
  False = 21,
};

struct TNtdToken {
  std::string Text;  // reserved words upper-cased
  TNtdTokenKind Kind;
  friend bool operator==(const TNtdToken&, const TNtdToken&) = default;
};

// Operator codes of a condition.
enum class TNtdOperator : std::uint8_t {
  Equal = 1,
  Greater = 2,
  Less = 3,
  GreaterOrEqual = 4,
  LessOrEqual = 5,
  NotEqual = 6,
  Like = 7,
  Any = 8,  // "*=": holds for every record
};

// One parsed condition; the qualifiers are read and play no part.
struct TNtdCField {
  std::string LeftQualifier;
  std::string LeftName;
  std::string RightQualifier;
  std::string RightText;  // "-" in front of a negative number
  TNtdTokenKind LeftKind = TNtdTokenKind::Identifier;
  TNtdTokenKind RightKind = TNtdTokenKind::Identifier;
  TNtdOperator Operator = TNtdOperator::Equal;
  friend bool operator==(const TNtdCField&, const TNtdCField&) = default;
};

class TNtdParser {
 public:
  // The tokens of `text` (trimmed first; blanks, tabs, CR and LF separate).
  static std::vector<TNtdToken> Tokenize(std::string_view text);
  // Appends the conditions of `tokens` to `conditions` as they are complete,
  // so that on an error those before it stay. A condition the tokens end in
  // is dropped; "GROUP BY" ends the conditions.
  static void ParseConditions(const std::vector<TNtdToken>& tokens, std::vector<TNtdCField>& conditions);
};

}  // namespace tablefile
