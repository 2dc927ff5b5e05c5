#include "recordset/field_defs.h"

#include <stdexcept>

#include "platform/text_case.h"
#include "recordset/database_error.h"
#include "recordset/messages.h"

namespace recordset {

namespace {

// Whether a column of `dataType` may declare `size`. Sizes come from files
// too, and a size whose native form cannot be counted in an int (or, for
// ftVarBytes, whose length prefix cannot hold it) would break every read
// and write of the column.
bool IsValidSize(TFieldType dataType, int size) {
  if (IsTextType(dataType)) return size >= 0 && size <= kMaxTextFieldSize;
  if (dataType == ftVarBytes) return size >= 0 && size <= kMaxVarBytesSize;
  if (dataType == ftBytes) return size >= 0;
  return true;
}

}  // namespace

TFieldDef::TFieldDef(TFieldDefs& owner, std::string name, TFieldType dataType, int size,
                     int fieldNo)
    : owner_(owner), name_(std::move(name)), dataType_(dataType), size_(size), fieldNo_(fieldNo) {}

void TFieldDef::SetRequired(bool required) {
  if (required) {
    attributes_.Include(faRequired);
  } else {
    attributes_.Exclude(faRequired);
  }
  owner_.Changed();
}

void TFieldDef::SetPrecision(int precision) {
  precision_ = precision;
  owner_.Changed();
}

void TFieldDef::SetAttributes(TFieldAttributes attributes) {
  attributes_ = attributes;
  owner_.Changed();
}

TFieldDef& TFieldDefs::AddFieldDef(std::string name, TFieldType dataType, int size,
                                   bool required) {
  if (name.empty()) DatabaseError(messages::kFieldNameMissing);
  if (!IsValidSize(dataType, size)) DatabaseError(messages::kInvalidFieldSize);
  if (IndexOf(name) >= 0) DatabaseError(FillMessage(messages::kDuplicateFieldName, {name}));
  // Why the constructor is private: a definition always knows its owner.
  auto def = std::unique_ptr<TFieldDef>(
      new TFieldDef(*this, std::move(name), dataType, size, Count() + 1));
  if (required) def->attributes_.Include(faRequired);
  defs_.push_back(std::move(def));
  Changed();
  return *defs_.back();
}

void TFieldDefs::Clear() {
  defs_.clear();
  Changed();
}

const TFieldDef& TFieldDefs::operator[](int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("field definition index");
  return *defs_[static_cast<std::size_t>(index)];
}

TFieldDef& TFieldDefs::operator[](int index) {
  return const_cast<TFieldDef&>(static_cast<const TFieldDefs&>(*this)[index]);
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : defs_[static_cast<std::size_t>(index)].get();
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < defs_.size(); ++i) {
    if (platform::AnsiSameText(defs_[i]->Name(), name)) return static_cast<int>(i);
  }
  return -1;
}

void TFieldDefs::Changed() const {
  if (onChange_) onChange_();
}

}  // namespace recordset
