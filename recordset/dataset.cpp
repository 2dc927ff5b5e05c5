// TDataSet: opening and closing, fields, states and notifications. The ring
// and movements are in dataset_ring.cpp, editing in dataset_editing.cpp and
// the default hooks in dataset_hooks.cpp.

#include "recordset/dataset.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "platform/name_list.h"
#include "platform/text_case.h"
#include "recordset/data_source.h"
#include "recordset/field_factory.h"
#include "recordset/float_fields.h"
#include "recordset/messages.h"

namespace recordset {

namespace {

// Fields whose native forms are the same, so a persistent field of one may
// be bound to a column of the other.
int NativeFamily(TFieldType type) {
  if (IsTextType(type)) return ftString;
  if (IsLargeValueType(type)) return ftBlob;
  switch (type) {
    case ftAutoInc:
      return ftInteger;
    case ftCurrency:
      return ftFloat;
    case ftFMTBcd:
      return ftBCD;
    default:
      return type;
  }
}

}  // namespace

TDataSet::TDataSet(std::string name) : name_(std::move(name)) {
  fieldDefs_.SetOnChange([this] { FieldDefsChanged(); });
}

TDataSet::~TDataSet() {
  // The engine has closed itself; what is left needs no hook. Sources are
  // told first so that no control keeps a field about to go.
  const auto sources = dataSources_;
  for (TDataSource* source : sources) source->DataSetGone();
}

void TDataSet::RaiseError(std::string_view text) const { DatabaseError(text, name_); }

bool TDataSet::Active() const {
  return state_ != TDataSetState::Inactive && state_ != TDataSetState::Opening;
}

void TDataSet::SetActive(bool active) {
  if (active == Active()) return;
  if (active) {
    Open();
  } else {
    Close(true);
  }
}

void TDataSet::Open() {
  if (events_.beforeOpen) events_.beforeOpen(*this);
  state_ = TDataSetState::Opening;
  defaultFields_ = fields_.empty();
  try {
    OpenStore();
    if (StoreIsOpen()) {
      AllocateRing();
      if (FetchNext()) FetchNextRows();
      bof_ = true;
    }
  } catch (...) {
    state_ = TDataSetState::Inactive;
    DisposeRing();
    // The open's own error is the one that counts; the storage only has to
    // be released.
    try {
      CloseStore();
    } catch (...) {
    }
    BindFields(false);
    DestroyDefaultFields();
    throw;
  }
  // Linked controls look up their fields now; a missing one fails the open
  // although the record-set stays open.
  SetState(TDataSetState::Browse);
  if (events_.afterOpen) events_.afterOpen(*this);
  if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::Close(bool mayRefuse) {
  // Asked before anything changes, so that a refusal leaves the record-set
  // exactly as it was and nobody hears of a close that did not happen.
  if (mayRefuse) CloseStarting();
  if (events_.beforeClose) events_.beforeClose(*this);
  // Controls drop their fields before the fields go; a pending row is
  // dropped without being stored. A control that fails while letting go
  // must not keep the storage open behind a closed record-set: the close
  // completes, then its error is passed on.
  std::exception_ptr failure;
  try {
    SetState(TDataSetState::Inactive);
  } catch (...) {
    failure = std::current_exception();
  }
  DisposeRing();
  calcBuffer_ = nullptr;
  CloseStore();
  if (failure) std::rethrow_exception(failure);
  if (events_.afterClose) events_.afterClose(*this);
}

void TDataSet::CloseBeforeDestruction() {
  try {
    if (Active()) Close(false);
  } catch (const std::exception& error) {
    ReportFailure(error);
  }
}

void TDataSet::UpdateFieldDefs() {
  if (!Active()) DescribeFields();
}

TField& TDataSet::Field(int index) const {
  if (index < 0 || index >= FieldCount()) throw std::out_of_range("field index");
  return *fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(std::string_view name) const {
  for (const auto& field : fields_) {
    if (platform::AnsiSameText(field->FieldName(), name)) return field.get();
  }
  return nullptr;
}

TField& TDataSet::FieldNamed(std::string_view name) const {
  TField* field = FindField(name);
  if (field == nullptr) RaiseError(FillMessage(messages::kFieldNotFound, {name}));
  return *field;
}

std::vector<TField*> TDataSet::FieldList(std::string_view names) const {
  std::vector<TField*> list;
  for (const std::string_view name : platform::SplitNameList(names)) list.push_back(&FieldNamed(name));
  return list;
}

TField* TDataSet::FindFieldByNumber(int fieldNo) const {
  for (const auto& field : fields_) {
    if (field->FieldNo() == fieldNo && field->FieldKind() == fkData) return field.get();
  }
  return nullptr;
}

TField& TDataSet::AddField(std::unique_ptr<TField> field) {
  CheckInactive();
  if (FindField(field->FieldName()) != nullptr) {
    RaiseError(FillMessage(messages::kDuplicateFieldName, {field->FieldName()}));
  }
  field->dataSet_ = this;
  fields_.push_back(std::move(field));
  return *fields_.back();
}

Variant TDataSet::FieldValue(std::string_view name) const {
  if (name.find(platform::kNameListSeparator) != std::string_view::npos) {
    return Variant::Array(FieldValues(name));
  }
  return FieldNamed(name).VariantValue();
}

std::vector<Variant> TDataSet::FieldValues(std::string_view names) const {
  std::vector<Variant> values;
  for (const TField* field : FieldList(names)) values.push_back(field->VariantValue());
  return values;
}

void TDataSet::CreateFieldsFromDefs() {
  if (!defaultFields_) return;
  for (int i = 0; i < fieldDefs_.Count(); ++i) {
    const TFieldDef& def = fieldDefs_[i];
    auto field = CreateFieldOfType(def.DataType(), def.Name(), def.Size());
    if (!field) RaiseError(FillMessage(messages::kUnknownFieldType, {def.Name()}));
    field->SetRequired(def.Required());
    field->SetReadOnly(def.Attributes().Has(faReadonly));
    if (auto* bcd = dynamic_cast<TBCDField*>(field.get())) bcd->SetPrecision(def.Precision());
    field->dataSet_ = this;
    fields_.push_back(std::move(field));
  }
}

void TDataSet::BindFields(bool binding) {
  calcFieldsSize_ = 0;
  for (const auto& field : fields_) {
    field->fieldNo_ = 0;
    field->offset_ = -1;
    if (!binding) continue;
    if (field->FieldKind() != fkData) {
      field->offset_ = calcFieldsSize_;
      calcFieldsSize_ += field->DataSize() + 1;
      continue;
    }
    const TFieldDef* def = fieldDefs_.Find(field->FieldName());
    if (def == nullptr) RaiseError(FillMessage(messages::kFieldNotFound, {field->FieldName()}));
    if (NativeFamily(def->DataType()) != NativeFamily(field->DataType())) {
      RaiseError(FillMessage(messages::kFieldTypeMismatch,
                             {field->FieldName(), FieldTypeIdentifier(def->DataType()),
                              FieldTypeIdentifier(field->DataType())}));
    }
    // A native form of another size would make the engine read or write
    // past the field's buffer.
    if (NativeSize(def->DataType(), def->Size()) != field->DataSize()) {
      RaiseError(FillMessage(messages::kFieldSizeMismatch,
                             {field->FieldName(), std::to_string(def->Size()),
                              std::to_string(field->Size())}));
    }
    field->fieldNo_ = def->FieldNo();
  }
}

void TDataSet::DestroyDefaultFields() {
  if (defaultFields_) fields_.clear();
}

std::unique_ptr<TRowBuffer> TDataSet::AllocateRowBuffer() {
  auto buffer = NewRowBuffer();
  buffer->computed.assign(static_cast<std::size_t>(calcFieldsSize_), std::byte{0});
  return buffer;
}

void TDataSet::ComputeFields(TRowBuffer& buffer) {
  if (calcFieldsSize_ == 0) return;
  const TDataSetState previous = SetTempState(TDataSetState::Computing);
  TRowBuffer* const previousBuffer = calcBuffer_;
  calcBuffer_ = &buffer;
  try {
    BlankComputedFields(buffer);
    if (events_.onCalcFields) events_.onCalcFields(*this);
  } catch (...) {
    calcBuffer_ = previousBuffer;
    RestoreState(previous);
    throw;
  }
  calcBuffer_ = previousBuffer;
  RestoreState(previous);
}

bool TDataSet::ReadComputedField(const TRowBuffer& buffer, const TField& field,
                                 std::span<std::byte> target) const {
  const int offset = field.Offset();
  const auto slot = static_cast<std::size_t>(offset);
  if (offset < 0 || slot >= buffer.computed.size() || buffer.computed[slot] == std::byte{0}) {
    return false;
  }
  const std::size_t length =
      std::min({target.size(), static_cast<std::size_t>(field.DataSize()),
                buffer.computed.size() - slot - 1});
  std::copy_n(buffer.computed.begin() + static_cast<std::ptrdiff_t>(slot) + 1, length,
              target.begin());
  return true;
}

void TDataSet::WriteComputedField(TRowBuffer& buffer, const TField& field,
                                  NativeValue value) const {
  const int offset = field.Offset();
  const auto slot = static_cast<std::size_t>(offset);
  const auto size = static_cast<std::size_t>(field.DataSize());
  if (offset < 0 || slot + 1 + size > buffer.computed.size()) return;
  auto area = std::span(buffer.computed).subspan(slot, size + 1);
  std::fill(area.begin(), area.end(), std::byte{0});
  if (!value) return;
  area[0] = std::byte{1};
  std::copy_n(value->begin(), std::min(value->size(), size), area.begin() + 1);
}

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  rowModified_ = false;
  DataEvent(TDataEvent::UpdateState);
}

TDataSetState TDataSet::SetTempState(TDataSetState state) {
  const TDataSetState previous = state_;
  state_ = state;
  return previous;
}

void TDataSet::RestoreState(TDataSetState previous) { state_ = previous; }

void TDataSet::CheckActive() const {
  if (!Active()) RaiseError(messages::kDataSetClosed);
}

void TDataSet::CheckInactive() const {
  if (Active()) RaiseError(messages::kDataSetOpen);
}

void TDataSet::CheckCanModify() const {
  if (!IsWritable()) RaiseError(messages::kDataSetReadOnly);
}

void TDataSet::FieldWritten(const TField& field) {
  switch (state_) {
    case TDataSetState::KeyEntry:
    case TDataSetState::Computing:
    case TDataSetState::InternalComputing:
    case TDataSetState::Filtering:
      return;
    default:
      DataEvent(TDataEvent::FieldChange, &field);
  }
}

void TDataSet::DataEvent(TDataEvent event, const TField* field) {
  if (event == TDataEvent::FieldChange && field != nullptr &&
      (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc)) {
    rowModified_ = true;
    const bool editing = state_ == TDataSetState::Edit || state_ == TDataSetState::Insert;
    if (editing && autoCalcFields_ && ActiveBuffer() != nullptr) ComputeFields(*ActiveBuffer());
  }
  // State changes always reach the controls: a control that missed a close
  // would keep a field that no longer exists. Pending texts must be written
  // whatever happens on screen.
  const bool alwaysSent = event == TDataEvent::UpdateState || event == TDataEvent::UpdateRecord;
  if (disableCount_ > 0 && !alwaysSent) {
    missedDataChange_ = true;
    return;
  }
  Notify(event, field);
}

void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls() {
  if (disableCount_ == 0 || --disableCount_ > 0 || !missedDataChange_) return;
  missedDataChange_ = false;
  Notify(TDataEvent::DataSetChange, nullptr);
}

bool TDataSet::IsLinkedTo(const TDataSource* source) const {
  std::vector<const TDataSet*> visited;
  for (const TDataSet* dataSet = this; dataSet != nullptr;) {
    // A chain that already loops elsewhere must not loop here forever.
    if (std::find(visited.begin(), visited.end(), dataSet) != visited.end()) return false;
    visited.push_back(dataSet);
    const TDataSource* linked = dataSet->LinkedSource();
    if (linked == nullptr) return false;
    if (linked == source) return true;
    dataSet = linked->DataSet();
  }
  return false;
}

void TDataSet::DoBeforeScroll() {
  if (events_.beforeScroll) events_.beforeScroll(*this);
}

void TDataSet::DoAfterScroll() {
  if (events_.afterScroll) events_.afterScroll(*this);
}

void TDataSet::AddDataSource(TDataSource& source) {
  dataSources_.push_back(&source);
  UpdateRingSize();
}

void TDataSet::RemoveDataSource(TDataSource& source) {
  std::erase(dataSources_, &source);
  UpdateRingSize();
}

void TDataSet::UpdateRingSize() {
  int size = 1;
  for (const TDataSource* source : dataSources_) size = std::max(size, source->MaxBufferCount());
  if (size == ringSize_) return;
  ringSize_ = size;
  if (!buffers_.empty()) ResizeRing();
}

}  // namespace recordset
