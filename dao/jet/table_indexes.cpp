#include "dao/jet/table_indexes.h"

#include <algorithm>

#include "dao/jet/data_page_writer.h"
#include "dao/jet/index_tree.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/table_definition_edit.h"
#include "dao/jet/table_definition_writer.h"
#include "platform/text_case.h"
#include "dao/jet/usage_map.h"

namespace dao::jet {

std::size_t AddIndexDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                               const NewIndex& index) {
  DefinitionEditor editor(pages, codec, definition);
  const Layout& layout = pages.GetLayout();
  // The new logical index takes its place by name among the others as
  // they are stored.
  std::vector<LogicalIndex> stored = definition.logicalIndexes;
  const std::size_t position = AppendIndexDefinition(definition, index, layout);
  RealIndex& real = definition.realIndexes[position];
  real.rootPage = WriteEmptyIndexRoot(pages, definition.page);
  // The map row goes beside the table's other maps while their page has room.
  real.usageMap = UsageMapRows(pages, definition.ownedPagesMap.page).Add(real.rootPage);
  const LogicalIndex* added = nullptr;
  for (const LogicalIndex& logical : definition.logicalIndexes) {
    if (logical.realIndex == position) added = &logical;
  }
  std::size_t at = 0;
  while (at < stored.size() && platform::AnsiCompareText(stored[at].name, added->name) <= 0) ++at;
  stored.insert(stored.begin() + static_cast<std::ptrdiff_t>(at), *added);
  definition.logicalIndexes = std::move(stored);
  editor.AddRealIndex(real);
  editor.InsertLogicalIndex(at, definition.logicalIndexes[at]);
  editor.Store(definition);
  return position;
}

namespace {

// Whether `index` is a foreign key naming, behind `removed`, a logical
// index of the table at `tablePage`; if so, it now names it one lower.
bool FollowsRemoved(LogicalIndex& index, std::uint32_t tablePage, std::uint32_t removed) {
  if (index.kind != kIndexKindForeign || index.relatedTablePage != tablePage || index.relatedIndex == 0xFFFFFFFF ||
      index.relatedIndex <= removed)
    return false;
  --index.relatedIndex;
  return true;
}

}  // namespace

std::uint32_t RemoveIndexDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                                    std::size_t logical) {
  DefinitionEditor editor(pages, codec, definition);
  const std::uint32_t real = definition.logicalIndexes[logical].realIndex;
  const std::uint32_t number = definition.logicalIndexes[logical].number;
  definition.logicalIndexes.erase(definition.logicalIndexes.begin() + static_cast<std::ptrdiff_t>(logical));
  editor.RemoveLogicalIndex(logical);
  const bool shared = std::any_of(definition.logicalIndexes.begin(), definition.logicalIndexes.end(),
                                  [&](const LogicalIndex& other) { return other.realIndex == real; });
  if (!shared) {
    const RealIndex& removed = definition.realIndexes[real];
    for (const std::uint32_t page : ReadUsageMap(pages.File(), pages.GetLayout(), removed.usageMap)) pages.Release(page);
    MarkRowDeleted(pages.Modify(removed.usageMap.page)->MutableData(), removed.usageMap.row, pages.GetLayout());
    definition.realIndexes.erase(definition.realIndexes.begin() + real);
    editor.RemoveRealIndex(real);
  }
  // The trees and logical indexes behind the removed ones move up a place.
  for (std::size_t i = 0; i < definition.logicalIndexes.size(); ++i) {
    LogicalIndex& other = definition.logicalIndexes[i];
    bool changed = FollowsRemoved(other, definition.page, number);
    if (!shared && other.realIndex > real) {
      --other.realIndex;
      changed = true;
    }
    if (other.number > number) {
      --other.number;
      changed = true;
    }
    if (changed) editor.RenumberLogicalIndex(i, other);
  }
  editor.Store(definition);
  return number;
}

bool FollowRemovedIndex(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                        std::uint32_t tablePage, std::uint32_t removed) {
  DefinitionEditor editor(pages, codec, definition);
  bool changed = false;
  for (std::size_t i = 0; i < definition.logicalIndexes.size(); ++i) {
    if (!FollowsRemoved(definition.logicalIndexes[i], tablePage, removed)) continue;
    editor.RenumberLogicalIndex(i, definition.logicalIndexes[i]);
    changed = true;
  }
  if (changed) editor.Store(definition);
  return changed;
}

}  // namespace dao::jet
