// The SQL engine against SQLite: the same rows go into a Jet database
// (through DAO) and into an in-memory SQLite database, and many generated
// SELECT statements run through both must give the same rows in the same
// order. Each statement is written twice: in Access SQL and in the SQLite
// SQL that means the same under Access's rules, spelled out here:
//   - text compares without regard to case (COLLATE NOCASE; the texts are
//     ASCII letters and digits, whose order both agree on);
//   - Null sorts first ascending and last descending (SQLite's default);
//   - `/` always divides as real numbers, `\` and Mod on whole numbers
//     truncate (SQLite's integer / and %);
//   - `&` treats one Null as an empty text, two as Null;
//   - LIKE's `*`, `?`, `#`, `[a-c]` and `[!a]` become GLOB over lower case;
//   - True is -1;
//   - Nz, IIf, Len, Left, Right, Mid, UCase, LCase, Abs, Fix, Int become
//     COALESCE, CASE, length, substr, upper, lower, abs and CASTs.
// Statements always end their ORDER BY with the unique ids so that the
// order is determined. Text with letters beyond ASCII is checked apart:
// its order must be the order of the database's text index.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dao/constants.h"
#include "dao/dao_error.h"
#include "dao/db_engine.h"
#include "dao/tests/write_support.h"

namespace dao {
namespace {

using platform::Variant;

enum class Kind { kWhole, kReal, kText, kDate };

struct ColumnSpec {
  const char* name;
  int daoType;
  const char* sqliteType;
  Kind kind;
};

// Every type with a meaning in SQLite; Yes/No columns are never Null in Jet.
const ColumnSpec kMainColumns[] = {
    {"id", dbLong, "INTEGER", Kind::kWhole},   {"b", dbBoolean, "INTEGER", Kind::kWhole},
    {"y", dbByte, "INTEGER", Kind::kWhole},    {"i", dbInteger, "INTEGER", Kind::kWhole},
    {"l", dbLong, "INTEGER", Kind::kWhole},    {"c", dbCurrency, "REAL", Kind::kReal},
    {"s", dbSingle, "REAL", Kind::kReal},      {"d", dbDouble, "REAL", Kind::kReal},
    {"dt", dbDate, "REAL", Kind::kDate},       {"t", dbText, "TEXT COLLATE NOCASE", Kind::kText},
    {"m", dbMemo, "TEXT COLLATE NOCASE", Kind::kText},
};
const ColumnSpec kSideColumns[] = {
    {"j", dbLong, "INTEGER", Kind::kWhole},
    {"k", dbLong, "INTEGER", Kind::kWhole},
    {"v", dbLong, "INTEGER", Kind::kWhole},
    {"u", dbText, "TEXT COLLATE NOCASE", Kind::kText},
    {"e", dbDouble, "REAL", Kind::kReal},
};

constexpr int kMainRows = 150;
constexpr int kSideRows = 40;
constexpr int kQueries = 10'000;

// One value as both databases hold it.
struct Cell {
  bool null = true;
  double number = 0;
  std::string text;
};

// An expression in both languages.
struct Expr {
  std::string access;
  std::string sqlite;
  Kind kind;
};

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random_(seed) {}

  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Between(0, static_cast<int>(items.size()) - 1))];
  }

  std::string Text(int longest) {
    static const char kLetters[] = "abcdABCD012";
    std::string text;
    const int length = Between(1, longest);
    for (int i = 0; i < length; ++i) text += kLetters[Between(0, 10)];
    return text;
  }

  Cell Value(const ColumnSpec& column, int row) {
    Cell cell;
    const std::string name = column.name;
    if (name == "id" || name == "j") return {false, static_cast<double>(row + 1), {}};
    if (name == "b") return {false, Chance(50) ? -1.0 : 0.0, {}};
    if (Chance(15)) return cell;
    cell.null = false;
    if (name == "y") cell.number = Between(0, 20);
    if (name == "i") cell.number = Between(-50, 50);
    if (name == "l" || name == "k" || name == "v") cell.number = Between(-12, 12);
    if (name == "c") cell.number = Between(-400, 400) / 4.0;    // exact as currency and as double
    if (name == "s") cell.number = Between(-64, 64) / 8.0;      // exact as single
    if (name == "d" || name == "e") cell.number = Between(-2000, 2000) / 16.0;
    if (name == "dt") cell.number = 45000 + Between(0, 60) + Between(0, 3) / 4.0;
    if (column.kind == Kind::kText) cell.text = Text(name == "m" ? 6 : 4);
    return cell;
  }

  // A text literal in both languages (no quotes inside).
  Expr TextLiteral() {
    const std::string text = Text(3);
    return {"'" + text + "'", "'" + text + "'", Kind::kText};
  }

  Expr Column(const std::string& table, Kind kind) {
    std::vector<std::string> names;
    const auto add = [&](const ColumnSpec* begin, const ColumnSpec* end) {
      for (const ColumnSpec* column = begin; column != end; ++column) {
        if (column->kind == kind) names.push_back(column->name);
      }
    };
    if (table != "T2") add(std::begin(kMainColumns), std::end(kMainColumns));
    if (table != "T1") add(std::begin(kSideColumns), std::end(kSideColumns));
    const std::string name = Pick(names);
    const bool side = std::any_of(std::begin(kSideColumns), std::end(kSideColumns),
                                  [&](const ColumnSpec& c) { return name == c.name; });
    const std::string qualified = (side ? "T2." : "T1.") + name;
    return {qualified, qualified, kind};
  }

  // A numeric expression over the columns of `table` ("T1", "T2" or
  // "both"); `whole` keeps it whole-numbered.
  Expr Number(const std::string& table, int depth, bool whole) {
    const int choice = depth <= 0 ? Between(0, 1) : Between(0, whole ? 9 : 12);
    switch (choice) {
      case 0: return Column(table, whole || Chance(50) ? Kind::kWhole : Kind::kReal);
      case 1: {
        const std::string number = std::to_string(Between(-9, 9));
        return {number, number, Kind::kWhole};
      }
      case 2:
      case 3: {
        const Expr a = Number(table, depth - 1, whole), b = Number(table, depth - 1, whole);
        const char* op = choice == 2 ? "+" : "-";
        return {"(" + a.access + " " + op + " " + b.access + ")", "(" + a.sqlite + " " + op + " " + b.sqlite + ")",
                Merge(a, b)};
      }
      case 4: {
        const Expr a = Number(table, depth - 1, whole);
        const std::string factor = std::to_string(Between(-4, 4));
        return {"(" + a.access + " * " + factor + ")", "(" + a.sqlite + " * " + factor + ")", a.kind};
      }
      case 5: {
        const Expr a = Number(table, depth - 1, true);
        const std::string divisor = std::to_string(Chance(50) ? Between(1, 7) : -Between(1, 7));
        return {"(" + a.access + " \\ " + divisor + ")", "(" + a.sqlite + " / " + divisor + ")", Kind::kWhole};
      }
      case 6: {
        const Expr a = Number(table, depth - 1, true);
        const std::string divisor = std::to_string(Chance(50) ? Between(1, 7) : -Between(1, 7));
        return {"(" + a.access + " Mod " + divisor + ")", "(" + a.sqlite + " % " + divisor + ")", Kind::kWhole};
      }
      case 7: {
        const Expr a = Number(table, depth - 1, whole);
        return {"Abs(" + a.access + ")", "abs(" + a.sqlite + ")", a.kind};
      }
      case 8: {
        const Expr a = Number(table, depth - 1, whole);
        return {"Nz(" + a.access + ", 0)", "coalesce(" + a.sqlite + ", 0)", a.kind};
      }
      case 9: {
        const Expr text = Text(table, depth - 1);
        return {"Len(" + text.access + ")", "length(" + text.sqlite + ")", Kind::kWhole};
      }
      case 10: {
        const Expr a = Number(table, depth - 1, false);
        const std::string divisor = std::to_string(Between(1, 9));
        return {"(" + a.access + " / " + divisor + ")", "(CAST(" + a.sqlite + " AS REAL) / " + divisor + ")",
                Kind::kReal};
      }
      case 11: {
        const Expr a = Column(table, Kind::kReal);
        return {"Fix(" + a.access + ")", "CAST(" + a.sqlite + " AS INTEGER)", Kind::kReal};
      }
      default: {
        const Expr a = Column(table, Kind::kReal);
        const std::string& x = a.sqlite;
        return {"Int(" + a.access + ")",
                "(CASE WHEN " + x + " < CAST(" + x + " AS INTEGER) THEN CAST(" + x + " AS INTEGER) - 1 ELSE CAST(" +
                    x + " AS INTEGER) END)",
                Kind::kReal};
      }
    }
  }

  Expr Text(const std::string& table, int depth) {
    const int choice = depth <= 0 ? Between(0, 1) : Between(0, 6);
    switch (choice) {
      case 0: return Column(table, Kind::kText);
      case 1: return TextLiteral();
      case 2: {
        const Expr a = Text(table, depth - 1), b = Text(table, depth - 1);
        return {"(" + a.access + " & " + b.access + ")",
                "(CASE WHEN " + a.sqlite + " IS NULL AND " + b.sqlite + " IS NULL THEN NULL ELSE coalesce(" + a.sqlite +
                    ", '') || coalesce(" + b.sqlite + ", '') END)",
                Kind::kText};
      }
      case 3: {
        const Expr a = Text(table, depth - 1);
        const std::string n = std::to_string(Between(0, 5));
        return Chance(50) ? Expr{"Left(" + a.access + ", " + n + ")", "substr(" + a.sqlite + ", 1, " + n + ")", Kind::kText}
                          : Expr{"Right(" + a.access + ", " + n + ")",
                                 "(CASE WHEN " + n + " = 0 THEN substr(" + a.sqlite + ", 1, 0) ELSE substr(" + a.sqlite +
                                     ", -" + n + ") END)",
                                 Kind::kText};
      }
      case 4: {
        const Expr a = Text(table, depth - 1);
        const std::string start = std::to_string(Between(1, 4)), length = std::to_string(Between(0, 4));
        return {"Mid(" + a.access + ", " + start + ", " + length + ")",
                "substr(" + a.sqlite + ", " + start + ", " + length + ")", Kind::kText};
      }
      case 5: {
        const Expr a = Text(table, depth - 1);
        return Chance(50) ? Expr{"UCase(" + a.access + ")", "upper(" + a.sqlite + ")", Kind::kText}
                          : Expr{"LCase(" + a.access + ")", "lower(" + a.sqlite + ")", Kind::kText};
      }
      default: {
        const Expr a = Text(table, depth - 1), b = Text(table, depth - 1);
        return {"Nz(" + a.access + ", " + b.access + ")", "coalesce(" + a.sqlite + ", " + b.sqlite + ")", Kind::kText};
      }
    }
  }

  // A LIKE pattern in Access's wildcards and as a GLOB over lower case.
  std::pair<std::string, std::string> Pattern() {
    std::string access, glob;
    const int parts = Between(1, 4);
    for (int i = 0; i < parts; ++i) {
      switch (Between(0, 6)) {
        case 0: access += "*"; glob += "*"; break;
        case 1: access += "?"; glob += "?"; break;
        case 2: access += "#"; glob += "[0-9]"; break;
        case 3: access += "[a-c]"; glob += "[a-c]"; break;
        case 4: access += "[!b]"; glob += "[^b]"; break;
        default: {
          const std::string text = Text(1);
          access += text;
          for (const char c : text) glob += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
      }
    }
    return {access, glob};
  }

  // A comparison of two values of one kind.
  Expr Comparison(const std::string& table, int depth) {
    static const std::vector<std::string> kOperators{"=", "<>", "<", "<=", ">", ">="};
    const std::string op = Pick(kOperators);
    switch (Between(0, 3)) {
      case 0: {
        const Expr a = Text(table, depth), b = Chance(60) ? TextLiteral() : Text(table, depth);
        return {a.access + " " + op + " " + b.access,
                "(" + a.sqlite + ") COLLATE NOCASE " + op + " (" + b.sqlite + ") COLLATE NOCASE", Kind::kWhole};
      }
      case 1: {
        const Expr a = Column(table, Kind::kDate);
        const int day = Between(0, 60);
        const int hour = Between(0, 3) * 6;
        const std::string literal = DateLiteral(day, hour);
        const std::string serial = std::to_string(45000 + day) + " + " + std::to_string(hour) + ".0 / 24";
        return {a.access + " " + op + " " + literal, a.sqlite + " " + op + " (" + serial + ")", Kind::kWhole};
      }
      default: {
        const Expr a = Number(table, depth, false), b = Number(table, depth, false);
        return {a.access + " " + op + " " + b.access, a.sqlite + " " + op + " " + b.sqlite, Kind::kWhole};
      }
    }
  }

  // A condition: comparisons, Null tests, IN, BETWEEN and LIKE joined by
  // AND, OR, XOR and NOT.
  Expr Condition(const std::string& table, int depth) {
    const int choice = depth <= 0 ? Between(0, 5) : Between(0, 9);
    switch (choice) {
      case 0:
      case 1: return Comparison(table, depth > 0 ? 1 : 0);
      case 2: {
        const Expr a = Chance(50) ? Column(table, Kind::kText) : Number(table, 0, false);
        const bool negated = Chance(50);
        const std::string test = negated ? " IS NOT NULL" : " IS NULL";
        return {a.access + test, a.sqlite + test, Kind::kWhole};
      }
      case 3: {
        const bool text = Chance(50);
        const Expr a = text ? Column(table, Kind::kText) : Number(table, 0, true);
        std::string list;
        for (int n = Between(1, 4); n > 0; --n) {
          list += (list.empty() ? "" : ", ") + (text ? TextLiteral().access : std::to_string(Between(-12, 12)));
        }
        const std::string not_ = Chance(30) ? " NOT" : "";
        return {a.access + not_ + " IN (" + list + ")",
                (text ? "(" + a.sqlite + ") COLLATE NOCASE" : a.sqlite) + not_ + " IN (" + list + ")", Kind::kWhole};
      }
      case 4: {
        if (Chance(30)) {
          // Texts in order: the bounds sorted without regard to case.
          const Expr a = Column(table, Kind::kText);
          std::string low = Text(2), high = Text(2);
          const auto folded = [](std::string text) {
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return text;
          };
          if (folded(high) < folded(low)) std::swap(low, high);
          const std::string bounds = "'" + low + "' AND '" + high + "'";
          return {a.access + " BETWEEN " + bounds, "(" + a.sqlite + ") COLLATE NOCASE BETWEEN " + bounds, Kind::kWhole};
        }
        const Expr a = Number(table, 1, false);
        const int low = Between(-20, 10);
        const std::string bounds = std::to_string(low) + " AND " + std::to_string(low + Between(0, 15));
        return {a.access + " BETWEEN " + bounds, a.sqlite + " BETWEEN " + bounds, Kind::kWhole};
      }
      case 5: {
        const Expr a = Column(table, Kind::kText);
        const auto [access, glob] = Pattern();
        const bool negated = Chance(25);
        return {a.access + (negated ? " NOT" : "") + " LIKE '" + access + "'",
                "lower(" + a.sqlite + ")" + (negated ? " NOT" : "") + " GLOB '" + glob + "'", Kind::kWhole};
      }
      case 6:
      case 7: {
        const Expr a = Condition(table, depth - 1), b = Condition(table, depth - 1);
        const char* op = choice == 6 ? "AND" : "OR";
        return {"(" + a.access + ") " + op + " (" + b.access + ")", "(" + a.sqlite + ") " + op + " (" + b.sqlite + ")",
                Kind::kWhole};
      }
      case 8: {
        const Expr a = Condition(table, depth - 1);
        return {"NOT (" + a.access + ")", "NOT (" + a.sqlite + ")", Kind::kWhole};
      }
      default: {
        const Expr a = Condition(table, depth - 1), b = Condition(table, depth - 1);
        return {"(" + a.access + ") XOR (" + b.access + ")",
                "(CASE WHEN (" + a.sqlite + ") IS NULL OR (" + b.sqlite + ") IS NULL THEN NULL ELSE ((" + a.sqlite +
                    ") <> 0) <> ((" + b.sqlite + ") <> 0) END)",
                Kind::kWhole};
      }
    }
  }

  // An output value: a number, a text, or IIf of a condition.
  Expr Output(const std::string& table) {
    switch (Between(0, 4)) {
      case 0:
      case 1: return Number(table, 2, Chance(50));
      case 2:
      case 3: return Text(table, 2);
      default: {
        const Expr c = Condition(table, 0), a = Number(table, 1, true), b = Number(table, 1, true);
        return {"IIf(" + c.access + ", " + a.access + ", " + b.access + ")",
                "(CASE WHEN " + c.sqlite + " THEN " + a.sqlite + " ELSE " + b.sqlite + " END)", Kind::kWhole};
      }
    }
  }

  static std::string DateLiteral(int day, int hour) {
    // 45000 is 2023-03-15.
    static const int kMonthDays[] = {31, 30, 31, 30, 31, 31, 30};
    int month = 3, dayOfMonth = 15 + day;
    for (int m = 0; dayOfMonth > kMonthDays[m]; ++m) {
      dayOfMonth -= kMonthDays[m];
      ++month;
    }
    char text[40];
    std::snprintf(text, sizeof text, "#2023-%02d-%02d %02d:00#", month, dayOfMonth, hour);
    return text;
  }

 private:
  static Kind Merge(const Expr& a, const Expr& b) {
    return a.kind == Kind::kWhole && b.kind == Kind::kWhole ? Kind::kWhole : Kind::kReal;
  }
  std::mt19937 random_;
};

