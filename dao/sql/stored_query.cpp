#include "dao/sql/stored_query.h"

#include <algorithm>
#include <functional>
#include <map>

#include "dao/constants.h"
#include "dao/sql/parser.h"
#include "platform/text_case.h"

namespace dao::sql {
namespace {

using jet::QueryRow;

// The values of the type row's flag.
enum RowType : std::int16_t {
  kRowSelect = 1,
  kRowMakeTable = 2,
  kRowAppend = 3,
  kRowUpdate = 4,
  kRowDelete = 5,
  kRowCrosstab = 6,
  kRowDataDefinition = 7,
  kRowPassThrough = 8,
  kRowUnion = 9,
};

// Bits of the options row's flag.
enum OptionBits : std::int16_t {
  kAllFields = 0x01,
  kDistinct = 0x02,
  kOwnerAccess = 0x04,
  kDistinctRow = 0x08,
  kTop = 0x10,
  kPercent = 0x20,
};

// The crosstab roles of columns and GROUP BY terms.
enum CrosstabRole : std::int16_t { kValue = 0, kColumnHeading = 1, kRowHeading = 2 };

constexpr const char* kLineBreak = "\r\n";

struct TypeMapping {
  RowType row;
  int dao;
};

constexpr TypeMapping kTypes[] = {
    {kRowSelect, kQuerySelect},       {kRowMakeTable, kQueryMakeTable},
    {kRowAppend, kQueryAppend},       {kRowUpdate, kQueryUpdate},
    {kRowDelete, kQueryDelete},       {kRowCrosstab, kQueryCrosstab},
    {kRowDataDefinition, kQueryDataDefinition}, {kRowPassThrough, kQueryPassThrough},
    {kRowUnion, kQueryUnion},
};

// Parameter types are stored as column type codes, which are DAO's but
// for Decimal.
constexpr int kStoredDecimal = 16;

std::vector<const QueryRow*> RowsOf(const std::vector<QueryRow>& rows, std::uint8_t attribute) {
  std::vector<const QueryRow*> found;
  for (const QueryRow& row : rows) {
    if (row.attribute == attribute) found.push_back(&row);
  }
  return found;
}

const QueryRow* FirstRow(const std::vector<QueryRow>& rows, std::uint8_t attribute) {
  for (const QueryRow& row : rows) {
    if (row.attribute == attribute) return &row;
  }
  return nullptr;
}

std::string Text(const std::optional<std::string>& value) { return value.value_or(""); }

std::int16_t Flag(const QueryRow* row) { return row != nullptr && row->flag ? *row->flag : 0; }

bool IsPlainName(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (!((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || c == '_' ||
          byte >= 0x80)) {
      return false;
    }
  }
  // A keyword must be bracketed to be a name.
  return !IsReservedWord(name);
}

// The FROM clause: the tables, with the joins between them nested in the
// order of their rows; tables no join names stand apart, separated by
// commas.
std::string FromClause(const std::vector<QueryRow>& rows) {
  struct Item {
    std::string text;
    std::vector<std::string> names;  // the aliases or names of its tables
    bool join = false;
  };
  std::vector<Item> items;
  for (const QueryRow* table : RowsOf(rows, jet::kQueryTable)) {
    Item item;
    item.text = QuotedName(Text(table->name1));
    if (table->name2) item.text += " AS " + QuotedName(*table->name2);
    item.names.push_back(table->name2 ? *table->name2 : Text(table->name1));
    items.push_back(std::move(item));
  }
  const auto find = [&](const std::string& name) -> std::ptrdiff_t {
    for (std::size_t i = 0; i < items.size(); ++i) {
      for (const std::string& known : items[i].names) {
        if (platform::AnsiSameText(known, name)) return static_cast<std::ptrdiff_t>(i);
      }
    }
    return -1;
  };
  // Join rows between the same two tables are one join of all their
  // conditions.
  struct Join {
    std::string left, right;
    std::int16_t type;
    std::vector<std::string> conditions;
  };
  std::vector<Join> joins;
  for (const QueryRow* row : RowsOf(rows, jet::kQueryJoin)) {
    Join* same = nullptr;
    for (Join& join : joins) {
      if (platform::AnsiSameText(join.left, Text(row->name1)) && platform::AnsiSameText(join.right, Text(row->name2)))
        same = &join;
    }
    if (same == nullptr) {
      joins.push_back({Text(row->name1), Text(row->name2), Flag(row), {}});
      same = &joins.back();
    }
    same->conditions.insert(same->conditions.begin(), Text(row->expression));
  }
  for (const Join& join : joins) {
    const std::ptrdiff_t left = find(join.left), right = find(join.right);
    if (left < 0 || right < 0 || left == right) continue;
    std::string on;
    if (join.conditions.size() == 1) {
      on = join.conditions.front();
    } else {
      for (const std::string& condition : join.conditions) on += (on.empty() ? "(" : " AND (") + condition + ")";
    }
    const char* kind = join.type == 2 ? " LEFT JOIN " : (join.type == 3 ? " RIGHT JOIN " : " INNER JOIN ");
    Item& into = items[static_cast<std::size_t>(left)];
    const Item& other = items[static_cast<std::size_t>(right)];
    into.text = (into.join ? "(" + into.text + ")" : into.text) + kind + (other.join ? "(" + other.text + ")" : other.text) +
                " ON " + on;
    into.join = true;
    into.names.insert(into.names.end(), other.names.begin(), other.names.end());
    items.erase(items.begin() + right);
  }
  std::string from;
  for (const Item& item : items) from += (from.empty() ? "" : ", ") + item.text;
  return from;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

std::string ColumnText(const QueryRow& row) {
  std::string text = Text(row.expression);
  if (row.name1) text += " AS " + QuotedName(*row.name1);
  return text;
}

std::string ParametersClause(const std::vector<QueryRow>& rows) {
  std::vector<std::string> parts;
  for (const ParameterDecl& parameter : ParametersOfRows(rows)) {
    parts.push_back(QuotedName(parameter.name) + " " + ParameterTypeName(parameter.daoType));
  }
  if (parts.empty()) return "";
  return "PARAMETERS " + Joined(parts) + ";" + kLineBreak;
}

// WHERE, GROUP BY, HAVING and ORDER BY of the rows, each on a line.
std::string Conditions(const std::vector<QueryRow>& rows, bool crosstab) {
  std::string text;
  if (const QueryRow* where = FirstRow(rows, jet::kQueryWhere)) text += kLineBreak + std::string("WHERE ") + Text(where->expression);
  std::vector<std::string> groups;
  for (const QueryRow* group : RowsOf(rows, jet::kQueryGroupBy)) {
    if (!crosstab || Flag(group) != kColumnHeading) groups.push_back(Text(group->expression));
  }
  if (!groups.empty()) text += kLineBreak + std::string("GROUP BY ") + Joined(groups);
  if (const QueryRow* having = FirstRow(rows, jet::kQueryHaving)) text += kLineBreak + std::string("HAVING ") + Text(having->expression);
  std::vector<std::string> order;
  for (const QueryRow* item : RowsOf(rows, jet::kQueryOrderBy)) {
    order.push_back(Text(item->expression) + (platform::AnsiSameText(Text(item->name1), "D") ? " DESC" : ""));
  }
  if (!order.empty()) text += kLineBreak + std::string("ORDER BY ") + Joined(order);
  return text;
}

std::string SelectHead(const std::vector<QueryRow>& rows, const std::vector<std::string>& columns) {
  const std::int16_t options = Flag(FirstRow(rows, jet::kQueryOptions));
  std::string text = "SELECT ";
  if ((options & kDistinct) != 0) text += "DISTINCT ";
  if ((options & kDistinctRow) != 0) text += "DISTINCTROW ";
  if ((options & kTop) != 0) {
    text += "TOP " + Text(FirstRow(rows, jet::kQueryOptions)->name1) + " ";
    if ((options & kPercent) != 0) text += "PERCENT ";
  }
  std::vector<std::string> all;
  if ((options & kAllFields) != 0) all.push_back("*");
  all.insert(all.end(), columns.begin(), columns.end());
  return text + Joined(all);
}

std::string OwnerAccess(const std::vector<QueryRow>& rows) {
  return (Flag(FirstRow(rows, jet::kQueryOptions)) & kOwnerAccess) != 0 ? std::string(kLineBreak) + "WITH OWNERACCESS OPTION"
                                                                         : "";
}

std::string FromLine(const std::vector<QueryRow>& rows) {
  const std::string from = FromClause(rows);
  return from.empty() ? "" : kLineBreak + std::string("FROM ") + from;
}

}  // namespace

std::string QuotedName(std::string_view name) {
  return IsPlainName(name) ? std::string(name) : "[" + std::string(name) + "]";
}

std::string ParameterTypeName(int daoType) {
  switch (daoType) {
    case dbBoolean: return "Bit";
    case dbByte: return "Byte";
    case dbInteger: return "Short";
    case dbLong: return "Long";
    case dbCurrency: return "Currency";
    case dbSingle: return "IEEESingle";
    case dbDouble: return "IEEEDouble";
    case dbDate: return "DateTime";
    case dbBinary: return "Binary";
    case dbText: return "Text";
    case dbLongBinary: return "LongBinary";
    case dbMemo: return "Memo";
    case dbGUID: return "Guid";
    case dbDecimal: return "Decimal";
    default: return "Value";
  }
}

int QueryTypeOfRows(const std::vector<QueryRow>& rows) {
  const std::int16_t flag = Flag(FirstRow(rows, jet::kQueryType));
  for (const TypeMapping& mapping : kTypes) {
    if (mapping.row == flag) return mapping.dao;
  }
  return kQuerySelect;
}

std::vector<ParameterDecl> ParametersOfRows(const std::vector<QueryRow>& rows) {
  std::vector<ParameterDecl> parameters;
  for (const QueryRow* row : RowsOf(rows, jet::kQueryParameter)) {
    const int stored = Flag(row);
    parameters.push_back({Text(row->name1), stored == kStoredDecimal ? dbDecimal : stored, 0});
  }
  return parameters;
}

std::string SqlOfQueryRows(const std::vector<QueryRow>& rows) {
  const QueryRow* type = FirstRow(rows, jet::kQueryType);
  const std::int16_t kind = Flag(type);
  if (kind == kRowDataDefinition || kind == kRowPassThrough) {
    // The text as stored, without the NUL character that ends it.
    std::string text = Text(type->expression);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
  }
  const std::string parameters = ParametersClause(rows);
  std::vector<std::string> columns;
  for (const QueryRow* column : RowsOf(rows, jet::kQueryColumn)) {
    if (kind != kRowCrosstab || Flag(column) == kRowHeading) columns.push_back(ColumnText(*column));
  }
  switch (kind) {
    case kRowUnion: {
      std::vector<std::string> parts;
      for (const QueryRow* part : RowsOf(rows, jet::kQueryTable)) {
        std::string text = Text(part->expression);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
        parts.push_back(text);
      }
      const bool all = (Flag(FirstRow(rows, jet::kQueryOptions)) & kDistinct) == 0;
      std::string text;
      for (const std::string& part : parts) text += (text.empty() ? "" : all ? "\r\nUNION ALL " : "\r\nUNION ") + part;
      std::vector<std::string> order;
      for (const QueryRow* item : RowsOf(rows, jet::kQueryOrderBy)) {
        order.push_back(Text(item->expression) + (platform::AnsiSameText(Text(item->name1), "D") ? " DESC" : ""));
      }
      if (!order.empty()) text += kLineBreak + std::string("ORDER BY ") + Joined(order);
      return parameters + text + ";";
    }
    case kRowMakeTable:
      return parameters + SelectHead(rows, columns) + " INTO " + QuotedName(Text(type->name1)) + FromLine(rows) +
             Conditions(rows, false) + OwnerAccess(rows) + ";";
    case kRowAppend: {
      std::vector<std::string> targets;
      for (const QueryRow* column : RowsOf(rows, jet::kQueryColumn)) {
        if (column->name2) targets.push_back(*column->name2);
      }
      std::string text = parameters + "INSERT INTO " + QuotedName(Text(type->name1));
      if (!targets.empty()) text += " (" + Joined(targets) + ")";
      if (FirstRow(rows, jet::kQueryTable) == nullptr) {
        std::vector<std::string> values;
        for (const QueryRow* column : RowsOf(rows, jet::kQueryColumn)) values.push_back(Text(column->expression));
        return text + kLineBreak + "VALUES (" + Joined(values) + ");";
      }
      return text + kLineBreak + SelectHead(rows, columns) + FromLine(rows) + Conditions(rows, false) + ";";
    }
    case kRowUpdate: {
      std::vector<std::string> assignments;
      for (const QueryRow* column : RowsOf(rows, jet::kQueryColumn)) {
        assignments.push_back(Text(column->name2) + " = " + Text(column->expression));
      }
      std::string text = parameters + "UPDATE " + FromClause(rows) + kLineBreak + "SET " + Joined(assignments);
      if (const QueryRow* where = FirstRow(rows, jet::kQueryWhere)) text += kLineBreak + std::string("WHERE ") + Text(where->expression);
      return text + ";";
    }
    case kRowDelete: {
      std::vector<std::string> targets;
      for (const QueryRow* column : RowsOf(rows, jet::kQueryColumn)) targets.push_back(Text(column->expression));
      const std::string what = targets.empty() ? "*" : Joined(targets);
      return parameters + "DELETE " + what + FromLine(rows) + Conditions(rows, false) + ";";
    }
    case kRowCrosstab: {
      std::string value, pivot;
      for (const QueryRow* column : RowsOf(rows, jet::kQueryColumn)) {
        if (Flag(column) == kValue) value = ColumnText(*column);
        if (Flag(column) == kColumnHeading) pivot = Text(column->expression);
      }
      return parameters + "TRANSFORM " + value + kLineBreak + SelectHead(rows, columns) + FromLine(rows) +
             Conditions(rows, true) + kLineBreak + "PIVOT " + pivot + ";";
    }
    default:
      return parameters + SelectHead(rows, columns) + FromLine(rows) + Conditions(rows, false) + OwnerAccess(rows) + ";";
  }
}

namespace {

// Builds the rows of one statement from its parse and its text.
class RowBuilder {
 public:
  explicit RowBuilder(const Statement& statement) : text_(statement.text) {}

