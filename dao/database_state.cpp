#include "dao/database_state.h"

#include <algorithm>

namespace dao {

DatabaseState::~DatabaseState() {
  // The writer works on the engine database's page file: it goes first.
  writer_.reset();
}

void DatabaseState::RaiseClosed(const char* source) {
  Raise(jet::kErrObjectInvalid, source, "Object invalid or no longer set.");
}

void DatabaseState::Close() {
  if (!jet_) return;
  writer_.reset();
  std::unique_ptr<jet::JetDatabase> closing = std::move(jet_);
  rowSets_.clear();
  if (!closing->IsReadOnly()) closing->Pages().Flush();
}

void DatabaseState::Write(const char* source, const std::function<void(jet::DatabaseWriter&)>& change) {
  jet::JetDatabase& jet = Jet(source);
  if (jet.IsReadOnly()) Raise(jet::kErrReadOnly, source, "Cannot update. Database or object is read-only.");
  if (!writer_) writer_ = std::make_unique<jet::DatabaseWriter>(jet.Pages(), jet.GetLayout(), jet.Codec());
  // Whatever happens, row bytes read before may have moved.
  ++generation_;
  writer_->Atomically([&] { change(*writer_); });
}

void DatabaseState::RowsChanged(std::uint32_t tdefPage) {
  ++generation_;
  if (writer_) Jet("DAO.Database").UpdateCounters(writer_->Table(tdefPage).Definition());
}

void DatabaseState::SchemaChanged() {
  ++generation_;
  ++schemaGeneration_;
  Jet("DAO.Database").ReloadCatalog();
}

void DatabaseState::AddRowSet(std::uint32_t tdefPage, const std::shared_ptr<RowSet>& rows) {
  std::vector<std::weak_ptr<RowSet>>& sets = rowSets_[tdefPage];
  std::erase_if(sets, [](const std::weak_ptr<RowSet>& set) { return set.expired(); });
  sets.push_back(rows);
}

std::vector<std::shared_ptr<RowSet>> DatabaseState::RowSets(std::uint32_t tdefPage) {
  std::vector<std::shared_ptr<RowSet>> live;
  const auto found = rowSets_.find(tdefPage);
  if (found == rowSets_.end()) return live;
  for (const std::weak_ptr<RowSet>& set : found->second) {
    if (std::shared_ptr<RowSet> rows = set.lock()) live.push_back(std::move(rows));
  }
  return live;
}

const jet::CatalogEntry& TableSource::Entry() const {
  if (entrySchema_ != database_->SchemaGeneration() && database_->IsOpen()) {
    for (const jet::CatalogEntry& entry : database_->Jet("DAO.TableDef").Catalog()) {
      if (entry.id == entry_.id && entry.IsLocalTable()) entry_ = entry;
    }
    entrySchema_ = database_->SchemaGeneration();
  }
  return entry_;
}

const jet::TableDefinition& TableSource::Definition(const char* source) {
  // Asked for every row read: no copy of the shared pointer.
  RefreshDefinition(source);
  return *definition_;
}

std::shared_ptr<const jet::TableDefinition> TableSource::SharedDefinition(const char* source) {
  RefreshDefinition(source);
  return definition_;
}

void TableSource::RefreshDefinition(const char* source) {
  jet::JetDatabase& jet = database_->Jet(source);
  // Rows written keep the cached definition current; a changed schema
  // needs it read again.
  if (!definition_ || definitionSchema_ != database_->SchemaGeneration()) {
    definition_ = jet.Table(entry_.id);
    definitionSchema_ = database_->SchemaGeneration();
  }
}

const jet::PropertyBlob& TableSource::Properties(const char* source) {
  jet::JetDatabase& jet = database_->Jet(source);
  if (!properties_ || propertiesSchema_ != database_->SchemaGeneration()) {
    properties_ = jet.Properties(Entry());
    propertiesSchema_ = database_->SchemaGeneration();
  }
  return *properties_;
}

void TableSource::SetProperty(const char* source, const std::string& columnName, jet::StoredProperty property) {
  database_->Write(source, [&](jet::DatabaseWriter& writer) { writer.SetProperty(Entry(), columnName, std::move(property)); });
  database_->SchemaChanged();
}

}  // namespace dao
