#include "dao/sql/parser.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "dao/constants.h"
#include "dao/sql/date_literal.h"
#include "dao/sql/lexer.h"
#include "dao/sql/sql_error.h"
#include "platform/guids.h"
#include "platform/text_case.h"

namespace dao::sql {
namespace {

// Deeper nesting than this is refused rather than followed: each level
// costs stack in the parser, the binder and the evaluator.
constexpr int kMaxDepth = 96;
// The same for chains of operators, which the parser reads in a loop but
// which every later walk of the tree follows level by level.
constexpr int kMaxHeight = 400;

// Words that end an expression or a clause; they cannot be plain names.
constexpr std::string_view kReserved[] = {
    "SELECT", "FROM", "WHERE", "GROUP", "HAVING", "ORDER", "BY", "AS", "ON", "JOIN", "INNER", "LEFT",
    "RIGHT", "OUTER", "UNION", "INTO", "VALUES", "SET", "AND", "OR", "NOT", "XOR", "EQV", "IMP", "MOD",
    "LIKE", "IN", "IS", "BETWEEN", "DISTINCT", "DISTINCTROW", "TOP", "PIVOT", "TRANSFORM", "WITH", "ASC",
    "DESC", "ALL", "INSERT", "UPDATE", "DELETE", "PARAMETERS", "NULL", "PERCENT"};

bool IsReserved(const Token& token) { return token.kind == TokenKind::kName && IsReservedWord(token.text); }

struct TypeName {
  std::string_view name;
  int daoType;
  bool autoIncrement;
};

constexpr TypeName kTypeNames[] = {
    {"BIT", dbBoolean, false},        {"YESNO", dbBoolean, false},       {"LOGICAL", dbBoolean, false},
    {"LOGICAL1", dbBoolean, false},   {"BOOLEAN", dbBoolean, false},     {"BYTE", dbByte, false},
    {"TINYINT", dbByte, false},       {"INTEGER1", dbByte, false},       {"SHORT", dbInteger, false},
    {"SMALLINT", dbInteger, false},   {"INTEGER2", dbInteger, false},    {"LONG", dbLong, false},
    {"INT", dbLong, false},           {"INTEGER", dbLong, false},        {"INTEGER4", dbLong, false},
    {"COUNTER", dbLong, true},        {"AUTOINCREMENT", dbLong, true},   {"IDENTITY", dbLong, true},
    {"SINGLE", dbSingle, false},      {"REAL", dbSingle, false},         {"FLOAT4", dbSingle, false},
    {"IEEESINGLE", dbSingle, false},  {"DOUBLE", dbDouble, false},       {"FLOAT", dbDouble, false},
    {"FLOAT8", dbDouble, false},      {"IEEEDOUBLE", dbDouble, false},   {"NUMBER", dbDouble, false},
    {"CURRENCY", dbCurrency, false},  {"MONEY", dbCurrency, false},      {"DATETIME", dbDate, false},
    {"DATE", dbDate, false},          {"TIME", dbDate, false},           {"TIMESTAMP", dbDate, false},
    {"TEXT", dbText, false},          {"CHAR", dbText, false},           {"VARCHAR", dbText, false},
    {"CHARACTER", dbText, false},     {"STRING", dbText, false},         {"ALPHANUMERIC", dbText, false},
    {"NCHAR", dbText, false},         {"NVARCHAR", dbText, false},       {"MEMO", dbMemo, false},
    {"LONGTEXT", dbMemo, false},      {"LONGCHAR", dbMemo, false},       {"NOTE", dbMemo, false},
    {"NTEXT", dbMemo, false},         {"BINARY", dbBinary, false},       {"VARBINARY", dbBinary, false},
    {"LONGBINARY", dbLongBinary, false}, {"OLEOBJECT", dbLongBinary, false}, {"GENERAL", dbLongBinary, false},
    {"IMAGE", dbLongBinary, false},   {"GUID", dbGUID, false},           {"UNIQUEIDENTIFIER", dbGUID, false},
    {"DECIMAL", dbDecimal, false},    {"NUMERIC", dbDecimal, false},     {"DEC", dbDecimal, false},
    {"VALUE", 0, false},
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), tokens_(Tokenize(text)) {}

  sql::Statement ParseWhole();
  ExprPtr StandaloneExpression();
  std::vector<OrderItem> StandaloneOrderList();

 private:
  // Tokens.
  const Token& Peek(std::size_t ahead = 0) const {
    return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
  }
  const Token& Next() {
    const Token& token = Peek();
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return token;
  }
  bool AtEnd() const { return Peek().kind == TokenKind::kEnd; }
  bool AcceptWord(std::string_view word) {
    if (!Peek().IsWord(word)) return false;
    Next();
    return true;
  }
  bool AcceptSymbol(std::string_view symbol) {
    if (!Peek().IsSymbol(symbol)) return false;
    Next();
    return true;
  }
  std::size_t PreviousEnd() const { return pos_ == 0 ? 0 : tokens_[pos_ - 1].end; }

  // Errors.
  [[noreturn]] void FailExpression(std::size_t begin) const;
  [[noreturn]] static void Fail(int number, const char* text) { RaiseSql(number, text); }
  void Enter() {
    if (++depth_ > kMaxDepth) RaiseSql(kErrQueryTooComplex, "Query is too complex.");
  }
  void Leave() { --depth_; }

  // Names.
  bool AtName() const {
    const Token& token = Peek();
    return token.kind == TokenKind::kBracketName || (token.kind == TokenKind::kName && !IsReserved(token));
  }
  std::string Name(int error, const char* text) {
    if (!AtName()) Fail(error, text);
    return Next().text;
  }

