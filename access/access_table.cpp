// TAccessTable: construction and the properties with their clearing rules
// and refusals while open.

#include "access/access_table.h"

#include "access/access_database.h"
#include "access/access_master_link.h"
#include "access/access_messages.h"
#include "access/dao_call_log.h"
#include "access/dao_failures.h"
#include "access/sql_literals.h"
#include "access/text_lines.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/errors.h"

namespace accessdb {

TAccessTable::TAccessTable(std::string name)
    : TDataSet(std::move(name)),
      identifierChars_(IdentifierCharsOfAnsiCodePage()),
      masterLink_(std::make_unique<TAccessMasterLink>(*this)) {}

TAccessTable::~TAccessTable() {
  destroying_ = true;
  CloseBeforeDestruction();
  if (database_ != nullptr) database_->UnbindTable(*this);
}

void TAccessTable::ReportFailure(const std::exception& error) {
  if (dynamic_cast<const platform::EAbort*>(&error) != nullptr) return;
  platform::ShowMessage(nullptr, "", error.what(), platform::MessageIcon::kError);
}

void TAccessTable::SetDatabase(TAccessDatabase* database) {
  if (Active()) RaiseError(messages::kSetTableDatabase);
  if (database_ != nullptr) database_->UnbindTable(*this);
  database_ = database;
  if (database_ != nullptr) database_->BindTable(*this);
}

void TAccessTable::DatabaseGone() {
  CloseBeforeDestruction();
  database_ = nullptr;
}

void TAccessTable::ClearSourceDependents() {
  fieldLabels_.clear();
  // An open table keeps reading the rows it was opened on (a new SQL text
  // takes effect at the next open), and its rows are laid out by these
  // definitions; the next open describes the fields anew anyway.
  if (!Active()) FieldDefs().Clear();
  indexDefs_.Clear();
}

void TAccessTable::SetTableName(std::string name) {
  if (Active()) RaiseError(messages::kSetTableName);
  const bool clears = !name.empty();
  tableName_ = std::move(name);
  if (!clears) return;
  indexName_.clear();
  ChangeSQL(std::string());
  queryDefName_.clear();
  queryDefSqlText_.clear();
  queryDefParameters_.clear();
  sortedBy_.clear();
  ClearSourceDependents();
}

void TAccessTable::SetTableType(int type) {
  if (Active()) RaiseError(messages::kSetTableType);
  tableType_ = type;
  // Table-type recordsets are ordered by their index, forward-only ones
  // cannot be ordered.
  if (type == kTableTypeTable || type == kTableTypeForwardOnly) sortedBy_.clear();
  if (type != kTableTypeTable) {
    indexName_.clear();
    indexDefs_.Clear();
  }
}

void TAccessTable::SetSortedBy(std::vector<std::string> lines) {
  sortedBy_ = std::move(lines);
  indexName_.clear();
  if (Active()) ReopenRecordset();
}

std::string TAccessTable::SortedByText() const { return LinesText(sortedBy_); }

void TAccessTable::SetSortedByText(std::string_view text) { SetSortedBy(SplitLines(text)); }

void TAccessTable::PostRow() {
  TDataSet::PostRow();
  if (sortedBy_.empty() || !refreshSorted_) return;
  // The stored row takes its place in the order: the rows are read again.
  ReopenRecordset();
}

void TAccessTable::SetLockType(int lockType) {
  if (Active()) RaiseError(messages::kSetLockType);
  lockType_ = lockType;
}

void TAccessTable::SetReadOnly(bool on) {
  // A read-only connection makes every table read-only.
  if (!on && database_ != nullptr && database_->Connected() && database_->ReadOnly()) on = true;
  readOnly_ = on;
}

void TAccessTable::SetOpenOptions(TOOSet options) {
  openOptions_ = options;
  if (Active()) ReopenRecordset();
}

void TAccessTable::SetCacheMemos(bool on) {
  cacheMemos_ = on;
  ReopenIfActive();
}

void TAccessTable::SetCacheBlobs(bool on) {
  cacheBlobs_ = on;
  ReopenIfActive();
}

void TAccessTable::SetCacheLookups(bool on) {
  cacheLookups_ = on;
  ReopenIfActive();
}

void TAccessTable::SetEncrypter(TAccessEncrypter* encrypter) {
  encrypter_ = encrypter;
  ReopenIfActive();
}

void TAccessTable::EncrypterGone() {
  SetActive(false);
  encoderHooks_ = false;
  encrypter_ = nullptr;
}

void TAccessTable::SetShowGUID(bool on) {
  showGuid_ = on;
  ReopenIfActive();
}

bool TAccessTable::IsWritable() const { return cursorOpen_ && !readOnly_; }

bool TAccessTable::LockEdits() {
  if (!cursorOpen_ || database_ == nullptr) return false;
  if (database_->DatabaseType() == "ODBC" || database_->ReadOnly() || readOnly_) return false;
  if (tableType_ != kTableTypeTable && tableType_ != kTableTypeDynaset) return false;
  return recordset_.LockEdits();
}

std::string TAccessTable::TableDate(bool created) {
  std::string text;
  if (!cursorOpen_) return text;
  IgnoringErrors([&] {
    platform::Variant value;
    if (tableType_ == kTableTypeTable) {
      value = created ? recordset_.DateCreated() : recordset_.LastUpdated();
    } else if (!queryDefName_.empty()) {
      LogDaoCall(created ? "QueryDef.DateCreated" : "QueryDef.LastUpdated");
      const auto& query = database_->DatabaseObject()->QueryDefs().Item(queryDefName_);
      value = created ? query->DateCreated() : query->LastUpdated();
    }
    if (!value.IsNull() && !value.IsEmpty()) text = value.ToText();
  });
  return text;
}

std::string TAccessTable::TableDateCreated() { return TableDate(true); }

std::string TAccessTable::TableLastUpdated() { return TableDate(false); }

std::string TAccessTable::TranslateText(std::string_view text, bool toOem, bool inPlace) {
  if (!translation_) return std::string(text);
  // Reading a text in place converts nothing: the row holds what the
  // database holds.
  if (inPlace) return std::string(text);
  // Texts are UTF-8 in memory; the translation works on the ANSI bytes.
  const std::string ansi = platform::Utf8ToAnsi(text);
  const std::string translated = toOem ? platform::AnsiToOem(ansi) : platform::OemToAnsi(ansi);
  return platform::AnsiToUtf8(translated);
}

}  // namespace accessdb