  std::vector<QueryRow> Take() { return std::move(rows_); }

  void Add(std::uint8_t attribute, std::optional<std::string> name1, std::optional<std::string> name2,
           std::optional<std::string> expression, std::optional<std::int16_t> flag) {
    rows_.push_back({attribute, std::move(name1), std::move(name2), std::move(expression), flag});
  }
  std::string TextOf(const Expr& expr) const { return text_.substr(expr.begin, expr.end - expr.begin); }

  void Parameters(const std::vector<ParameterDecl>& parameters) {
    for (const ParameterDecl& parameter : parameters) {
      const int stored = parameter.daoType == dbDecimal ? kStoredDecimal : parameter.daoType;
      Add(jet::kQueryParameter, parameter.name, std::nullopt, std::nullopt, static_cast<std::int16_t>(stored));
    }
  }

  // The tables of the FROM items, then their joins, innermost first.
  void From(const std::vector<std::unique_ptr<FromItem>>& from) {
    for (const std::unique_ptr<FromItem>& item : from) Tables(*item);
    for (const std::unique_ptr<FromItem>& item : from) Joins(*item);
  }

  void Options(const SelectStatement& select, bool allFields) {
    std::int16_t flags = allFields ? kAllFields : 0;
    if (select.distinct) flags |= kDistinct;
    if (select.distinctRow) flags |= kDistinctRow;
    if (select.ownerAccess) flags |= kOwnerAccess;
    std::optional<std::string> top;
    if (select.top) {
      flags |= kTop;
      if (select.topPercent) flags |= kPercent;
      const double count = *select.top;
      top = count == static_cast<double>(static_cast<long long>(count)) ? std::to_string(static_cast<long long>(count))
                                                                        : std::to_string(count);
    }
    if (flags != 0) Add(jet::kQueryOptions, top, std::nullopt, std::nullopt, flags);
  }