  // Expressions, loosest binding first.
  ExprPtr Expression();
  ExprPtr Binary(int level);
  ExprPtr NotLevel();
  ExprPtr Comparison();
  ExprPtr Concatenation();
  ExprPtr Additive();
  ExprPtr ModuloLevel();
  ExprPtr IntegerDivision();
  ExprPtr Multiplicative();
  ExprPtr Unary();
  ExprPtr Power();
  ExprPtr Primary();
  ExprPtr NameOrCall();
  ExprPtr Literal();
  ExprPtr Make(ExprKind kind, std::size_t begin);
  // Sets the height of `expr` from its operands; refuses trees too high.
  static ExprPtr Seal(ExprPtr expr);
  ExprPtr MakeBinary(Operator op, ExprPtr left, ExprPtr right);

  // Statements.
  std::vector<ParameterDecl> Parameters();
  std::unique_ptr<SelectStatement> Select(bool nested);
  std::unique_ptr<SelectStatement> Transform();
  void SelectBody(SelectStatement& select);
  void SelectList(SelectStatement& select);
  std::vector<std::unique_ptr<FromItem>> FromList();
  std::unique_ptr<FromItem> FromItemWithJoins();
  std::unique_ptr<FromItem> JoinSource();
  TableRef Table(int error, const char* text, bool allowAlias);
  std::vector<OrderItem> OrderList(int error, const char* text);
  std::unique_ptr<InsertStatement> Insert();
  std::unique_ptr<UpdateStatement> Update();
  std::unique_ptr<DeleteStatement> Delete();
  void Create(sql::Statement& statement);
  ColumnDecl Column(int error, const char* text);
  std::optional<IndexDecl> Constraint(int error, const char* text);
  std::vector<std::pair<std::string, bool>> IndexColumns(int error, const char* text);
  std::unique_ptr<AlterTableStatement> Alter();
  std::unique_ptr<DropStatement> Drop();
  void EndOfStatement();

