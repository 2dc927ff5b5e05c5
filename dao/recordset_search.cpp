// The searching side of Recordset: Filter and Sort with the recordsets
// derived from them, the Find methods, and a table-type recordset's Index
// and Seek.

#include <algorithm>

#include "dao/constants.h"
#include "dao/dao_types.h"
#include "dao/field_value_conversion.h"
#include "dao/jet/data_page.h"
#include "dao/jet/index_reader.h"
#include "dao/jet/value_encoder.h"
#include "dao/query_catalog.h"
#include "dao/recordset.h"
#include "dao/sql/binder.h"
#include "dao/sql/evaluator.h"
#include "dao/sql/parser.h"
#include "dao/sql/sortable_key.h"
#include "dao/sql/sql_error.h"
#include "dao/sql/values.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Recordset";
constexpr std::size_t kMaxSeekKeys = 13;

[[noreturn]] void NotSupported() {
  Raise(jet::kErrNotSupported, kSource, "Operation is not supported for this type of object.");
}

}  // namespace

// A condition or order on the fields, bound and ready to evaluate.
struct Recordset::BoundCondition {
  explicit BoundCondition(const jet::TextCodec& codec) : order(codec) {}

  std::string text;
  std::string sortText;
  sql::ExprPtr condition;
  std::vector<sql::OrderItem> sortItems;
  sql::TextOrder order;
  std::unique_ptr<sql::Evaluator> evaluator;
};

// The field values of any entry of the recordset's rows, read without
// moving it.
class Recordset::EntryValues : public sql::RowValues {
 public:
  explicit EntryValues(Recordset& recordset) : recordset_(recordset) {
    if (!recordset_.values_) {
      jet::JetDatabase& jet = recordset_.database_->Jet(kSource);
      definition_ = recordset_.rows_->Table()->SharedDefinition(kSource);
      decoder_.emplace(jet.Pages(), jet.GetLayout(), jet.Codec());
      columns_.emplace(*definition_, *decoder_);
    }
  }

  // Reads entry `index`; false when its row is gone.
  bool Load(std::size_t index) {
    index_ = index;
    if (recordset_.values_) return true;
    jet::JetDatabase& jet = recordset_.database_->Jet(kSource);
    view_.reset();
    ref_ = jet::ReadRow(jet.Pages(), jet.GetLayout(), recordset_.rows_->At(index), definition_->page);
    if (!ref_) return false;
    view_.emplace(jet.GetLayout(), ref_->bytes, definition_->variableColumns);
    columns_->Reset(*view_);
    return true;
  }

  platform::Variant Column(int, int field) override {
    const auto position = static_cast<std::size_t>(field);
    if (recordset_.values_) return (*recordset_.values_)[recordset_.rows_->At(index_).ToU32()][position];
    if (!recordset_.query_) return decoder_->Decode(definition_->columns[position], *view_);
    const int tableColumn = recordset_.query_->TableColumn(position);
    if (tableColumn >= 0) return decoder_->Decode(definition_->columns[static_cast<std::size_t>(tableColumn)], *view_);
    return recordset_.query_->Query().OutputValue(field, *columns_);
  }

 private:
  Recordset& recordset_;
  std::size_t index_ = 0;
  std::shared_ptr<const jet::TableDefinition> definition_;
  std::optional<jet::ValueDecoder> decoder_;
  std::optional<RowColumns> columns_;
  std::optional<jet::RowRef> ref_;
  std::optional<jet::RowView> view_;
};

const jet::TableDefinition& Recordset::FieldShape() {
  return query_ ? *query_->Shape() : rows_->Table()->Definition(kSource);
}

std::shared_ptr<Recordset::BoundCondition> Recordset::BindCondition(const std::string& criteria,
                                                                   const std::string& sort) {
  if (lastCondition_ && lastCondition_->text == criteria && lastCondition_->sortText == sort) return lastCondition_;
  jet::JetDatabase& jet = database_->Jet(kSource);
  auto bound = std::make_shared<BoundCondition>(jet.Codec());
  bound->text = criteria;
  bound->sortText = sort;
  // The fields are the one table the condition reads; a table's name may
  // qualify them.
  sql::BoundTable fields;
  if (rows_->Table() && (!query_ || query_->Table())) fields.name = rows_->Table()->Entry().name;
  for (const jet::ColumnDefinition& column : FieldShape().columns) {
    fields.columns.push_back({column.name, DaoTypeOf(column.Type()), DaoSizeOf(column, jet.GetLayout())});
  }
  const std::vector<sql::BoundTable> scope = {fields};
  sql::Binder binder({});
  if (!criteria.empty()) {
    bound->condition = sql::ParseExpression(criteria);
    binder.Bind(*bound->condition, scope, sql::Clause::kWhere);
  }
  if (!sort.empty()) {
    bound->sortItems = sql::ParseOrderList(sort);
    for (sql::OrderItem& item : bound->sortItems) binder.Bind(*item.expr, scope, sql::Clause::kWhere);
  }
  // A name that is no field is a parameter, which has no value here.
  if (!binder.Parameters().empty()) {
    Raise(sql::kErrTooFewParameters, kSource,
          "Too few parameters. Expected " + std::to_string(binder.Parameters().size()) + ".");
  }
  bound->evaluator = std::make_unique<sql::Evaluator>(bound->order);
  lastCondition_ = bound;
  return bound;
}