  void Conditions(const SelectStatement& select) {
    if (select.where) Add(jet::kQueryWhere, std::nullopt, std::nullopt, TextOf(*select.where), std::nullopt);
    for (const ExprPtr& term : select.groupBy) {
      Add(jet::kQueryGroupBy, std::nullopt, std::nullopt, TextOf(*term),
          select.pivot ? std::optional<std::int16_t>(kRowHeading) : std::optional<std::int16_t>(0));
    }
    if (select.pivot) Add(jet::kQueryGroupBy, std::nullopt, std::nullopt, TextOf(*select.pivot), kColumnHeading);
    if (select.having) Add(jet::kQueryHaving, std::nullopt, std::nullopt, TextOf(*select.having), std::nullopt);
    Order(select.orderBy);
  }

  void Order(const std::vector<OrderItem>& order) {
    for (const OrderItem& item : order) {
      Add(jet::kQueryOrderBy, item.descending ? std::optional<std::string>("D") : std::nullopt, std::nullopt,
          TextOf(*item.expr), std::nullopt);
    }
  }

  // The select list; `allFields` when it is a bare *.
  bool Columns(const SelectStatement& select, std::int16_t flag) {
    bool allFields = false;
    for (const SelectItem& item : select.columns) {
      if (item.expr->kind == ExprKind::kStar && item.expr->qualifier.empty()) {
        allFields = true;
        continue;
      }
      Add(jet::kQueryColumn, item.alias.empty() ? std::nullopt : std::optional<std::string>(item.alias), std::nullopt,
          TextOf(*item.expr), flag);
    }
    return allFields;
  }