  std::string_view text_;
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

// The expression that failed, as Jet quotes it: from its start to the end
// of the clause it stands in.
void Parser::FailExpression(std::size_t begin) const {
  std::size_t stop = pos_;
  int parentheses = 0;
  for (; tokens_[stop].kind != TokenKind::kEnd; ++stop) {
    const Token& token = tokens_[stop];
    if (token.IsSymbol("(")) ++parentheses;
    if (token.IsSymbol(")") && --parentheses < 0) break;
    const bool clauseEnd = token.IsSymbol(";") || token.IsSymbol(",") || token.IsWord("FROM") ||
                           token.IsWord("WHERE") || token.IsWord("GROUP") || token.IsWord("HAVING") ||
                           token.IsWord("ORDER") || token.IsWord("UNION") || token.IsWord("PIVOT") ||
                           token.IsWord("INTO") || token.IsWord("SELECT");
    if (parentheses == 0 && clauseEnd && stop > pos_) break;
  }
  std::size_t end = stop > 0 ? tokens_[stop - 1].end : 0;
  end = std::max(end, std::min(tokens_[pos_].end, text_.size()));
  begin = std::min(begin, end);
  RaiseMissingOperator(text_.substr(begin, end - begin));
}

ExprPtr Parser::Make(ExprKind kind, std::size_t begin) {
  auto expr = std::make_unique<Expr>();
  expr->kind = kind;
  expr->begin = begin;
  return expr;
}

ExprPtr Parser::Seal(ExprPtr expr) {
  int height = 0;
  for (const ExprPtr& arg : expr->args) height = std::max(height, arg->height);
  expr->height = height + 1;
  if (expr->height > kMaxHeight) RaiseSql(kErrQueryTooComplex, "Query is too complex.");
  return expr;
}

ExprPtr Parser::MakeBinary(Operator op, ExprPtr left, ExprPtr right) {
  auto expr = Make(ExprKind::kBinary, left->begin);
  expr->op = op;
  expr->end = right->end;
  expr->args.push_back(std::move(left));
  expr->args.push_back(std::move(right));
  return Seal(std::move(expr));
}

ExprPtr Parser::Expression() {
  Enter();
  ExprPtr expr = Binary(0);
  Leave();
  return expr;
}

// Imp, Eqv, Xor, Or, And: left-associative, loosest first.
ExprPtr Parser::Binary(int level) {
  static constexpr std::pair<std::string_view, Operator> kLevels[] = {
      {"IMP", Operator::kImp}, {"EQV", Operator::kEqv}, {"XOR", Operator::kXor},
      {"OR", Operator::kOr},   {"AND", Operator::kAnd}};
  if (level == static_cast<int>(std::size(kLevels))) return NotLevel();
  ExprPtr left = Binary(level + 1);
  while (AcceptWord(kLevels[level].first)) {
    ExprPtr right = Binary(level + 1);
    left = MakeBinary(kLevels[level].second, std::move(left), std::move(right));
  }
  return left;
}

ExprPtr Parser::NotLevel() {
  if (Peek().IsWord("NOT")) {
    const std::size_t begin = Next().begin;
    Enter();
    auto expr = Make(ExprKind::kUnary, begin);
    expr->op = Operator::kNot;
    expr->args.push_back(NotLevel());
    expr->end = expr->args.back()->end;
    Leave();
    return Seal(std::move(expr));
  }
  return Comparison();
}

ExprPtr Parser::Comparison() {
  ExprPtr left = Concatenation();
  while (true) {
    static constexpr std::pair<std::string_view, Operator> kOperators[] = {
        {"=", Operator::kEqual},          {"<>", Operator::kNotEqual}, {"<", Operator::kLess},
        {"<=", Operator::kLessOrEqual},   {">", Operator::kGreater},   {">=", Operator::kGreaterOrEqual}};
    bool matched = false;
    for (const auto& [symbol, op] : kOperators) {
      if (AcceptSymbol(symbol)) {
        ExprPtr right = Concatenation();
        left = MakeBinary(op, std::move(left), std::move(right));
        matched = true;
        break;
      }
    }
    if (matched) continue;
    const std::size_t begin = left->begin;
    if (AcceptWord("IS")) {
      auto expr = Make(ExprKind::kIsNull, begin);
      expr->negated = AcceptWord("NOT");
      if (!AcceptWord("NULL")) FailExpression(begin);
      expr->args.push_back(std::move(left));
      expr->end = PreviousEnd();
      left = Seal(std::move(expr));
      continue;
    }
    const bool negated = Peek().IsWord("NOT") &&
                         (Peek(1).IsWord("LIKE") || Peek(1).IsWord("IN") || Peek(1).IsWord("BETWEEN"));
    if (negated) Next();
    if (AcceptWord("LIKE")) {
      auto expr = Make(ExprKind::kLike, begin);
      expr->negated = negated;
      expr->args.push_back(std::move(left));
      expr->args.push_back(Concatenation());
      expr->end = expr->args.back()->end;
      left = Seal(std::move(expr));
    } else if (AcceptWord("BETWEEN")) {
      auto expr = Make(ExprKind::kBetween, begin);
      expr->negated = negated;
      expr->args.push_back(std::move(left));
      expr->args.push_back(Concatenation());
      if (!AcceptWord("AND")) FailExpression(begin);
      expr->args.push_back(Concatenation());
      expr->end = expr->args.back()->end;
      left = Seal(std::move(expr));
    } else if (AcceptWord("IN")) {
      auto expr = Make(ExprKind::kIn, begin);
      expr->negated = negated;
      expr->args.push_back(std::move(left));
      if (!AcceptSymbol("(")) FailExpression(begin);
      if (Peek().IsWord("SELECT")) {
        RaiseSql(jet::kErrNotSupported, "Subqueries are not supported by this engine.");
      }
      do {
        expr->args.push_back(Expression());
      } while (AcceptSymbol(","));
      if (!AcceptSymbol(")")) FailExpression(begin);
      expr->end = PreviousEnd();
      left = Seal(std::move(expr));
    } else {
      if (negated) FailExpression(begin);
      return left;
    }
  }
}

ExprPtr Parser::Concatenation() {
  ExprPtr left = Additive();
  while (AcceptSymbol("&")) left = MakeBinary(Operator::kConcatenate, std::move(left), Additive());
  return left;
}

ExprPtr Parser::Additive() {
  ExprPtr left = ModuloLevel();
  while (true) {
    if (AcceptSymbol("+")) {
      left = MakeBinary(Operator::kAdd, std::move(left), ModuloLevel());
    } else if (AcceptSymbol("-")) {
      left = MakeBinary(Operator::kSubtract, std::move(left), ModuloLevel());
    } else {
      return left;
    }
  }
}

ExprPtr Parser::ModuloLevel() {
  ExprPtr left = IntegerDivision();
  while (AcceptWord("MOD")) left = MakeBinary(Operator::kModulo, std::move(left), IntegerDivision());
  return left;
}

ExprPtr Parser::IntegerDivision() {
  ExprPtr left = Multiplicative();
  while (AcceptSymbol("\\")) left = MakeBinary(Operator::kIntegerDivide, std::move(left), Multiplicative());
  return left;
}

ExprPtr Parser::Multiplicative() {
  ExprPtr left = Unary();
  while (true) {
    if (AcceptSymbol("*")) {
      left = MakeBinary(Operator::kMultiply, std::move(left), Unary());
    } else if (AcceptSymbol("/")) {
      left = MakeBinary(Operator::kDivide, std::move(left), Unary());
    } else {
      return left;
    }
  }
}

// Unary minus binds looser than ^ (-2^2 is -4) and tighter than * and /.
ExprPtr Parser::Unary() {
  if (Peek().IsSymbol("-") || Peek().IsSymbol("+")) {
    const bool negate = Peek().IsSymbol("-");
    const std::size_t begin = Next().begin;
    Enter();
    ExprPtr operand = Unary();
    Leave();
    if (!negate) return operand;
    auto expr = Make(ExprKind::kUnary, begin);
    expr->op = Operator::kNegate;
    expr->end = operand->end;
    expr->args.push_back(std::move(operand));
    return Seal(std::move(expr));
  }
  return Power();
}

ExprPtr Parser::Power() {
  ExprPtr left = Primary();
  while (AcceptSymbol("^")) {
    ExprPtr right;
    if (Peek().IsSymbol("-") || Peek().IsSymbol("+")) {
      right = Unary();
    } else {
      right = Primary();
    }
    left = MakeBinary(Operator::kPower, std::move(left), std::move(right));
  }
  return left;
}

ExprPtr Parser::Literal() {
  const Token& token = Next();
  auto expr = Make(ExprKind::kLiteral, token.begin);
  expr->end = token.end;
  switch (token.kind) {
    case TokenKind::kText:
      expr->value = platform::Variant(token.text);
      break;
    case TokenKind::kDate: {
      const auto date = ParseDateLiteral(token.text);
      if (!date) {
        RaiseSql(kErrSyntaxInExpression, "Syntax error in date in query expression '" +
                                             std::string(text_.substr(token.begin, token.end - token.begin)) + "'.");
      }
      expr->value = platform::Variant::FromDate(*date);
      break;
    }
    case TokenKind::kGuid: {
      const auto guid = platform::TryParseGuid(token.text);
      if (!guid) {
        RaiseSql(kErrSyntaxInExpression, "Malformed GUID in query expression '" +
                                             std::string(text_.substr(token.begin, token.end - token.begin)) + "'.");
      }
      expr->value = platform::Variant(*guid);
      break;
    }
    case TokenKind::kNumber: {
      const char* first = token.text.data();
      const char* last = first + token.text.size();
      std::int32_t whole = 0;
      const auto [end, error] = std::from_chars(first, last, whole);
      if (error == std::errc() && end == last) {
        expr->value = platform::Variant(whole);
      } else {
        double number = 0;
        std::from_chars(first, last, number);
        if (!std::isfinite(number)) FailExpression(token.begin);
        expr->value = platform::Variant(number);
      }
      break;
    }
    default:
      FailExpression(token.begin);
  }
  return expr;
}

ExprPtr Parser::Primary() {
  const Token& token = Peek();
  switch (token.kind) {
    case TokenKind::kText:
    case TokenKind::kDate:
    case TokenKind::kGuid:
    case TokenKind::kNumber:
      return Literal();
    case TokenKind::kSymbol:
      if (token.IsSymbol("(")) {
        const std::size_t begin = Next().begin;
        if (Peek().IsWord("SELECT")) {
          RaiseSql(jet::kErrNotSupported, "Subqueries are not supported by this engine.");
        }
        ExprPtr inner = Expression();
        if (!AcceptSymbol(")")) FailExpression(begin);
        // The parentheses belong to the expression's text.
        inner->begin = begin;
        inner->end = PreviousEnd();
        return inner;
      }
      FailExpression(token.begin);
    case TokenKind::kName:
      if (token.IsWord("NULL")) {
        auto expr = Make(ExprKind::kLiteral, Next().begin);
        expr->value = platform::Variant::Null();
        expr->end = PreviousEnd();
        return expr;
      }
      if (token.IsWord("TRUE") || token.IsWord("YES") || token.IsWord("FALSE") || token.IsWord("NO")) {
        if (!Peek(1).IsSymbol("(") && !Peek(1).IsSymbol(".") && !Peek(1).IsSymbol("!")) {
          auto expr = Make(ExprKind::kLiteral, Next().begin);
          expr->value = platform::Variant(token.IsWord("TRUE") || token.IsWord("YES"));
          expr->end = PreviousEnd();
          return expr;
        }
      }
      // Left and Right are also functions: before "(" they are calls.
      if (IsReserved(token) && !((token.IsWord("LEFT") || token.IsWord("RIGHT")) && Peek(1).IsSymbol("(")))
        FailExpression(token.begin);
      return NameOrCall();
    case TokenKind::kBracketName:
      return NameOrCall();
    case TokenKind::kEnd:
      break;
  }
  FailExpression(token.begin);
}

ExprPtr Parser::NameOrCall() {
  const Token& first = Next();
  const std::size_t begin = first.begin;
  if (first.kind == TokenKind::kName && Peek().IsSymbol("(")) {
    Next();
    Enter();
    auto call = Make(ExprKind::kCall, begin);
    call->name = first.text;
    if (Peek().IsSymbol("*")) {
      auto star = Make(ExprKind::kStar, Next().begin);
      star->end = PreviousEnd();
      call->args.push_back(std::move(star));
    } else if (!Peek().IsSymbol(")")) {
      if (AcceptWord("DISTINCT")) {
        RaiseSql(jet::kErrNotSupported, "Aggregates over distinct values are not supported by this engine.");
      }
      do {
        call->args.push_back(Expression());
      } while (AcceptSymbol(","));
    }
    if (!AcceptSymbol(")")) FailExpression(begin);
    call->end = PreviousEnd();
    Leave();
    return Seal(std::move(call));
  }
  auto expr = Make(ExprKind::kName, begin);
  expr->name = first.text;
  // Table.Field or Table!Field; Table.* in select lists.
  while (Peek().IsSymbol(".") || Peek().IsSymbol("!")) {
    Next();
    if (Peek().IsSymbol("*")) {
      Next();
      expr->kind = ExprKind::kStar;
      expr->qualifier = expr->qualifier.empty() ? expr->name : expr->qualifier + "." + expr->name;
      expr->name.clear();
      break;
    }
    if (Peek().kind != TokenKind::kName && Peek().kind != TokenKind::kBracketName) FailExpression(begin);
    // A third part (database.table.field) keeps the last two.
    expr->qualifier = expr->name;
    expr->name = Next().text;
  }
  expr->end = PreviousEnd();
  return expr;
}

ExprPtr Parser::StandaloneExpression() {
  if (AtEnd()) RaiseMissingOperator("");
  ExprPtr expr = Expression();
  if (!AtEnd()) FailExpression(0);
  return expr;
}

std::vector<OrderItem> Parser::StandaloneOrderList() {
  std::vector<OrderItem> items = OrderList(kErrSyntaxInOrderBy, "Syntax error in ORDER BY clause.");
  if (!AtEnd()) FailExpression(0);
  return items;
}

std::vector<ParameterDecl> Parser::Parameters() {
  std::vector<ParameterDecl> parameters;
  constexpr const char* kText = "Syntax error in PARAMETER clause.";
  do {
    ParameterDecl parameter;
    if (Peek().kind != TokenKind::kName && Peek().kind != TokenKind::kBracketName) Fail(kErrSyntaxInParameters, kText);
    parameter.name = Next().text;
    if (Peek().kind != TokenKind::kName) Fail(kErrSyntaxInParameters, kText);
    const std::optional<int> type = TypeOfName(Next().text);
    if (!type) Fail(kErrSyntaxInParameters, kText);
    parameter.daoType = *type;
    if (AcceptSymbol("(")) {
      if (Peek().kind != TokenKind::kNumber) Fail(kErrSyntaxInParameters, kText);
      parameter.size = std::atoi(Next().text.c_str());
      if (!AcceptSymbol(")")) Fail(kErrSyntaxInParameters, kText);
    }
    parameters.push_back(std::move(parameter));
  } while (AcceptSymbol(","));
  if (!AcceptSymbol(";")) Fail(kErrSyntaxInParameters, kText);
  return parameters;
}

sql::Statement Parser::ParseWhole() {
  sql::Statement statement;
  statement.text = std::string(text_);
  if (AcceptWord("PARAMETERS")) statement.parameters = Parameters();
  const Token& first = Peek();
  if (first.IsWord("SELECT") || first.IsSymbol("(")) {
    statement.kind = StatementKind::kSelect;
    statement.select = Select(false);
  } else if (first.IsWord("TRANSFORM")) {
    statement.kind = StatementKind::kSelect;
    statement.select = Transform();
  } else if (first.IsWord("INSERT")) {
    statement.kind = StatementKind::kInsert;
    statement.insert = Insert();
  } else if (first.IsWord("UPDATE")) {
    statement.kind = StatementKind::kUpdate;
    statement.update = Update();
  } else if (first.IsWord("DELETE")) {
    statement.kind = StatementKind::kDelete;
    statement.remove = Delete();
  } else if (first.IsWord("CREATE")) {
    Create(statement);
  } else if (first.IsWord("ALTER")) {
    statement.kind = StatementKind::kAlterTable;
    statement.alterTable = Alter();
  } else if (first.IsWord("DROP")) {
    statement.kind = StatementKind::kDrop;
    statement.drop = Drop();
  } else {
    Fail(kErrInvalidStatement,
         "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
  }
  EndOfStatement();
  return statement;
}

void Parser::EndOfStatement() {
  AcceptSymbol(";");
  if (!AtEnd()) Fail(kErrTextAfterStatement, "Characters found after end of SQL statement.");
}

std::unique_ptr<SelectStatement> Parser::Transform() {
  Next();  // TRANSFORM
  ExprPtr value = Expression();
  // Access stores the value with an alias; it names nothing in the result.
  std::string alias;
  if (AcceptWord("AS")) alias = Name(kErrSyntaxInTransform, "Syntax error in TRANSFORM statement.");
  if (!Peek().IsWord("SELECT")) Fail(kErrSyntaxInTransform, "Syntax error in TRANSFORM statement.");
  std::unique_ptr<SelectStatement> select = Select(true);
  select->transform = std::move(value);
  select->transformAlias = std::move(alias);
  if (!AcceptWord("PIVOT")) Fail(kErrSyntaxInTransform, "Syntax error in TRANSFORM statement.");
  select->pivot = Expression();
  if (AcceptWord("IN")) {
    if (!AcceptSymbol("(")) Fail(kErrSyntaxInTransform, "Syntax error in TRANSFORM statement.");
    do {
      select->pivotValues.push_back(Expression());
    } while (AcceptSymbol(","));
    if (!AcceptSymbol(")")) Fail(kErrSyntaxInTransform, "Syntax error in TRANSFORM statement.");
  }
  return select;
}

// SELECT ... [UNION [ALL] SELECT ...] [ORDER BY ...]; a part may stand in
// parentheses.
std::unique_ptr<SelectStatement> Parser::Select(bool nested) {
  const std::size_t begin = Peek().begin;
  const bool parenthesised = AcceptSymbol("(");
  if (parenthesised) Enter();
  if (!AcceptWord("SELECT")) Fail(kErrInvalidStatement, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
  auto select = std::make_unique<SelectStatement>();
  select->begin = begin;
  SelectBody(*select);
  select->end = PreviousEnd();
  if (parenthesised) {
    if (!AcceptSymbol(")")) Fail(kErrSyntaxInSelect, kSelectText);
    Leave();
    select->end = PreviousEnd();
  }
  if (nested) return select;
  while (AcceptWord("UNION")) {
    UnionPart part;
    part.all = AcceptWord("ALL");
    if (!Peek().IsWord("SELECT") && !Peek().IsSymbol("(")) Fail(kErrSyntaxInSelect, kSelectText);
    part.select = Select(true);
    select->unions.push_back(std::move(part));
  }
  if (!select->unions.empty()) {
    // ORDER BY after the last part orders the whole union.
    SelectStatement& last = *select->unions.back().select;
    if (!last.orderBy.empty() && select->orderBy.empty()) select->orderBy = std::move(last.orderBy);
    if (AcceptWord("ORDER")) {
      if (!AcceptWord("BY")) Fail(kErrSyntaxInOrderBy, "Syntax error in ORDER BY clause.");
      select->orderBy = OrderList(kErrSyntaxInOrderBy, "Syntax error in ORDER BY clause.");
    }
  }
  return select;
}

void Parser::SelectBody(SelectStatement& select) {
  if (AcceptWord("DISTINCT")) {
    select.distinct = true;
  } else if (AcceptWord("DISTINCTROW")) {
    select.distinctRow = true;
  } else {
    AcceptWord("ALL");
  }
  if (AcceptWord("TOP")) {
    if (Peek().kind != TokenKind::kNumber) Fail(kErrSyntaxInSelect, kSelectText);
    double count = 0;
    const std::string& digits = Next().text;
    std::from_chars(digits.data(), digits.data() + digits.size(), count);
    select.top = count;
    select.topPercent = AcceptWord("PERCENT");
  }
  SelectList(select);
  if (AcceptWord("INTO")) select.intoTable = Table(kErrSyntaxInSelect, kSelectText, false).name;
  if (AcceptWord("FROM")) select.from = FromList();
  if (AcceptWord("WHERE")) select.where = Expression();
  if (AcceptWord("GROUP")) {
    if (!AcceptWord("BY")) Fail(kErrSyntaxInGroupBy, "Syntax error in GROUP BY clause.");
    do {
      select.groupBy.push_back(Expression());
    } while (AcceptSymbol(","));
  }
  if (AcceptWord("HAVING")) select.having = Expression();
  if (AcceptWord("ORDER")) {
    if (!AcceptWord("BY")) Fail(kErrSyntaxInOrderBy, "Syntax error in ORDER BY clause.");
    select.orderBy = OrderList(kErrSyntaxInOrderBy, "Syntax error in ORDER BY clause.");
  }
  if (AcceptWord("WITH")) {
    if (!AcceptWord("OWNERACCESS") || !AcceptWord("OPTION")) Fail(kErrSyntaxInSelect, kSelectText);
    select.ownerAccess = true;
  }
  if (!AtEnd() && !Peek().IsSymbol(";") && !Peek().IsSymbol(")") && !Peek().IsWord("UNION") &&
      !Peek().IsWord("PIVOT")) {
    FailExpression(Peek().begin);
  }
}

void Parser::SelectList(SelectStatement& select) {
  do {
    SelectItem item;
    if (Peek().IsSymbol("*")) {
      item.expr = Make(ExprKind::kStar, Next().begin);
      item.expr->end = PreviousEnd();
    } else {
      if (Peek().IsWord("FROM") || AtEnd()) Fail(kErrSyntaxInSelect, kSelectText);
      item.expr = Expression();
      if (AcceptWord("AS")) item.alias = Name(kErrSyntaxInSelect, kSelectText);
    }
    select.columns.push_back(std::move(item));
  } while (AcceptSymbol(","));
}

std::vector<std::unique_ptr<FromItem>> Parser::FromList() {
  std::vector<std::unique_ptr<FromItem>> items;
  do {
    items.push_back(FromItemWithJoins());
  } while (AcceptSymbol(","));
  return items;
}

std::unique_ptr<FromItem> Parser::FromItemWithJoins() {
  std::unique_ptr<FromItem> left = JoinSource();
  while (true) {
    JoinType type;
    if (AcceptWord("INNER")) {
      type = JoinType::kInner;
    } else if (AcceptWord("LEFT")) {
      type = JoinType::kLeft;
      AcceptWord("OUTER");
    } else if (AcceptWord("RIGHT")) {
      type = JoinType::kRight;
      AcceptWord("OUTER");
    } else if (Peek().IsWord("JOIN")) {
      Fail(kErrSyntaxInJoin, "Syntax error in JOIN operation.");
    } else {
      return left;
    }
    if (!AcceptWord("JOIN")) Fail(kErrSyntaxInJoin, "Syntax error in JOIN operation.");
    auto join = std::make_unique<FromItem>();
    join->isJoin = true;
    join->join = type;
    join->left = std::move(left);
    join->right = JoinSource();
    if (!AcceptWord("ON")) Fail(kErrSyntaxInJoin, "Syntax error in JOIN operation.");
    join->on = Expression();
    left = std::move(join);
  }
}

std::unique_ptr<FromItem> Parser::JoinSource() {
  if (AcceptSymbol("(")) {
    Enter();
    if (Peek().IsWord("SELECT")) RaiseSql(jet::kErrNotSupported, "Subqueries are not supported by this engine.");
    std::unique_ptr<FromItem> inner = FromItemWithJoins();
    if (!AcceptSymbol(")")) Fail(kErrSyntaxInFrom, "Syntax error in FROM clause.");
    Leave();
    return inner;
  }
  auto item = std::make_unique<FromItem>();
  item->table = Table(kErrSyntaxInFrom, "Syntax error in FROM clause.", true);
  return item;
}

TableRef Parser::Table(int error, const char* text, bool allowAlias) {
  TableRef table;
  table.begin = Peek().begin;
  table.name = Name(error, text);
  // owner.table: the last part names the table.
  while (Peek().IsSymbol(".") && (Peek(1).kind == TokenKind::kName || Peek(1).kind == TokenKind::kBracketName)) {
    Next();
    table.name = Next().text;
  }
  table.end = PreviousEnd();
  if (allowAlias) {
    if (AcceptWord("AS")) {
      table.alias = Name(error, text);
    } else if (AtName()) {
      table.alias = Next().text;
    }
  }
  return table;
}

std::vector<OrderItem> Parser::OrderList(int error, const char* text) {
  std::vector<OrderItem> items;
  do {
    if (AtEnd() || Peek().IsSymbol(";")) Fail(error, text);
    OrderItem item;
    item.expr = Expression();
    if (AcceptWord("DESC")) {
      item.descending = true;
    } else {
      AcceptWord("ASC");
    }
    items.push_back(std::move(item));
  } while (AcceptSymbol(","));
  return items;
}

std::unique_ptr<InsertStatement> Parser::Insert() {
  Next();  // INSERT
  constexpr const char* kText = "Syntax error in INSERT INTO statement.";
  if (!AcceptWord("INTO")) Fail(kErrSyntaxInInsert, kText);
  auto insert = std::make_unique<InsertStatement>();
  insert->table = Table(kErrSyntaxInInsert, kText, false);
  if (AcceptSymbol("(")) {
    do {
      std::string name = Name(kErrSyntaxInInsert, kText);
      // Table.Field names the field of the target.
      if (AcceptSymbol(".")) name = Name(kErrSyntaxInInsert, kText);
      insert->columns.push_back(std::move(name));
    } while (AcceptSymbol(","));
    if (!AcceptSymbol(")")) Fail(kErrSyntaxInInsert, kText);
  }
  if (AcceptWord("VALUES")) {
    if (!AcceptSymbol("(")) Fail(kErrSyntaxInInsert, kText);
    do {
      insert->values.push_back(Expression());
    } while (AcceptSymbol(","));
    if (!AcceptSymbol(")")) Fail(kErrSyntaxInInsert, kText);
  } else if (Peek().IsWord("SELECT") || Peek().IsSymbol("(")) {
    insert->select = Select(false);
  } else {
    Fail(kErrSyntaxInInsert, kText);
  }
  return insert;
}

std::unique_ptr<UpdateStatement> Parser::Update() {
  Next();  // UPDATE
  constexpr const char* kText = "Syntax error in UPDATE statement.";
  auto update = std::make_unique<UpdateStatement>();
  if (!AtName() && !Peek().IsSymbol("(")) Fail(kErrSyntaxInUpdate, kText);
  update->from = FromList();
  if (!AcceptWord("SET")) Fail(kErrSyntaxInUpdate, kText);
  do {
    Assignment assignment;
    if (!AtName()) Fail(kErrSyntaxInUpdate, kText);
    assignment.target = NameOrCall();
    if (assignment.target->kind != ExprKind::kName) Fail(kErrSyntaxInUpdate, kText);
    if (!AcceptSymbol("=")) Fail(kErrSyntaxInUpdate, kText);
    assignment.value = Expression();
    update->assignments.push_back(std::move(assignment));
  } while (AcceptSymbol(","));
  if (AcceptWord("WHERE")) update->where = Expression();
  return update;
}

std::unique_ptr<DeleteStatement> Parser::Delete() {
  Next();  // DELETE
  auto remove = std::make_unique<DeleteStatement>();
  if (!Peek().IsWord("FROM")) {
    do {
      if (Peek().IsSymbol("*")) {
        remove->columns.push_back(Make(ExprKind::kStar, Next().begin));
      } else {
        if (!AtName()) Fail(kErrSyntaxInFrom, "Syntax error in FROM clause.");
        remove->columns.push_back(NameOrCall());
      }
    } while (AcceptSymbol(","));
  }
  if (!AcceptWord("FROM")) Fail(kErrSyntaxInFrom, "Syntax error in FROM clause.");
  remove->from = FromList();
  if (AcceptWord("WHERE")) remove->where = Expression();
  return remove;
}

std::vector<std::pair<std::string, bool>> Parser::IndexColumns(int error, const char* text) {
  std::vector<std::pair<std::string, bool>> columns;
  if (!AcceptSymbol("(")) Fail(error, text);
  do {
    std::string name = Name(error, text);
    bool descending = false;
    if (AcceptWord("DESC")) {
      descending = true;
    } else {
      AcceptWord("ASC");
    }
    columns.emplace_back(std::move(name), descending);
  } while (AcceptSymbol(","));
  if (!AcceptSymbol(")")) Fail(error, text);
  return columns;
}

// [CONSTRAINT name] PRIMARY KEY (cols) | UNIQUE (cols); nothing when the
// text does not start a constraint.
std::optional<IndexDecl> Parser::Constraint(int error, const char* text) {
  IndexDecl index;
  const bool named = AcceptWord("CONSTRAINT");
  if (named) index.name = Name(kErrSyntaxInConstraint, "Syntax error in CONSTRAINT clause.");
  if (AcceptWord("PRIMARY")) {
    if (!AcceptWord("KEY")) Fail(kErrSyntaxInConstraint, "Syntax error in CONSTRAINT clause.");
    index.primary = true;
  } else if (AcceptWord("UNIQUE")) {
    index.unique = true;
  } else if (named) {
    if (Peek().IsWord("FOREIGN") || Peek().IsWord("REFERENCES")) {
      RaiseSql(jet::kErrNotSupported, "Relationships are not supported by this engine.");
    }
    Fail(kErrSyntaxInConstraint, "Syntax error in CONSTRAINT clause.");
  } else {
    return std::nullopt;
  }
  index.columns = IndexColumns(error, text);
  return index;
}

ColumnDecl Parser::Column(int error, const char* text) {
  ColumnDecl column;
  column.name = Name(error, text);
  if (Peek().kind != TokenKind::kName) Fail(kErrSyntaxInFieldDefinition, "Syntax error in field definition.");
  const std::optional<int> type = TypeOfName(Next().text, &column.autoIncrement);
  if (!type || *type == 0) Fail(kErrSyntaxInFieldDefinition, "Syntax error in field definition.");
  column.daoType = *type;
  if (AcceptSymbol("(")) {
    if (Peek().kind != TokenKind::kNumber) Fail(kErrSyntaxInFieldDefinition, "Syntax error in field definition.");
    column.size = std::atoi(Next().text.c_str());
    // COUNTER (seed, increment) and DECIMAL (precision, scale).
    while (AcceptSymbol(",")) {
      if (Peek().kind != TokenKind::kNumber) Fail(kErrSyntaxInFieldDefinition, "Syntax error in field definition.");
      Next();
    }
    if (!AcceptSymbol(")")) Fail(kErrSyntaxInFieldDefinition, "Syntax error in field definition.");
  }
  while (true) {
    if (AcceptWord("NOT")) {
      if (!AcceptWord("NULL")) Fail(kErrSyntaxInFieldDefinition, "Syntax error in field definition.");
      column.notNull = true;
    } else if (AcceptWord("NULL")) {
      column.notNull = false;
    } else if (AcceptWord("CONSTRAINT")) {
      column.constraintName = Name(kErrSyntaxInConstraint, "Syntax error in CONSTRAINT clause.");
      if (AcceptWord("PRIMARY")) {
        if (!AcceptWord("KEY")) Fail(kErrSyntaxInConstraint, "Syntax error in CONSTRAINT clause.");
        column.primaryKey = true;
      } else if (AcceptWord("UNIQUE")) {
        column.unique = true;
      } else {
        Fail(kErrSyntaxInConstraint, "Syntax error in CONSTRAINT clause.");
      }
    } else if (AcceptWord("PRIMARY")) {
      if (!AcceptWord("KEY")) Fail(kErrSyntaxInConstraint, "Syntax error in CONSTRAINT clause.");
      column.primaryKey = true;
    } else if (AcceptWord("UNIQUE")) {
      column.unique = true;
    } else {
      return column;
    }
  }
}

void Parser::Create(sql::Statement& statement) {
  Next();  // CREATE
  if (AcceptWord("TABLE")) {
    constexpr const char* kText = "Syntax error in CREATE TABLE statement.";
    statement.kind = StatementKind::kCreateTable;
    auto create = std::make_unique<CreateTableStatement>();
    create->table = Table(kErrSyntaxInCreateTable, kText, false).name;
    if (!AcceptSymbol("(")) Fail(kErrSyntaxInCreateTable, kText);
    do {
      if (std::optional<IndexDecl> constraint = Constraint(kErrSyntaxInCreateTable, kText)) {
        create->constraints.push_back(std::move(*constraint));
      } else {
        create->columns.push_back(Column(kErrSyntaxInCreateTable, kText));
      }
    } while (AcceptSymbol(","));
    if (!AcceptSymbol(")")) Fail(kErrSyntaxInCreateTable, kText);
    statement.createTable = std::move(create);
    return;
  }
  constexpr const char* kText = "Syntax error in CREATE INDEX statement.";
  auto index = std::make_unique<IndexDecl>();
  index->unique = AcceptWord("UNIQUE");
  if (!AcceptWord("INDEX")) Fail(kErrSyntaxInCreateTable, "Syntax error in CREATE TABLE statement.");
  statement.kind = StatementKind::kCreateIndex;
  index->name = Name(kErrSyntaxInCreateIndex, kText);
  if (!AcceptWord("ON")) Fail(kErrSyntaxInCreateIndex, kText);
  index->table = Table(kErrSyntaxInCreateIndex, kText, false).name;
  index->columns = IndexColumns(kErrSyntaxInCreateIndex, kText);
  if (AcceptWord("WITH")) {
    if (AcceptWord("PRIMARY")) {
      index->primary = true;
    } else if (AcceptWord("DISALLOW") && AcceptWord("NULL")) {
      index->disallowNull = true;
    } else if (AcceptWord("IGNORE") && AcceptWord("NULL")) {
      index->ignoreNull = true;
    } else {
      Fail(kErrSyntaxInCreateIndex, kText);
    }
  }
  statement.createIndex = std::move(index);
}

std::unique_ptr<AlterTableStatement> Parser::Alter() {
  Next();  // ALTER
  constexpr const char* kText = "Syntax error in ALTER TABLE statement.";
  if (!AcceptWord("TABLE")) Fail(kErrSyntaxInAlterTable, kText);
  auto alter = std::make_unique<AlterTableStatement>();
  alter->table = Table(kErrSyntaxInAlterTable, kText, false).name;
  if (AcceptWord("ADD")) {
    if (std::optional<IndexDecl> constraint = Constraint(kErrSyntaxInAlterTable, kText)) {
      alter->addConstraint = std::move(*constraint);
    } else {
      AcceptWord("COLUMN");
      alter->addColumn = Column(kErrSyntaxInAlterTable, kText);
    }
  } else if (AcceptWord("DROP")) {
    if (AcceptWord("CONSTRAINT")) {
      alter->dropConstraint = Name(kErrSyntaxInAlterTable, kText);
    } else {
      AcceptWord("COLUMN");
      alter->dropColumn = Name(kErrSyntaxInAlterTable, kText);
    }
  } else if (Peek().IsWord("ALTER")) {
    RaiseSql(jet::kErrNotSupported, "Changing a column's definition is not supported by this engine.");
  } else {
    Fail(kErrSyntaxInAlterTable, kText);
  }
  return alter;
}

std::unique_ptr<DropStatement> Parser::Drop() {
  Next();  // DROP
  constexpr const char* kText = "Syntax error in DROP TABLE or DROP INDEX.";
  auto drop = std::make_unique<DropStatement>();
  if (AcceptWord("TABLE")) {
    drop->name = Table(kErrSyntaxInDrop, kText, false).name;
  } else if (AcceptWord("INDEX")) {
    drop->index = true;
    drop->name = Name(kErrSyntaxInDrop, kText);
    if (!AcceptWord("ON")) Fail(kErrSyntaxInDrop, kText);
    drop->table = Table(kErrSyntaxInDrop, kText, false).name;
  } else {
    Fail(kErrSyntaxInDrop, kText);
  }
  return drop;
}

}  // namespace

Statement ParseStatement(std::string_view text) { return Parser(text).ParseWhole(); }

ExprPtr ParseExpression(std::string_view text) { return Parser(text).StandaloneExpression(); }

std::vector<OrderItem> ParseOrderList(std::string_view text) { return Parser(text).StandaloneOrderList(); }

bool IsReservedWord(std::string_view word) {
  for (const std::string_view reserved : kReserved) {
    if (platform::AnsiSameText(word, reserved)) return true;
  }
  return false;
}

std::optional<int> TypeOfName(std::string_view name, bool* autoIncrement) {
  for (const TypeName& type : kTypeNames) {
    if (platform::AnsiSameText(name, type.name)) {
      if (autoIncrement != nullptr) *autoIncrement = type.autoIncrement;
      return type.daoType;
    }
  }
  return std::nullopt;
}

}  // namespace dao::sql