// A statement in both languages, and which output columns may differ in
// letter case (the representative of a case-insensitive group).
struct Statement {
  std::string access;
  std::string sqlite;
  std::vector<bool> anyCase;
};

Statement MakeStatement(Generator& g) {
  Statement statement;
  std::vector<Expr> outputs;
  std::string from, fromSqlite, order, table;
  std::vector<std::string> keys;  // ids that make the order unique
  switch (g.Between(0, 9)) {
    case 0:
    case 1: {
      // Grouping: one or two key columns, aggregates of numbers and of
      // texts, HAVING sometimes.
      const bool textKey = g.Chance(50);
      const Expr key = textKey ? g.Column("T1", Kind::kText) : g.Column("T1", Kind::kWhole);
      std::string keys = key.access, keysSqlite = key.sqlite + (textKey ? " COLLATE NOCASE" : "");
      std::string select = key.access, selectSqlite = key.sqlite;
      statement.anyCase.push_back(textKey);
      const std::string direction = g.Chance(50) ? " DESC" : "";
      std::string orderBy = key.access + direction, orderBySqlite = keysSqlite + direction;
      if (g.Chance(30)) {
        const Expr second = g.Column("T1", Kind::kWhole);
        if (second.access != key.access) {
          keys += ", " + second.access;
          keysSqlite += ", " + second.sqlite;
          select += ", " + second.access;
          selectSqlite += ", " + second.sqlite;
          orderBy += ", " + second.access;
          orderBySqlite += ", " + second.sqlite;
          statement.anyCase.push_back(false);
        }
      }
      static const std::vector<std::string> kAggregates{"Count", "Sum", "Avg", "Min", "Max"};
      std::vector<std::pair<std::string, std::string>> aggregates;
      for (int n = g.Between(1, 3); n > 0; --n) {
        if (g.Chance(20)) {
          aggregates.emplace_back("Count(*)", "count(*)");
          statement.anyCase.push_back(false);
          continue;
        }
        // Min and Max of a text: which of the texts equal but for case
        // stands for them is not defined.
        const bool text = g.Chance(25);
        const std::string aggregate = text ? (g.Chance(50) ? "Min" : "Max") : g.Pick(kAggregates);
        const Expr value = text ? g.Column("T1", Kind::kText) : g.Number("T1", g.Between(0, 1), false);
        aggregates.emplace_back(aggregate + "(" + value.access + ")", aggregate + "(" + value.sqlite + ")");
        statement.anyCase.push_back(text);
      }
      for (const auto& [access, sqlite] : aggregates) {
        select += ", " + access;
        selectSqlite += ", " + sqlite;
      }
      std::string where, whereSqlite;
      if (g.Chance(50)) {
        const Expr c = g.Condition("T1", 1);
        where = " WHERE " + c.access;
        whereSqlite = " WHERE " + c.sqlite;
      }
      std::string having, havingSqlite;
      if (g.Chance(30)) {
        const std::string count = std::to_string(g.Between(1, 8));
        having = " HAVING Count(*) >= " + count;
        havingSqlite = " HAVING count(*) >= " + count;
      } else if (g.Chance(20)) {
        const auto& [access, sqlite] = g.Pick(aggregates);
        having = " HAVING " + access + " IS NOT NULL";
        havingSqlite = " HAVING " + sqlite + " IS NOT NULL";
      }
      statement.access =
          "SELECT " + select + " FROM T1" + where + " GROUP BY " + keys + having + " ORDER BY " + orderBy;
      statement.sqlite = "SELECT " + selectSqlite + " FROM T1" + whereSqlite + " GROUP BY " + keysSqlite +
                         havingSqlite + " ORDER BY " + orderBySqlite;
      return statement;
    }
    case 4: {
      // DISTINCT values, ordered by themselves (Access allows no other
      // order with DISTINCT).
      Expr value;
      do {
        value = g.Number("T1", g.Between(0, 2), g.Chance(50));
      } while (value.access.find('.') == std::string::npos);
      std::string where, whereSqlite;
      if (g.Chance(60)) {
        const Expr c = g.Condition("T1", 1);
        where = " WHERE " + c.access;
        whereSqlite = " WHERE " + c.sqlite;
      }
      const std::string direction = g.Chance(50) ? " DESC" : "";
      statement.access = "SELECT DISTINCT " + value.access + " FROM T1" + where + " ORDER BY " + value.access + direction;
      statement.sqlite =
          "SELECT DISTINCT " + value.sqlite + " FROM T1" + whereSqlite + " ORDER BY " + value.sqlite + direction;
      statement.anyCase.push_back(false);
      return statement;
    }
    case 2:
    case 3: {
      // Joins on the whole-numbered keys.
      static const std::vector<std::string> kJoins{"INNER", "LEFT", "RIGHT"};
      const std::string join = g.Pick(kJoins);
      from = "T1 " + join + " JOIN T2 ON T1.l = T2.k";
      keys = {"T1.id", "T2.j"};
      if (g.Chance(30)) {
        from = "T1, T2";
      } else if (g.Chance(30)) {
        // A join beside a third, small set of rows.
        from += ", T2 AS T3";
        keys.push_back("T3.j");
      }
      fromSqlite = from;
      table = "both";
      break;
    }
    default:
      from = fromSqlite = "T1";
      table = "T1";
      keys = {"T1.id"};
  }
  std::string select, selectSqlite;
  for (int n = g.Between(1, 3); n > 0; --n) {
    const Expr output = g.Output(table);
    select += (select.empty() ? "" : ", ") + output.access;
    selectSqlite += (selectSqlite.empty() ? "" : ", ") + output.sqlite;
    statement.anyCase.push_back(false);
  }
  for (const std::string& key : keys) {
    select += ", " + key;
    selectSqlite += ", " + key;
    statement.anyCase.push_back(false);
  }
  std::string where, whereSqlite;
  if (g.Chance(85)) {
    const Expr c = g.Condition(table, g.Between(0, 3));
    where = " WHERE (" + c.access + ")";
    whereSqlite = " WHERE (" + c.sqlite + ")";
  }
  const auto alsoWhere = [&](const std::string& condition) {
    where = (where.empty() ? " WHERE " : where + " AND ") + condition;
    whereSqlite = (whereSqlite.empty() ? " WHERE " : whereSqlite + " AND ") + condition;
  };
  if (from == "T1, T2") alsoWhere("T1.l = T2.k");
  if (from.ends_with("T2 AS T3")) alsoWhere("T3.j <= 3");
  std::string orderBy, orderBySqlite;
  if (g.Chance(70)) {
    // A sort key names a column: a number alone would be a column's place.
    Expr sortKey;
    do {
      sortKey = g.Chance(50) ? g.Text(table, 1) : g.Number(table, 1, false);
    } while (sortKey.access.find('.') == std::string::npos);
    const std::string direction = g.Chance(50) ? " DESC" : "";
    orderBy = sortKey.access + direction + ", ";
    orderBySqlite = sortKey.sqlite + (sortKey.kind == Kind::kText ? " COLLATE NOCASE" : "") + direction + ", ";
  }
  // The ids come last, in their own direction, Null first as Access sorts.
  for (std::size_t i = 0; i < keys.size(); ++i) {
    orderBy += (i ? ", " : "") + keys[i];
    orderBySqlite += (i ? ", " : "") + keys[i];
  }
  // TOP n keeps rows tied with the last one; the ids leave no ties.
  const int top = g.Chance(15) ? g.Between(1, 20) : 0;
  statement.access = "SELECT " + (top ? "TOP " + std::to_string(top) + " " : std::string()) + select + " FROM " + from +
                     where + " ORDER BY " + orderBy;
  statement.sqlite = "SELECT " + selectSqlite + " FROM " + fromSqlite + whereSqlite + " ORDER BY " + orderBySqlite +
                     (top ? " LIMIT " + std::to_string(top) : std::string());
  return statement;
}