 private:
  void Tables(const FromItem& item) {
    if (item.isJoin) {
      Tables(*item.left);
      Tables(*item.right);
      return;
    }
    Add(jet::kQueryTable, item.table.name, item.table.alias.empty() ? std::nullopt : std::optional(item.table.alias),
        std::nullopt, std::nullopt);
  }

  // The alias or name of each table of an item.
  static void Names(const FromItem& item, std::vector<std::string>& names) {
    if (item.isJoin) {
      Names(*item.left, names);
      Names(*item.right, names);
      return;
    }
    names.push_back(item.table.alias.empty() ? item.table.name : item.table.alias);
  }

  // The table of `side` the condition names first, else its last table.
  static std::string Named(const FromItem& side, const Expr& on) {
    std::vector<std::string> names;
    Names(side, names);
    std::string found;
    const std::function<void(const Expr&)> visit = [&](const Expr& expr) {
      if (!found.empty()) return;
      if (expr.kind == ExprKind::kName && !expr.qualifier.empty()) {
        for (const std::string& name : names) {
          if (platform::AnsiSameText(name, expr.qualifier)) found = name;
        }
      }
      for (const ExprPtr& arg : expr.args) visit(*arg);
    };
    visit(on);
    return found.empty() ? names.back() : found;
  }

