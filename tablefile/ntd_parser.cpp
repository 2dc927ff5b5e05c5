#include "tablefile/ntd_parser.h"

#include <array>
#include <optional>

#include "recordset/database_error.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/text_format.h"

namespace tablefile {
namespace {

using Kind = TNtdTokenKind;

constexpr std::string_view kBlanks = " \t\r\n";
constexpr std::string_view kSymbols = "()*+,-./<=>";

struct ReservedWord {
  std::string_view word;
  Kind kind;
  std::optional<Kind> aggregate;  // the kind when "(" follows directly
};

constexpr std::array<ReservedWord, 22> kReservedWords{{
    {"SELECT", Kind::ReservedWord, {}}, {"FROM", Kind::ReservedWord, {}},
    {"WHERE", Kind::ReservedWord, {}},  {"AS", Kind::ReservedWord, {}},
    {"AND", Kind::Logical, {}},         {"OR", Kind::Logical, {}},
    {"NOT", Kind::Logical, {}},         {"NULL", Kind::Null, {}},
    {"JOIN", Kind::ReservedWord, {}},   {"LEFT", Kind::ReservedWord, {}},
    {"ON", Kind::ReservedWord, {}},     {"LIKE", Kind::ReservedWord, {}},
    {"GROUP", Kind::ReservedWord, {}},  {"BY", Kind::ReservedWord, {}},
    {"SUM", Kind::ReservedWord, Kind::Sum}, {"MAX", Kind::ReservedWord, Kind::Max},
    {"MIN", Kind::ReservedWord, Kind::Min}, {"AVG", Kind::ReservedWord, Kind::Avg},
    {"TRUE", Kind::True, {}},           {"FALSE", Kind::False, {}},
    {"DISTINCT", Kind::ReservedWord, {}}, {"COUNT", Kind::ReservedWord, Kind::Count},
}};

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }
bool IsSymbol(char c) { return kSymbols.find(c) != std::string_view::npos; }
bool IsQuote(char c) { return c == '\'' || c == '"'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Letters beyond ASCII (the bytes of UTF-8 sequences) count as letters, so
// that field names such as "Größe" are identifiers.
bool IsLetter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte >= 0x80;
}
bool IsWordCharacter(char c) { return IsLetter(c) || IsDigit(c) || c == '_' || c == '$'; }

std::string AsciiUpper(std::string_view word) {
  std::string upper(word);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

const ReservedWord* FindReservedWord(std::string_view upper) {
  for (const ReservedWord& reserved : kReservedWords) {
    if (reserved.word == upper) return &reserved;
  }
  return nullptr;
}

[[noreturn]] void Fail(std::string_view text) { recordset::DatabaseError(text); }

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text) : text_(text) {}

  std::vector<TNtdToken> Run() {
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (IsBlank(c)) {
        ++at_;
      } else if (IsQuote(c)) {
        QuotedText();
      } else if (IsSymbol(c)) {
        Symbol();
      } else if (IsDigit(c)) {
        Number();
      } else {
        Word();
      }
    }
    if (opened_ != closed_) Fail(messages::kUnmatchedParentheses);
    return std::move(tokens_);
  }

 private:
  void Add(std::string text, Kind kind) { tokens_.push_back({std::move(text), kind}); }

  void QuotedText() {
    const char quote = text_[at_++];
    std::string text;
    while (true) {
      if (at_ >= text_.size()) Fail(messages::kUnmatchedQuote);
      if (text_[at_] != quote) {
        text += text_[at_++];
      } else if (at_ + 1 < text_.size() && text_[at_ + 1] == quote) {
        text += quote;
        at_ += 2;
      } else {
        ++at_;
        break;
      }
    }
    Add(std::move(text), Kind::QuotedText);
  }

  void Symbol() {
    const char c = text_[at_];
    const char next = at_ + 1 < text_.size() ? text_[at_ + 1] : '\0';
    const bool pair = (next == '=' && (c == '>' || c == '<' || c == '*')) || (c == '<' && next == '>');
    const std::string symbol(text_.substr(at_, pair ? 2 : 1));
    at_ += symbol.size();
    if (inAggregate_) {
      // The argument of an aggregate is a (qualified) name; its ")" closes it.
      if (c == ')') {
        ++closed_;
        inAggregate_ = false;
        return;
      }
      if (c != '.') Fail(FormatText(messages::kSymbolInAggregate, {symbol}));
    }
    if (pair) return Add(symbol, Kind::Comparison);
    switch (c) {
      case '(': ++opened_; return Add(symbol, Kind::OpenParen);
      case ')': ++closed_; return Add(symbol, Kind::CloseParen);
      case '*': return Add(symbol, Kind::Star);
      case ',': return Add(symbol, Kind::Comma);
      case '.': return Add(symbol, Kind::Dot);
      case '+':
      case '-':
      case '/': return Add(symbol, Kind::Arithmetic);
      default: return Add(symbol, Kind::Comparison);
    }
  }

  void Number() {
    const std::size_t start = at_;
    while (at_ < text_.size() && (IsDigit(text_[at_]) || text_[at_] == '-')) ++at_;
    Add(std::string(text_.substr(start, at_ - start)), Kind::Number);
  }

  void Word() {
    const std::size_t start = at_++;
    while (at_ < text_.size() && !IsBlank(text_[at_]) && !IsSymbol(text_[at_]) && !IsQuote(text_[at_])) {
      if (!IsWordCharacter(text_[at_])) Fail(messages::kInvalidSymbol);
      ++at_;
    }
    const std::string_view word = text_.substr(start, at_ - start);
    const std::string upper = AsciiUpper(word);
    if (const ReservedWord* reserved = FindReservedWord(upper)) {
      if (at_ < text_.size() && text_[at_] == '(') {
        if (!reserved->aggregate) Fail(FormatText(messages::kUnsupportedFunction, {upper}));
        ++at_;
        ++opened_;
        inAggregate_ = true;
        return Add(upper, *reserved->aggregate);
      }
      return Add(upper, reserved->kind);
    }
    if (!IsLetter(word.front()) && word.front() != '_') Fail(FormatText(messages::kNotAnIdentifier, {word}));
    Add(std::string(word), Kind::Identifier);
  }

  std::string_view text_;
  std::size_t at_ = 0;
  int opened_ = 0;
  int closed_ = 0;
  bool inAggregate_ = false;
  std::vector<TNtdToken> tokens_;
};

