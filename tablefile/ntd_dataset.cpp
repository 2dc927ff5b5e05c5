// TNtdDataset: properties, loading, opening and closing, storing.

#include "tablefile/ntd_dataset.h"

#include <algorithm>
#include <iterator>

#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/error_display.h"
#include "recordset/float_fields.h"
#include "tablefile/field_type_mapping.h"
#include "tablefile/ntd_database.h"
#include "tablefile/ntd_messages.h"

namespace tablefile {
namespace {

constexpr char kFloatDisplayFormat[] = "0.######";

}  // namespace

TNtdDataset::TNtdDataset(std::string name) : TDataSet(std::move(name)) {}

TNtdDataset::~TNtdDataset() = default;

void TNtdDataset::Shutdown() {
  for (TNtdTable* referrer : std::vector<TNtdTable*>(cloneReferrers_)) referrer->CloneSourceGone();
  CloseBeforeDestruction();
  if (database_ != nullptr) database_->UnbindTable(this);
  database_ = nullptr;
  ReleaseStore();
}

void TNtdDataset::CloseStarting() {
  if (!clones_.empty()) RaiseError(messages::kClonesStillOpen);
}

void TNtdDataset::SetDatabase(TNtdDatabase* database) {
  if (database == database_) return;
  SetActive(false);
  if (database_ != nullptr) database_->UnbindTable(this);
  database_ = database;
  if (database_ != nullptr) database_->BindTable(this);
}

void TNtdDataset::DatabaseGone() {
  CloseBeforeDestruction();
  database_ = nullptr;
}

bool TNtdDataset::IsWritable() const { return TDataSet::IsWritable() && !readOnly_; }

void TNtdDataset::ReportFailure(const std::exception& error) { platform::ShowApplicationError(error); }

recordset::TDataSource* TNtdDataset::LinkedSource() const { return masterSource_; }

bool TNtdDataset::StoreIsOpen() const { return store_ != nullptr && store_->FieldCount() > 0; }

void TNtdDataset::ApplyFieldOrigin() {
  for (int i = 0; i < FieldCount(); ++i) Field(i).SetOrigin(fieldOrigin_);
}

void TNtdDataset::WriteTableFile(const std::string& fileName) {
  if (store_ == nullptr) return;
  store_->WriteFile(fileName, saveOptions_, (sortOptions_ & vsoCaseInsensitive) != 0,
                    platform::Utf8ToAnsi(indexFieldNames_));
}

void TNtdDataset::SaveChanges() {
  const auto state = State();
  if (state == recordset::TDataSetState::Edit || state == recordset::TDataSetState::Insert ||
      state == recordset::TDataSetState::KeyEntry) {
    PostRow();
  }
  StoreTable();
}

void TNtdDataset::LoadTableImage(std::span<std::uint8_t> image) {
  // The image is read into a fresh store first, so that a failed reload
  // leaves the rows in memory as they were.
  // The store keeps its hook while OnCallback may be cleared or replaced.
  const auto progress = [this](int percent) {
    if (onCallback_) onCallback_(*this, percent);
  };
  TNtdCursor loaded;
  if (store_ == nullptr) {
    loaded.SetPassword(password_);
  } else if (!store_->HeaderBlock()) {
    loaded.SetPassword(store_->Password());
  }
  if (onCallback_) loaded.SetProgressHook(progress);
  loaded.SetPartialOpen(partialOpen_);
  const TNtdResult result = loaded.ReadImage(image);
  if (!result.Ok) {
    // An open that fails releases the store (OpenStore); a failed reload
    // of an open table keeps the rows in memory as they were.
    position_ = -1;
    RaiseError(messages::kErrorOpeningTable + result.Reason);
  }
  if (store_ == nullptr) {
    ownStore_ = std::make_unique<TNtdCursor>();
    store_ = ownStore_.get();
    store_->SetDiscardHook([this](std::uintptr_t& recordData) {
      if (onDestroyRecordData_) onDestroyRecordData_(*this, recordData);
    });
    if (onCallback_) store_->SetProgressHook(progress);
  }
  view_.clear();
  position_ = -1;
  store_->ReplaceTable(std::move(loaded));
  ShowReloadedStoreInClones();
  if (!result.Reason.empty()) {
    platform::ShowMessage(nullptr, "", result.Reason, platform::MessageIcon::kInformation);
  }
}

void TNtdDataset::LoadTableImage(std::istream& stream, bool keepStream) {
  if (!keepStream) stream.seekg(0);
  std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  LoadTableImage(std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
}

void TNtdDataset::OpenStore() {
  position_ = -1;
  opened_ = false;
  unsavedChanges_ = 0;
  try {
    LoadTable();
    DescribeFields();
    if (DefaultFields()) {
      CreateFieldsFromDefs();
      ApplyFieldOrigin();
    }
    BindFields(true);
  } catch (...) {
    // A failed open leaves no store behind: the rows of an earlier table
    // must not reach a file under the new name.
    ReleaseStore();
    throw;
  }
  for (int i = 0; i < FieldCount(); ++i) {
    auto* floatField = dynamic_cast<recordset::TFloatField*>(&Field(i));
    if (floatField != nullptr && !floatField->Currency() && floatField->DisplayFormat().empty()) {
      floatField->SetDisplayFormat(kFloatDisplayFormat);
    }
  }
  RebuildView(false);
  opened_ = true;
  if (database_ != nullptr) database_->AddOpenTable(this);
}

void TNtdDataset::DescribeFields() {
  if (store_ == nullptr) return;
  FieldDefs().Clear();
  for (const TNtdField& field : store_->Fields()) {
    FieldDefs().AddFieldDef(platform::AnsiToUtf8(field.Name), FieldTypeOf(field.StorageType),
                            field.DeclaredSize);
  }
}

void TNtdDataset::CloseStore() {
  // A caller's close with clones attached was refused by CloseStarting; this
  // is a close that cannot be refused (a failed open, destruction), and
  // attached clones must not keep a store going away.
  for (TNtdTable* clone : std::vector<TNtdTable*>(clones_)) clone->SetActive(false);
  BindFields(false);
  DestroyDefaultFields();
  position_ = -1;
  view_.clear();
  opened_ = false;
  if (database_ != nullptr) {
    database_->RemoveChangedTable(this);
    database_->RemoveOpenTable(this);
  }
}

void TNtdDataset::AttachClone(TNtdTable& clone) {
  if (std::find(clones_.begin(), clones_.end(), &clone) == clones_.end()) clones_.push_back(&clone);
}

void TNtdDataset::DetachClone(TNtdTable& clone) { std::erase(clones_, &clone); }

void TNtdDataset::RebuildCloneViews() {
  for (TNtdTable* clone : clones_) {
    clone->RebuildView(false);
    clone->ShowRows();
  }
}

void TNtdDataset::ShowReloadedStoreInClones() {
  for (TNtdTable* clone : clones_) {
    // A pending edit names a record of the released table: its values stay,
    // but it can no longer be stored as a change of that record.
    if (clone->State() == recordset::TDataSetState::Edit) clone->ActiveRow()->mark.clear();
  }
  RebuildCloneViews();
}

}  // namespace tablefile