  void Joins(const FromItem& item) {
    if (!item.isJoin) return;
    Joins(*item.left);
    Joins(*item.right);
    const std::int16_t type = item.join == JoinType::kLeft ? 2 : (item.join == JoinType::kRight ? 3 : 1);
    Add(jet::kQueryJoin, Named(*item.left, *item.on), Named(*item.right, *item.on), TextOf(*item.on), type);
  }

  const std::string& text_;
  std::vector<QueryRow> rows_;
};

}  // namespace

StoredQuery StoredQueryOf(std::string_view text) {
  const Statement statement = ParseStatement(text);
  RowBuilder rows(statement);
  StoredQuery stored;
  const auto start = [&](RowType type, std::optional<std::string> name1, std::optional<std::string> expression) {
    rows.Add(jet::kQueryStart, std::nullopt, std::nullopt, std::nullopt, 0);
    rows.Add(jet::kQueryType, std::move(name1), std::nullopt, std::move(expression), type);
    for (const TypeMapping& mapping : kTypes) {
      if (mapping.row == type) stored.type = mapping.dao;
    }
    rows.Parameters(statement.parameters);
  };
  switch (statement.kind) {
    case StatementKind::kSelect: {
      const SelectStatement& select = *statement.select;
      if (!select.unions.empty()) {
        // The parts before the last UNION are one part, as Access keeps them.
        start(kRowUnion, std::nullopt, std::nullopt);
        const UnionPart& last = select.unions.back();
        const std::size_t lastBegin = last.select->begin;
        std::size_t firstEnd = select.unions.size() > 1 ? select.unions[select.unions.size() - 2].select->end : select.end;
        rows.Add(jet::kQueryOptions, std::nullopt, std::nullopt, std::nullopt,
                 static_cast<std::int16_t>(kAllFields | (last.all ? 0 : kDistinct)));
        rows.Add(jet::kQueryTable, std::nullopt, "X7YZ_____1", statement.text.substr(select.begin, firstEnd - select.begin),
                 std::nullopt);
        rows.Add(jet::kQueryTable, std::nullopt, "X7YZ_____2",
                 statement.text.substr(lastBegin, last.select->end - lastBegin), std::nullopt);
        rows.Order(select.orderBy);
        break;
      }
      if (select.transform) {
        start(kRowCrosstab, std::nullopt, std::nullopt);
        rows.Options(select, false);
        rows.From(select.from);
        rows.Add(jet::kQueryColumn,
                 select.transformAlias.empty() ? std::nullopt : std::optional<std::string>(select.transformAlias),
                 std::nullopt, rows.TextOf(*select.transform), kValue);
        rows.Columns(select, kRowHeading);
        rows.Add(jet::kQueryColumn, std::nullopt, std::nullopt, rows.TextOf(*select.pivot), kColumnHeading);
        rows.Conditions(select);
        break;
      }
      const bool makeTable = !select.intoTable.empty();
      start(makeTable ? kRowMakeTable : kRowSelect,
            makeTable ? std::optional<std::string>(select.intoTable) : std::nullopt, std::nullopt);
      RowBuilder list(statement);
      const bool allFields = list.Columns(select, 0);
      rows.Options(select, allFields);
      rows.From(select.from);
      for (QueryRow& row : list.Take()) rows.Add(row.attribute, row.name1, row.name2, row.expression, row.flag);
      rows.Conditions(select);
      break;
    }
    case StatementKind::kInsert: {
      const InsertStatement& insert = *statement.insert;
      start(kRowAppend, insert.table.name, std::nullopt);
      const auto target = [&](std::size_t i) {
        return i < insert.columns.size() ? std::optional<std::string>(insert.columns[i]) : std::nullopt;
      };
      if (insert.select) {
        const SelectStatement& select = *insert.select;
        rows.Options(select, false);
        rows.From(select.from);
        for (std::size_t i = 0; i < select.columns.size(); ++i) {
          const SelectItem& item = select.columns[i];
          rows.Add(jet::kQueryColumn, item.alias.empty() ? std::nullopt : std::optional<std::string>(item.alias), target(i),
                   rows.TextOf(*item.expr), 0);
        }
        rows.Conditions(select);
      } else {
        for (std::size_t i = 0; i < insert.values.size(); ++i) {
          rows.Add(jet::kQueryColumn, std::nullopt, target(i), rows.TextOf(*insert.values[i]), 0);
        }
      }
      break;
    }
    case StatementKind::kUpdate: {
      const UpdateStatement& update = *statement.update;
      start(kRowUpdate, std::nullopt, std::nullopt);
      rows.From(update.from);
      for (const Assignment& assignment : update.assignments) {
        rows.Add(jet::kQueryColumn, std::nullopt, rows.TextOf(*assignment.target), rows.TextOf(*assignment.value), 0);
      }
      if (update.where) rows.Add(jet::kQueryWhere, std::nullopt, std::nullopt, rows.TextOf(*update.where), std::nullopt);
      break;
    }
    case StatementKind::kDelete: {
      const DeleteStatement& remove = *statement.remove;
      start(kRowDelete, std::nullopt, std::nullopt);
      rows.From(remove.from);
      for (const ExprPtr& column : remove.columns) {
        if (column->kind != ExprKind::kStar || !column->qualifier.empty())
          rows.Add(jet::kQueryColumn, std::nullopt, std::nullopt, rows.TextOf(*column), 0);
      }
      if (remove.where) rows.Add(jet::kQueryWhere, std::nullopt, std::nullopt, rows.TextOf(*remove.where), std::nullopt);
      break;
    }
    default: {
      // Data definition keeps its text, ended by a NUL as Access ends it.
      std::string body(text);
      if (body.empty() || body.back() != '\0') body.push_back('\0');
      start(kRowDataDefinition, std::nullopt, body);
      break;
    }
  }
  rows.Add(jet::kQueryEnd, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
  stored.rows = rows.Take();
  return stored;
}

}  // namespace dao::sql