void Recordset::SetFilter(const std::string& filter) {
  Run([&] {
    if (type_ == dbOpenTable) NotSupported();
    filter_ = filter;
  });
}

void Recordset::SetSort(const std::string& sort) {
  Run([&] {
    if (type_ == dbOpenTable) NotSupported();
    sort_ = sort;
  });
}

std::shared_ptr<Recordset> Recordset::OpenRecordset(int type, int options) {
  return Run([&] {
    if (type == 0) type = type_ == dbOpenTable ? dbOpenDynaset : type_;
    if ((options & dbForwardOnly) != 0) type = dbOpenForwardOnly;
    if (type == dbOpenTable) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
    if (type != dbOpenDynaset && type != dbOpenSnapshot && type != dbOpenForwardOnly) {
      Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    }
    const std::shared_ptr<BoundCondition> bound = BindCondition(filter_, sort_);
    std::vector<std::pair<std::string, jet::RowPointer>> kept;
    EntryValues values(*this);
    for (std::optional<std::size_t> index = rows_->NextLive(0); index; index = rows_->NextLive(*index + 1)) {
      if (!values.Load(*index)) continue;
      if (bound->condition && bound->evaluator->Test(*bound->condition, values) != sql::Truth::kTrue) continue;
      std::string key;
      for (const sql::OrderItem& item : bound->sortItems) {
        sql::AppendSortableKey(key, bound->evaluator->Value(*item.expr, values), bound->order, item.descending);
      }
      kept.emplace_back(std::move(key), rows_->At(*index));
    }
    if (!bound->sortItems.empty()) {
      std::stable_sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    std::vector<jet::RowPointer> entries;
    entries.reserve(kept.size());
    for (const auto& entry : kept) entries.push_back(entry.second);
    const bool updatable = updatable_ && type == dbOpenDynaset && (options & dbReadOnly) == 0;
    std::shared_ptr<Recordset> derived(
        new Recordset(database_, std::make_shared<RowSet>(rows_->Table(), std::move(entries)), type, updatable, lockType_));
    derived->query_ = query_;
    derived->values_ = values_;
    derived->name_ = name_;
    if (rows_->Table()) database_->AddRowSet(rows_->Table()->Id(), derived->rows_);
    derived->GoToLive(derived->rows_->NextLive(0));
    return derived;
  });
}

void Recordset::RequireSearchable() const {
  if (type_ == dbOpenTable || type_ == dbOpenForwardOnly) NotSupported();
}

void Recordset::Find(const std::string& criteria, bool forward, bool fromEnd) {
  Run([&] {
    RequireSearchable();
    const std::shared_ptr<BoundCondition> bound = BindCondition(criteria);
    if (!bound->condition) sql::RaiseMissingOperator("");
    std::optional<std::size_t> start;
    const std::size_t size = rows_->Size();
    if (fromEnd) {
      if (size > 0) start = forward ? 0 : size - 1;
    } else if (place_ == Place::kOnRow) {
      if (forward && index_ + 1 < size) start = index_ + 1;
      if (!forward && index_ > 0) start = index_ - 1;
    } else if (place_ == Place::kBeforeFirst || place_ == Place::kNowhere) {
      if (forward && size > 0) start = 0;
    } else if (!forward && size > 0) {
      start = size - 1;
    }
    EntryValues values(*this);
    for (std::optional<std::size_t> i = start; i;) {
      if (!rows_->IsRemoved(*i) && values.Load(*i) &&
          bound->evaluator->Test(*bound->condition, values) == sql::Truth::kTrue) {
        noMatch_ = false;
        GoTo(*i);
        return;
      }
      if (forward) {
        i = *i + 1 < size ? std::optional(*i + 1) : std::nullopt;
      } else {
        i = *i > 0 ? std::optional(*i - 1) : std::nullopt;
      }
    }
    noMatch_ = true;
  });
}

void Recordset::FindFirst(const std::string& criteria) { Find(criteria, true, true); }
void Recordset::FindLast(const std::string& criteria) { Find(criteria, false, true); }
void Recordset::FindNext(const std::string& criteria) { Find(criteria, true, false); }
void Recordset::FindPrevious(const std::string& criteria) { Find(criteria, false, false); }

void Recordset::SetIndex(const std::string& name) {
  Run([&] {
    if (type_ != dbOpenTable) NotSupported();
    // A copy: the row set that holds the table may go when rows_ is replaced.
    const std::shared_ptr<TableSource> table = rows_->Table();
    if (!name.empty()) {
      const jet::TableDefinition& definition = table->Definition(kSource);
      const bool known = std::any_of(definition.logicalIndexes.begin(), definition.logicalIndexes.end(),
                                     [&](const jet::LogicalIndex& index) { return platform::AnsiSameText(index.name, name); });
      if (!known) Raise(3800, kSource, "'" + name + "' is not an index in this table.");
    }
    DropPendingChange();
    indexName_ = name;
    if (name.empty()) {
      rows_ = std::make_shared<RowSet>(table, /*empty=*/false, /*followsTable=*/true);
      database_->AddRowSet(table->Id(), rows_);
    } else {
      indexGeneration_ = database_->Generation() - 1;  // read now
      place_ = Place::kBeforeFirst;
      RefreshIndexOrder();
    }
    GoToLive(rows_->NextLive(0));
  });
}

void Recordset::RefreshIndexOrder() {
  if (indexName_.empty() || indexGeneration_ == database_->Generation()) return;
  // A copy: the row set that holds the table may go when rows_ is replaced.
  const std::shared_ptr<TableSource> table = rows_->Table();
  const jet::TableDefinition& definition = table->Definition(kSource);
  const jet::LogicalIndex* logical = nullptr;
  for (const jet::LogicalIndex& index : definition.logicalIndexes) {
    if (platform::AnsiSameText(index.name, indexName_)) logical = &index;
  }
  if (logical == nullptr || logical->realIndex >= definition.realIndexes.size()) {
    // The index was deleted meanwhile: storage order again.
    indexName_.clear();
  }
  std::optional<jet::RowPointer> current;
  // A current row just deleted stays current until the recordset moves,
  // and moving goes on from its place: the row that followed it.
  std::optional<jet::RowPointer> deleted;
  std::optional<jet::RowPointer> following;
  if (place_ == Place::kOnRow) {
    current = rows_->At(index_);
    if (rows_->IsRemoved(index_)) {
      deleted = current;
      if (const std::optional<std::size_t> next = rows_->NextLive(index_ + 1)) following = rows_->At(*next);
    }
  }
  if (indexName_.empty()) {
    rows_ = std::make_shared<RowSet>(table, /*empty=*/false, /*followsTable=*/true);
    database_->AddRowSet(table->Id(), rows_);
  } else {
    jet::JetDatabase& jet = database_->Jet(kSource);
    jet::IndexReader reader(jet.Pages(), jet.GetLayout(), definition.realIndexes[logical->realIndex]);
    std::vector<jet::RowPointer> order = reader.RowsInOrder();
    if (deleted) order.insert(following ? std::find(order.begin(), order.end(), *following) : order.end(), *deleted);
    rows_ = std::make_shared<RowSet>(table, std::move(order));
    if (deleted) rows_->Remove(*deleted);
  }
  indexGeneration_ = database_->Generation();
  // The current row keeps its place in the new order (a pending change
  // stays as it is).
  currentView_.reset();
  currentRef_.reset();
  if (current) {
    if (const std::optional<std::size_t> index = rows_->IndexOf(*current)) {
      index_ = *index;
      return;
    }
  }
  if (place_ == Place::kOnRow) place_ = Place::kNowhere;
}

// A key with characters the sort order has no codes for cannot be looked
// up in the tree: the rows are walked in index order and compared by value.
std::optional<std::size_t> Recordset::SeekByWalking(const jet::RealIndex& index, const std::string& comparison,
                                                    const std::vector<platform::Variant>& keys) {
  const jet::TableDefinition& definition = rows_->Table()->Definition(kSource);
  const sql::TextOrder order(database_->Jet(kSource).Codec());
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const jet::ColumnDefinition* column = definition.ColumnByNumber(index.columns[i].columnNumber);
    positions.push_back(static_cast<std::size_t>(column - definition.columns.data()));
  }
  EntryValues values(*this);
  std::optional<std::size_t> found;
  for (std::optional<std::size_t> entry = rows_->NextLive(0); entry; entry = rows_->NextLive(*entry + 1)) {
    if (!values.Load(*entry)) continue;
    int compared = 0;
    for (std::size_t i = 0; i < keys.size() && compared == 0; ++i) {
      compared = sql::OrderCompare(values.Column(0, static_cast<int>(positions[i])), keys[i], order);
      if (index.columns[i].descending) compared = -compared;
    }
    if ((comparison == "=" && compared == 0) || (comparison == ">=" && compared >= 0) ||
        (comparison == ">" && compared > 0)) {
      return entry;
    }
    if ((comparison == "<" && compared < 0) || (comparison == "<=" && compared <= 0)) found = entry;
  }
  return found;
}