std::optional<TNtdOperator> ComparisonOperator(const std::string& symbol) {
  static constexpr std::array<std::pair<std::string_view, TNtdOperator>, 7> kOperators{{
      {"=", TNtdOperator::Equal},
      {">", TNtdOperator::Greater},
      {"<", TNtdOperator::Less},
      {">=", TNtdOperator::GreaterOrEqual},
      {"<=", TNtdOperator::LessOrEqual},
      {"<>", TNtdOperator::NotEqual},
      {"*=", TNtdOperator::Any},
  }};
  for (const auto& [text, code] : kOperators) {
    if (text == symbol) return code;
  }
  return std::nullopt;
}

bool IsOperand(Kind kind) {
  switch (kind) {
    case Kind::Identifier:
    case Kind::QuotedText:
    case Kind::Number:
    case Kind::Null:
    case Kind::True:
    case Kind::False:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<TNtdToken> TNtdParser::Tokenize(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
  return Tokenizer(text).Run();
}

void TNtdParser::ParseConditions(const std::vector<TNtdToken>& tokens, std::vector<TNtdCField>& conditions) {
  const auto is = [&](std::size_t at, Kind kind) { return at < tokens.size() && tokens[at].Kind == kind; };
  const auto isWord = [&](std::size_t at, std::string_view word) {
    return is(at, Kind::ReservedWord) && tokens[at].Text == word;
  };
  TNtdCField condition;
  bool minus = false;
  int state = 0;
  for (std::size_t at = 0; at < tokens.size();) {
    const TNtdToken& token = tokens[at];
    switch (state) {
      case 0:
        if (is(at, Kind::Identifier) && is(at + 1, Kind::Dot)) {
          condition.LeftQualifier = token.Text;
          at += 2;
        }
        state = 1;
        break;
      case 1:
        if (token.Kind != Kind::Identifier && token.Kind != Kind::QuotedText) Fail(messages::kComparisonError);
        condition.LeftName = token.Text;
        condition.LeftKind = token.Kind;
        ++at;
        state = 2;
        break;
      case 2: {
        std::optional<TNtdOperator> code;
        if (isWord(at, "LIKE")) {
          code = TNtdOperator::Like;
        } else if (token.Kind == Kind::Comparison) {
          code = ComparisonOperator(token.Text);
        }
        if (!code) Fail(messages::kComparisonError);
        condition.Operator = *code;
        ++at;
        state = 3;
        break;
      }
      case 3:
        if (is(at, Kind::Identifier) && is(at + 1, Kind::Dot)) {
          condition.RightQualifier = token.Text;
          at += 2;
        } else if (token.Kind == Kind::Arithmetic) {
          if (token.Text != "-" || !is(at + 1, Kind::Number)) Fail(messages::kComparisonError);
          minus = true;
          ++at;
        }
        state = 4;
        break;
      case 4:
        if (!IsOperand(token.Kind)) Fail(messages::kComparisonError);
        condition.RightText = (minus ? "-" : "") + token.Text;
        condition.RightKind = token.Kind;
        conditions.push_back(std::move(condition));
        condition = TNtdCField();
        minus = false;
        ++at;
        state = 5;
        break;
      default:
        if (token.Kind == Kind::Logical && token.Text == "AND") {
          ++at;
          state = 0;
        } else if (isWord(at, "GROUP") && isWord(at + 1, "BY")) {
          return;
        } else {
          Fail(messages::kComparisonError);
        }
    }
  }
}

}  // namespace tablefile