// A result value in a form both sides give the same way.
std::string Canonical(const Cell& cell, bool anyCase) {
  if (cell.null) return "<null>";
  if (!cell.text.empty() || cell.number != cell.number) {
    std::string text = cell.text;
    if (anyCase) {
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return "'" + text + "'";
  }
  char number[40];
  // Sums and averages of reals may differ in their last bits.
  std::snprintf(number, sizeof number, "%.9g", std::fabs(cell.number) < 1e-9 ? 0.0 : cell.number);
  return number;
}

Cell CellOf(const Variant& value) {
  Cell cell;
  if (value.IsNull()) return cell;
  cell.null = false;
  if (value.Type() == platform::VariantType::kString) {
    cell.text = value.ToText();
    cell.number = std::nan("");  // marks a text, also an empty one
  } else if (value.Type() == platform::VariantType::kBoolean) {
    cell.number = value.ToBoolean() ? -1 : 0;
  } else {
    cell.number = value.ToDouble();
  }
  return cell;
}

class SqlDifferentialTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    ASSERT_EQ(sqlite3_open(":memory:", &sqlite_), SQLITE_OK);
    database_ = NewDatabase("differential.mdb");
    Generator g(20240131);
    Fill(g, "T1", kMainColumns, kMainRows);
    Fill(g, "T2", kSideColumns, kSideRows);
  }
  void TearDown() override { sqlite3_close(sqlite_); }

  template <std::size_t N>
  void Fill(Generator& g, const std::string& name, const ColumnSpec (&columns)[N], int rows) {
    auto table = database_->CreateTableDef(name);
    std::string create = "CREATE TABLE " + name + " (", insert = "INSERT INTO " + name + " VALUES (";
    for (std::size_t c = 0; c < N; ++c) {
      testing::AppendField(*table, columns[c].name, columns[c].daoType, columns[c].daoType == dbText ? 20 : 0);
      create += std::string(c ? ", " : "") + columns[c].name + " " + columns[c].sqliteType;
      insert += c ? ", ?" : "?";
    }
    database_->TableDefs().Append(table);
    Exec(create + ")");
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(sqlite_, (insert + ")").c_str(), -1, &statement, nullptr), SQLITE_OK);
    const auto recordset = database_->OpenRecordset(name, dbOpenTable);
    for (int row = 0; row < rows; ++row) {
      std::vector<std::pair<std::string, Variant>> values;
      for (std::size_t c = 0; c < N; ++c) {
        const Cell cell = g.Value(columns[c], row);
        const int at = static_cast<int>(c) + 1;
        if (cell.null) {
          sqlite3_bind_null(statement, at);
          values.emplace_back(columns[c].name, Variant::Null());
        } else if (columns[c].kind == Kind::kText) {
          sqlite3_bind_text(statement, at, cell.text.c_str(), -1, SQLITE_TRANSIENT);
          values.emplace_back(columns[c].name, Variant(cell.text));
        } else if (columns[c].kind == Kind::kWhole) {
          sqlite3_bind_int64(statement, at, static_cast<sqlite3_int64>(cell.number));
          values.emplace_back(columns[c].name, columns[c].daoType == dbBoolean ? Variant(cell.number != 0)
                                                                               : Variant(static_cast<int>(cell.number)));
        } else {
          sqlite3_bind_double(statement, at, cell.number);
          values.emplace_back(columns[c].name,
                              columns[c].daoType == dbDate ? Variant::FromDate(cell.number) : Variant(cell.number));
        }
      }
      testing::AddRow(*recordset, values);
      ASSERT_EQ(sqlite3_step(statement), SQLITE_DONE);
      sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
  }

  void Exec(const std::string& sql) {
    char* message = nullptr;
    ASSERT_EQ(sqlite3_exec(sqlite_, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << message;
  }

  std::vector<std::string> SqliteRows(const Statement& statement) {
    std::vector<std::string> rows;
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(sqlite_, statement.sqlite.c_str(), -1, &prepared, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << "SQLite refuses " << statement.sqlite << ": " << sqlite3_errmsg(sqlite_);
      return rows;
    }
    while (sqlite3_step(prepared) == SQLITE_ROW) {
      std::string row;
      for (int c = 0; c < sqlite3_column_count(prepared); ++c) {
        Cell cell;
        switch (sqlite3_column_type(prepared, c)) {
          case SQLITE_NULL: break;
          case SQLITE_TEXT:
            cell.null = false;
            cell.text = reinterpret_cast<const char*>(sqlite3_column_text(prepared, c));
            cell.number = std::nan("");
            break;
          default: cell.null = false; cell.number = sqlite3_column_double(prepared, c);
        }
        row += Canonical(cell, statement.anyCase[static_cast<std::size_t>(c)]) + " | ";
      }
      rows.push_back(row);
    }
    sqlite3_finalize(prepared);
    return rows;
  }

  std::vector<std::string> JetRows(const Statement& statement) {
    std::vector<std::string> rows;
    const auto recordset = database_->OpenRecordset(statement.access, dbOpenSnapshot);
    const FieldCollection& fields = recordset->Fields();
    for (; !recordset->AtEOF(); recordset->MoveNext()) {
      std::string row;
      for (int c = 0; c < fields.Count(); ++c) {
        row += Canonical(CellOf(fields.Item(c)->Value()), statement.anyCase[static_cast<std::size_t>(c)]) + " | ";
      }
      rows.push_back(row);
    }
    return rows;
  }

  sqlite3* sqlite_ = nullptr;
  std::shared_ptr<Database> database_;
};

TEST_F(SqlDifferentialTest, GeneratedQueriesGiveTheRowsSqliteGivesInTheSameOrder) {
  Generator g(7);
  int compared = 0, nonEmpty = 0, failures = 0;
  for (int n = 0; n < kQueries && failures < 10; ++n) {
    const Statement statement = MakeStatement(g);
    const std::vector<std::string> expected = SqliteRows(statement);
    std::vector<std::string> actual;
    try {
      actual = JetRows(statement);
    } catch (const DaoError& error) {
      ADD_FAILURE() << statement.access << "\nraises " << error.Number() << " " << error.what();
      ++failures;
      continue;
    }
    ++compared;
    if (!expected.empty()) ++nonEmpty;
    if (actual != expected) {
      ++failures;
      std::string shown;
      for (std::size_t r = 0; r < std::max(actual.size(), expected.size()) && r < 12; ++r) {
        shown += "\n  ours:   " + (r < actual.size() ? actual[r] : "-") + "\n  sqlite: " +
                 (r < expected.size() ? expected[r] : "-");
      }
      ADD_FAILURE() << statement.access << "\n" << statement.sqlite << "\n" << actual.size() << " rows against "
                    << expected.size() << shown;
    }
  }
  EXPECT_EQ(compared, kQueries);
  // The generator must produce conditions that keep rows, not only empty
  // results.
  EXPECT_GT(nonEmpty, kQueries / 2);
}

TEST_F(SqlDifferentialTest, TextBeyondAsciiSortsAsTheTextIndexOrdersIt) {
  const std::vector<std::string> words{"Äpfel", "apfel", "Apfelmus", "Öl", "ol", "Ofen", "Straße", "strasse",
                                       "Strasse", "Müsli", "Musli", "Mus", "éclair", "Eclair", "ecl", "Zucker",
                                       "zürich", "Zurich", "ß", "ss", "s", "Ü", "u", "Übel", "uber"};
  auto table = database_->CreateTableDef("W");
  testing::AppendField(*table, "n", dbLong);
  testing::AppendField(*table, "w", dbText, 20);
  testing::AppendIndex(*table, "ByWord", {"w", "n"});
  database_->TableDefs().Append(table);
  {
    const auto rows = database_->OpenRecordset("W", dbOpenTable);
    for (std::size_t i = 0; i < words.size(); ++i) {
      testing::AddRow(*rows, {{"n", Variant(static_cast<int>(i))}, {"w", Variant(words[i])}});
    }
  }
  const auto indexed = database_->OpenRecordset("W", dbOpenTable);
  indexed->SetIndex("ByWord");
  std::vector<std::string> byIndex;
  for (indexed->MoveFirst(); !indexed->AtEOF(); indexed->MoveNext()) {
    byIndex.push_back(indexed->Fields().Item("w")->Value().ToText());
  }
  const auto sorted = database_->OpenRecordset("SELECT w FROM W ORDER BY w, n", dbOpenSnapshot);
  std::vector<std::string> bySql;
  for (; !sorted->AtEOF(); sorted->MoveNext()) bySql.push_back(sorted->Fields().Item("w")->Value().ToText());
  EXPECT_EQ(bySql, byIndex);
}

}  // namespace
}  // namespace dao
