#include "dao/sql/output_types.h"

#include "dao/constants.h"
#include "dao/sql/functions.h"
#include "platform/text_case.h"

namespace dao::sql {
namespace {

constexpr int kTextSize = 255;

SourceColumn Of(int type, int size = 0) { return {"", type, type == dbText ? (size == 0 ? kTextSize : size) : size}; }

bool IsWholeType(int type) { return type == dbBoolean || type == dbByte || type == dbInteger || type == dbLong; }

SourceColumn LiteralType(const platform::Variant& value) {
  switch (value.Type()) {
    case platform::VariantType::kBoolean: return Of(dbBoolean);
    case platform::VariantType::kByte: return Of(dbByte);
    case platform::VariantType::kInt16: return Of(dbInteger);
    case platform::VariantType::kInt32: return Of(dbLong);
    case platform::VariantType::kInt64: return Of(dbBigInt);
    case platform::VariantType::kSingle: return Of(dbSingle);
    case platform::VariantType::kCurrency: return Of(dbCurrency);
    case platform::VariantType::kDate: return Of(dbDate);
    case platform::VariantType::kBytes: return Of(dbBinary);
    case platform::VariantType::kGuid: return Of(dbGUID);
    case platform::VariantType::kString: return Of(dbText);
    case platform::VariantType::kEmpty:
    case platform::VariantType::kNull: return Of(dbText);
    default: return Of(dbDouble);
  }
}

SourceColumn ArithmeticType(Operator op, const SourceColumn& a, const SourceColumn& b) {
  switch (op) {
    case Operator::kDivide:
    case Operator::kPower: return Of(dbDouble);
    case Operator::kIntegerDivide:
    case Operator::kModulo: return Of(dbLong);
    default: break;
  }
  const bool text = a.daoType == dbText || a.daoType == dbMemo;
  if (op == Operator::kAdd && text && (b.daoType == dbText || b.daoType == dbMemo)) return Of(dbText);
  if (a.daoType == dbDate || b.daoType == dbDate) {
    return op == Operator::kSubtract && a.daoType == dbDate && b.daoType == dbDate ? Of(dbDouble) : Of(dbDate);
  }
  if (IsWholeType(a.daoType) && IsWholeType(b.daoType)) return Of(dbLong);
  if ((a.daoType == dbCurrency || IsWholeType(a.daoType)) && (b.daoType == dbCurrency || IsWholeType(b.daoType)))
    return Of(dbCurrency);
  return Of(dbDouble);
}

struct FunctionType {
  std::string_view name;
  int type;  // 0: the type of the argument given below
  int argument;
};

constexpr FunctionType kFunctionTypes[] = {
    {"Count", dbLong, 0},      {"Sum", 0, 0},           {"Avg", dbDouble, 0},     {"Min", 0, 0},
    {"Max", 0, 0},             {"First", 0, 0},         {"Last", 0, 0},           {"StDev", dbDouble, 0},
    {"StDevP", dbDouble, 0},   {"Var", dbDouble, 0},    {"VarP", dbDouble, 0},    {"IIf", 0, 1},
    {"Nz", 0, 0},              {"IsNull", dbBoolean, 0}, {"Len", dbLong, 0},      {"Left", dbText, 0},
    {"Right", dbText, 0},      {"Mid", dbText, 0},      {"UCase", dbText, 0},     {"LCase", dbText, 0},
    {"Trim", dbText, 0},       {"LTrim", dbText, 0},    {"RTrim", dbText, 0},     {"InStr", dbLong, 0},
    {"Replace", dbText, 0},    {"Space", dbText, 0},    {"StrComp", dbLong, 0},   {"Asc", dbLong, 0},
    {"Chr", dbText, 0},        {"Int", 0, 0},           {"Fix", 0, 0},            {"Abs", 0, 0},
    {"Sgn", dbLong, 0},        {"Sqr", dbDouble, 0},    {"Round", 0, 0},          {"Val", dbDouble, 0},
    {"CStr", dbText, 0},       {"CLng", dbLong, 0},     {"CInt", dbInteger, 0},   {"CByte", dbByte, 0},
    {"CDbl", dbDouble, 0},     {"CSng", dbSingle, 0},   {"CCur", dbCurrency, 0},  {"CBool", dbBoolean, 0},
    {"CDate", dbDate, 0},      {"CVar", 0, 0},          {"Year", dbInteger, 0},   {"Month", dbInteger, 0},
    {"Day", dbInteger, 0},     {"Hour", dbInteger, 0},  {"Minute", dbInteger, 0}, {"Second", dbInteger, 0},
    {"Weekday", dbInteger, 0}, {"DateSerial", dbDate, 0}, {"DateValue", dbDate, 0}, {"Date", dbDate, 0},
    {"Now", dbDate, 0},        {"Time", dbDate, 0},
};

}  // namespace

SourceColumn TypeOfExpression(const Expr& expr, const std::vector<BoundTable>& tables,
                              const std::vector<ParameterDecl>& parameters) {
  const auto typeOf = [&](const Expr& e) { return TypeOfExpression(e, tables, parameters); };
  switch (expr.kind) {
    case ExprKind::kLiteral: return LiteralType(expr.value);
    case ExprKind::kName:
      if (expr.bound == BoundKind::kColumn) {
        SourceColumn column = tables[static_cast<std::size_t>(expr.source)].columns[static_cast<std::size_t>(expr.index)];
        return column;
      }
      if (expr.bound == BoundKind::kParameter) {
        const ParameterDecl& parameter = parameters[static_cast<std::size_t>(expr.index)];
        return Of(parameter.daoType == 0 ? dbText : parameter.daoType, parameter.size);
      }
      return Of(dbText);
    case ExprKind::kUnary:
      if (expr.op == Operator::kNot) return Of(dbBoolean);
      {
        const SourceColumn operand = typeOf(*expr.args[0]);
        if (operand.daoType == dbByte || operand.daoType == dbBoolean) return Of(dbInteger);
        if (operand.daoType == dbText || operand.daoType == dbMemo) return Of(dbDouble);
        return Of(operand.daoType);
      }
    case ExprKind::kBinary:
      switch (expr.op) {
        case Operator::kConcatenate: return Of(dbText);
        case Operator::kAdd:
        case Operator::kSubtract:
        case Operator::kMultiply:
        case Operator::kDivide:
        case Operator::kIntegerDivide:
        case Operator::kModulo:
        case Operator::kPower: return ArithmeticType(expr.op, typeOf(*expr.args[0]), typeOf(*expr.args[1]));
        default: return Of(dbBoolean);
      }
    case ExprKind::kCall:
      for (const FunctionType& function : kFunctionTypes) {
        if (!platform::AnsiSameText(function.name, expr.name)) continue;
        if (function.type != 0) return Of(function.type);
        if (expr.args.size() <= static_cast<std::size_t>(function.argument) ||
            expr.args[static_cast<std::size_t>(function.argument)]->kind == ExprKind::kStar)
          return Of(dbLong);
        SourceColumn type = typeOf(*expr.args[static_cast<std::size_t>(function.argument)]);
        // Sums of whole numbers may leave the range of their type.
        if (platform::AnsiSameText(expr.name, "Sum") && IsWholeType(type.daoType)) return Of(dbDouble);
        type.name.clear();
        return type;
      }
      return Of(dbText);
    default: return Of(dbBoolean);
  }
}

}  // namespace dao::sql
