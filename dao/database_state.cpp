#include "dao/database_state.h"

namespace dao {

void DatabaseState::RaiseClosed(const char* source) {
  Raise(jet::kErrObjectInvalid, source, "Object invalid or no longer set.");
}

void DatabaseState::Close() {
  if (!jet_) return;
  std::unique_ptr<jet::JetDatabase> closing = std::move(jet_);
  if (!closing->IsReadOnly()) closing->Pages().Flush();
}

const jet::TableDefinition& TableSource::Definition(const char* source) {
  if (!definition_) definition_ = database_->Jet(source).Table(entry_.id);
  return *definition_;
}

std::shared_ptr<const jet::TableDefinition> TableSource::SharedDefinition(const char* source) {
  Definition(source);
  return definition_;
}

const jet::PropertyBlob& TableSource::Properties(const char* source) {
  if (!properties_) properties_ = database_->Jet(source).Properties(entry_);
  return *properties_;
}

}  // namespace dao
