// TNtdTable: where the rows come from, where they are stored, clones and
// the password.

#include <filesystem>

#include "platform/file_io.h"
#include "tablefile/field_type_mapping.h"
#include "tablefile/ntd_database.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/text_format.h"

namespace tablefile {
namespace {

std::string FileNamePart(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::span<std::uint8_t> BytesOf(std::string& bytes) {
  return {reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace

TNtdTable::TNtdTable(std::string name) : TNtdDataset(std::move(name)) {}

TNtdTable::~TNtdTable() {
  Shutdown();
  if (cloneDS_ != nullptr) std::erase(cloneDS_->cloneReferrers_, this);
}

void TNtdTable::SetCloneDS(TNtdDataset* source) {
  if (source == cloneDS_) return;
  SetActive(false);
  if (cloneDS_ != nullptr) std::erase(cloneDS_->cloneReferrers_, this);
  cloneDS_ = source;
  if (cloneDS_ != nullptr) cloneDS_->cloneReferrers_.push_back(this);
  loadMode_ = cloneDS_ != nullptr ? TNtdLoadMode::lmClone : TNtdLoadMode::lmClear;
}

void TNtdTable::CloneSourceGone() {
  CloseBeforeDestruction();
  cloneDS_ = nullptr;
  loadMode_ = TNtdLoadMode::lmClear;
}

void TNtdTable::SetTableName(std::string name) {
  if (name == tableName_) return;
  SetActive(false);
  tableName_ = std::move(name);
  loadMode_ = tableName_.empty() ? TNtdLoadMode::lmClear : TNtdLoadMode::lmFile;
}

void TNtdTable::SetLoadMode(TNtdLoadMode mode) {
  if (mode == loadMode_) return;
  SetActive(false);
  loadMode_ = mode;
}

void TNtdTable::SetDatabase(TNtdDatabase* database) {
  TNtdDataset::SetDatabase(database);
  if (database != nullptr && !database->DatabasePath().empty() && !tableName_.empty()) {
    tableName_ = FileNamePart(tableName_);
  }
}

std::string TNtdTable::TableFilePath() const {
  const bool bareName = FileNamePart(tableName_) == tableName_;
  if (bareName && Database() != nullptr) return Database()->DatabasePath() + tableName_;
  return tableName_;
}

const std::string& TNtdTable::Password() {
  if (Active() && store_ != nullptr) password_ = store_->Password();
  return password_;
}

void TNtdTable::SetPassword(std::string password) {
  TNtdSession& session = TNtdSession::Instance();
  if (!password.empty()) {
    session.AddPassword(password);
  } else if (!password_.empty()) {
    session.RemovePassword(password_);
  }
  password_ = std::move(password);
  if (Active() && store_ != nullptr) {
    // The next store writes the table with the new password (or plain).
    store_->SetPassword(password_);
    ++unsavedChanges_;
    JoinChangedTables();
  }
}

void TNtdTable::LoadTable() {
  switch (loadMode_) {
    case TNtdLoadMode::lmClear: {
      if (FieldDefs().Empty()) RaiseError(messages::kNoFieldDescriptions);
      TNtdCursor empty;
      empty.DefineFields(FieldsOfDefinitions(FieldDefs()));
      std::vector<std::uint8_t> image;
      empty.WriteImage(image);
      LoadTableImage(image);
      break;
    }
    case TNtdLoadMode::lmFile: {
      const std::string path = TableFilePath();
      if (!platform::FileExists(path)) RaiseError(FormatText(messages::kFileNotFound, {path}));
      std::string bytes = platform::ReadWholeFile(path);
      // Taken before reading, which deciphers the bytes in place.
      const platform::FileVersion version = platform::VersionOf(bytes);
      LoadTableImage(BytesOf(bytes));
      store_->SetSourceFile(path, version);
      break;
    }
    case TNtdLoadMode::lmClone:
      if (cloneDS_ == nullptr || !cloneDS_->Active()) RaiseError(messages::kCloneSourceClosed);
      cloneDS_->AttachClone(*this);
      ownStore_.reset();
      store_ = cloneDS_->store_;
      joined_ = true;
      break;
    case TNtdLoadMode::lmStream:
      if (loadingStream_ == nullptr) RaiseError(messages::kNoLoadingStream);
      LoadTableImage(*loadingStream_, true);
      break;
  }
}

bool TNtdTable::ReloadsFromSource() const { return loadMode_ == TNtdLoadMode::lmFile; }

void TNtdTable::StoreTable() {
  // Rows changed through clones are in this table's store as well.
  if (!StoreHasUnsavedChanges()) return;
  auto* source = dynamic_cast<TNtdTable*>(cloneDS_);
  std::string path;
  if (loadMode_ == TNtdLoadMode::lmFile) {
    path = TableFilePath();
  } else if (loadMode_ == TNtdLoadMode::lmClone && source != nullptr) {
    path = source->TableFilePath();
  }
  if (path.empty()) return;
  WriteTableFile(path);
  if (loadMode_ == TNtdLoadMode::lmClone && source != nullptr) source->RebuildView(true);
}

void TNtdTable::ReleaseStore() {
  ownStore_.reset();
  store_ = nullptr;
}

void TNtdTable::FieldDefsChanged() { storeDefs_ = loadMode_ == TNtdLoadMode::lmClear; }

void TNtdTable::LeaveCloneSource() {
  if (!joined_) return;
  if (cloneDS_ != nullptr) cloneDS_->DetachClone(*this);
  store_ = nullptr;
  joined_ = false;
}

void TNtdTable::CloseStore() {
  LeaveCloneSource();
  TNtdDataset::CloseStore();
}

void TNtdTable::RevertChanges() {
  TNtdDataset::RevertChanges();
  if (loadMode_ == TNtdLoadMode::lmClone && cloneDS_ != nullptr && Database() != nullptr) {
    Database()->RemoveChangedTable(cloneDS_);
  }
}

void TNtdTable::AcceptChanges() {
  TNtdDataset::AcceptChanges();
  if (loadMode_ == TNtdLoadMode::lmClone && cloneDS_ != nullptr && Database() != nullptr) {
    Database()->RemoveChangedTable(cloneDS_);
  }
}

}  // namespace tablefile
