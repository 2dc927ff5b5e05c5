// TAccessTable: construction and the properties with their clearing rules
// and refusals while open.

#include "access/access_table.h"

#include "access/access_database.h"
#include "access/access_messages.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/errors.h"

namespace accessdb {

TAccessTable::TAccessTable(std::string name) : TDataSet(std::move(name)) {}

TAccessTable::~TAccessTable() {
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
  sql_.clear();
  queryDefName_.clear();
  ClearSourceDependents();
}

void TAccessTable::SetSQL(std::string text) {
  sql_ = std::move(text);
  if (sql_.empty()) return;
  queryDefName_.clear();
  indexName_.clear();
  tableName_.clear();
  ClearSourceDependents();
}

void TAccessTable::SetQueryDefName(std::string name) {
  if (Active()) RaiseError(messages::kSetQueryDefName);
  queryDefName_ = std::move(name);
  if (queryDefName_.empty()) return;
  indexName_.clear();
  tableName_.clear();
  sql_.clear();
  ClearSourceDependents();
  if (tableType_ == kTableTypeTable || tableType_ == kTableTypeDynamic) tableType_ = kTableTypeDynaset;
}

void TAccessTable::SetTableType(int type) {
  if (Active()) RaiseError(messages::kSetTableType);
  tableType_ = type;
  if (type != kTableTypeTable) {
    indexName_.clear();
    indexDefs_.Clear();
  }
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

namespace {

std::string DateText(const platform::Variant& value) {
  return value.IsNull() || value.IsEmpty() ? std::string() : value.ToText();
}

}  // namespace

std::string TAccessTable::TableDateCreated() {
  if (!cursorOpen_) return std::string();
  try {
    if (tableType_ == kTableTypeTable) return DateText(recordset_.DateCreated());
  } catch (const std::exception&) {
  }
  return std::string();
}

std::string TAccessTable::TableLastUpdated() {
  if (!cursorOpen_) return std::string();
  try {
    if (tableType_ == kTableTypeTable) return DateText(recordset_.LastUpdated());
  } catch (const std::exception&) {
  }
  return std::string();
}

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
