// DAO's collections (TableDefs, Fields, Indexes, Properties, Workspaces):
// items by position or by name, the name compared without regard to case.
// The object owning a collection may take over Append and Delete (to
// create a table, check a new field, ...).
#pragma once

#include <functional>
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
  using AppendHandler = std::function<void(const std::shared_ptr<T>&)>;
  using DeleteHandler = std::function<void(std::string_view)>;

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

  // Appends `item` through the owner's handler when it has one; otherwise
  // adds it, raising DaoError 3367 when an item of that name exists.
  void Append(std::shared_ptr<T> item) {
    Guarded(*engine_, source_, [&] {
      if (!item) Raise(jet::kErrInvalidArgument, source_, "Invalid argument.");
      if (onAppend_) return onAppend_(item);
      if (Contains(item->Name())) {
        Raise(kErrAlreadyInCollection, source_,
              "Cannot append. An object with that name already exists in the collection.");
      }
      items_.push_back(std::move(item));
    });
  }
  // Deletes the item called `name` through the owner's handler when it has
  // one; otherwise removes it. DaoError 3265 when there is no such item.
  void Delete(std::string_view name) {
    Guarded(*engine_, source_, [&] {
      if (!Contains(name)) NotFound();
      if (onDelete_) return onDelete_(name);
      Remove(name);
    });
  }

  // For the owning object: the handlers of Append and Delete.
  void SetHandlers(AppendHandler onAppend, DeleteHandler onDelete) {
    onAppend_ = std::move(onAppend);
    onDelete_ = std::move(onDelete);
  }
  // For the owning object: adds an item at the end.
  void Add(std::shared_ptr<T> item) { items_.push_back(std::move(item)); }
  // For the owning object: removes the item called `name`, if any.
  void Remove(std::string_view name) {
    std::erase_if(items_, [&](const std::shared_ptr<T>& item) { return platform::AnsiSameText(item->Name(), name); });
  }
  // For the owning object: removes every item.
  void Clear() { items_.clear(); }

 private:
  [[noreturn]] void NotFound() const { Raise(jet::kErrItemNotFound, source_, "Item not found in this collection."); }

  EngineLink engine_;
  const char* source_;
  std::vector<std::shared_ptr<T>> items_;
  AppendHandler onAppend_;
  DeleteHandler onDelete_;
};

}  // namespace dao
