// DAO's collections (TableDefs, Fields, Indexes, Properties, Workspaces):
// items by position or by name, the name compared without regard to case.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dao/engine_state.h"
#include "platform/text_case.h"

namespace dao {

inline constexpr int kErrAlreadyInCollection = 3367;

template <class T>
class Collection {
 public:
  // `source` names the collection in errors ("DAO.TableDefs").
  Collection(EngineLink engine, const char* source) : engine_(std::move(engine)), source_(source) {}

  // Number of items.
  int Count() const { return static_cast<int>(items_.size()); }
  // Item `index` (0-based); raises DaoError 3265 when there is none.
  const std::shared_ptr<T>& Item(int index) const {
    return Guarded(*engine_, source_, [&]() -> const std::shared_ptr<T>& {
      if (index < 0 || index >= Count()) NotFound();
      return items_[static_cast<std::size_t>(index)];
    });
  }
  // The item called `name`; raises DaoError 3265 when there is none.
  const std::shared_ptr<T>& Item(std::string_view name) const {
    return Guarded(*engine_, source_, [&]() -> const std::shared_ptr<T>& {
      for (const auto& item : items_) {
        if (platform::AnsiSameText(item->Name(), name)) return item;
      }
      NotFound();
    });
  }
  // True when an item is called `name`.
  bool Contains(std::string_view name) const {
    for (const auto& item : items_) {
      if (platform::AnsiSameText(item->Name(), name)) return true;
    }
    return false;
  }
  // The collection always reflects its owner; kept for DAO's interface.
  void Refresh() const {}

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Appends `item`; raises DaoError 3367 when an item of that name exists.
  void Append(std::shared_ptr<T> item) {
    Guarded(*engine_, source_, [&] {
      if (Contains(item->Name())) {
        Raise(kErrAlreadyInCollection, source_,
              "Cannot append. An object with that name already exists in the collection.");
      }
      items_.push_back(std::move(item));
    });
  }
  // For the owning object: adds an item at the end.
  void Add(std::shared_ptr<T> item) { items_.push_back(std::move(item)); }
  // For the owning object: removes every item.
  void Clear() { items_.clear(); }

 private:
  [[noreturn]] void NotFound() const { Raise(jet::kErrItemNotFound, source_, "Item not found in this collection."); }

  EngineLink engine_;
  const char* source_;
  std::vector<std::shared_ptr<T>> items_;
};

}  // namespace dao