void Recordset::Seek(const std::string& comparison, const std::vector<platform::Variant>& keys) {
  Run([&] {
    if (type_ != dbOpenTable) NotSupported();
    if (indexName_.empty()) Raise(3019, kSource, "Operation invalid without a current index.");
    const bool equal = comparison == "=";
    const bool after = comparison == ">";
    const bool atOrAfter = comparison == ">=";
    const bool before = comparison == "<";
    const bool atOrBefore = comparison == "<=";
    if (!(equal || after || atOrAfter || before || atOrBefore)) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    const jet::TableDefinition& definition = rows_->Table()->Definition(kSource);
    const jet::LogicalIndex* logical = nullptr;
    for (const jet::LogicalIndex& index : definition.logicalIndexes) {
      if (platform::AnsiSameText(index.name, indexName_)) logical = &index;
    }
    const jet::RealIndex& real = definition.realIndexes.at(logical->realIndex);
    if (keys.empty() || keys.size() > std::min(kMaxSeekKeys, real.columns.size())) {
      Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    }
    DropPendingChange();
    jet::JetDatabase& jet = database_->Jet(kSource);
    // The key of the values given, as the index builds the keys of its rows.
    jet::IndexKeyBuilder builder;
    bool keyable = true;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const jet::ColumnDefinition* column = definition.ColumnByNumber(real.columns[i].columnNumber);
      if (column == nullptr) jet::ThrowDamaged("an index names a column that does not exist");
      jet::ColumnDefinition roomy = *column;
      roomy.length = 0xFFFF;  // a longer value than the column holds is looked for, not refused
      const jet::FieldValue value = ToFieldValue(roomy, keys[i]);
      const bool boolean = column->Type() == jet::ColumnType::kBoolean;
      const std::vector<std::uint8_t> stored =
          value.null || boolean ? std::vector<std::uint8_t>() : jet::EncodeValue(roomy, value, jet.Codec());
      const bool present = boolean ? (!value.null && value.integer != 0) : !value.null;
      keyable = keyable && jet::AppendStoredKey(builder, *column, present, stored, real.columns[i].descending, jet.GetLayout());
    }
    const std::vector<std::uint8_t>& key = builder.Bytes();
    // Whether the leading fields of an entry's key equal the key sought.
    const auto sameLead = [&](jet::Bytes entryKey) {
      return entryKey.size() >= key.size() && std::equal(key.begin(), key.end(), entryKey.begin());
    };
    std::optional<jet::RowPointer> found;
    if (keyable) {
      if (!seekReader_ || seekGeneration_ != database_->Generation() || seekIndex_ != &real) {
        seekReader_ = std::make_shared<jet::IndexReader>(jet.Pages(), jet.GetLayout(), real);
        seekGeneration_ = database_->Generation();
        seekIndex_ = &real;
      }
      jet::IndexReader& reader = *seekReader_;
      std::optional<jet::IndexReader::Position> position = reader.LowerBound(key);
      if (after || atOrBefore) {
        // Past the entries whose leading fields equal the key.
        while (position && sameLead(reader.Key(*position))) position = reader.Next(*position);
      }
      if (equal || atOrAfter || after) {
        if (position && (!equal || sameLead(reader.Key(*position)))) found = reader.Row(*position);
      } else {
        // The entry before; everything lies before the key: the last one.
        const std::optional<jet::IndexReader::Position> last = position ? reader.Previous(*position) : reader.Last();
        if (last) found = reader.Row(*last);
      }
    }
    RefreshIndexOrder();
    std::optional<std::size_t> index = found ? rows_->IndexOf(*found) : std::nullopt;
    if (!keyable) index = SeekByWalking(real, comparison, keys);
    noMatch_ = !index;
    if (index) {
      GoTo(*index);
    } else {
      GoBeforeFirst();
      place_ = Place::kNowhere;
    }
  });
}

}  // namespace dao
