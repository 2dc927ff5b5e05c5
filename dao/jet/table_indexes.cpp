#include "dao/jet/table_indexes.h"

#include <algorithm>

#include "dao/jet/data_page_writer.h"
#include "dao/jet/index_tree.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/table_definition_writer.h"
#include "dao/jet/usage_map.h"

namespace dao::jet {
namespace {

// The definition stream as stored: the first page whole, then each
// continuation page without its header.
std::vector<std::uint8_t> StoredStream(PageWriter& pages, const TableDefinition& definition) {
  const Bytes first = pages.Read(definition.page)->Data();
  std::vector<std::uint8_t> stream(first.begin(), first.end());
  for (const std::uint32_t page : definition.continuationPages) {
    const Bytes bytes = pages.Read(page)->Data();
    stream.insert(stream.end(), bytes.begin() + kTdefPageHeaderSize, bytes.end());
  }
  return stream;
}

void RequireExactRewrite(PageWriter& pages, const TextCodec& codec, const TableDefinition& definition) {
  const std::vector<std::uint8_t> stored = StoredStream(pages, definition);
  const std::vector<std::uint8_t> written = SerializeTableDefinition(definition, pages.GetLayout(), codec);
  // The page header (type, free space, next page) is the pages' own.
  const bool same = written.size() <= stored.size() &&
                    std::equal(written.begin() + kTdefPageHeaderSize, written.end(), stored.begin() + kTdefPageHeaderSize);
  if (!same) {
    throw JetError(kErrNotSupported, "The indexes of this table cannot be changed: its definition holds details "
                                     "this engine does not write.");
  }
}

// Writes `definition` over its tdef page and continuation pages, taking
// more pages or giving back the ones it no longer needs.
void StoreDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition) {
  const Layout& layout = pages.GetLayout();
  const std::vector<std::uint8_t> stream = SerializeTableDefinition(definition, layout, codec);
  const std::uint32_t needed = TableDefinitionPageCount(stream.size(), layout);
  std::vector<std::uint32_t> numbers = {definition.page};
  numbers.insert(numbers.end(), definition.continuationPages.begin(), definition.continuationPages.end());
  while (numbers.size() > needed) {
    pages.Release(numbers.back());
    numbers.pop_back();
  }
  while (numbers.size() < needed) numbers.push_back(pages.Allocate()->Number());
  std::vector<MutablePageRef> held;
  std::vector<MutableBytes> bytes;
  for (const std::uint32_t number : numbers) {
    held.push_back(pages.Modify(number));
    bytes.push_back(held.back()->MutableData());
  }
  LayTableDefinitionPages(stream, numbers, bytes, layout);
  definition.continuationPages.assign(numbers.begin() + 1, numbers.end());
  definition.length = static_cast<std::uint32_t>(stream.size());
}

}  // namespace

std::size_t AddIndexDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                               const NewIndex& index) {
  RequireExactRewrite(pages, codec, definition);
  const Layout& layout = pages.GetLayout();
  const std::size_t position = AppendIndexDefinition(definition, index, layout);
  RealIndex& real = definition.realIndexes[position];
  real.rootPage = WriteEmptyIndexRoot(pages, definition.page);
  // The map row goes beside the table's other maps while their page has room.
  real.usageMap = UsageMapRows(pages, definition.ownedPagesMap.page).Add(real.rootPage);
  StoreDefinition(pages, codec, definition);
  return position;
}

void RemoveIndexDefinition(PageWriter& pages, const TextCodec& codec, TableDefinition& definition,
                           std::size_t logical) {
  RequireExactRewrite(pages, codec, definition);
  const std::uint32_t real = definition.logicalIndexes[logical].realIndex;
  definition.logicalIndexes.erase(definition.logicalIndexes.begin() + static_cast<std::ptrdiff_t>(logical));
  const bool shared = std::any_of(definition.logicalIndexes.begin(), definition.logicalIndexes.end(),
                                  [&](const LogicalIndex& other) { return other.realIndex == real; });
  if (!shared) {
    const RealIndex& removed = definition.realIndexes[real];
    for (const std::uint32_t page : ReadUsageMap(pages.File(), pages.GetLayout(), removed.usageMap)) pages.Release(page);
    MarkRowDeleted(pages.Modify(removed.usageMap.page)->MutableData(), removed.usageMap.row, pages.GetLayout());
    definition.realIndexes.erase(definition.realIndexes.begin() + real);
    for (LogicalIndex& other : definition.logicalIndexes) {
      if (other.realIndex > real) --other.realIndex;
    }
  }
  // Logical numbers stay dense, in their order.
  std::vector<LogicalIndex*> byNumber;
  for (LogicalIndex& other : definition.logicalIndexes) byNumber.push_back(&other);
  std::sort(byNumber.begin(), byNumber.end(), [](const LogicalIndex* a, const LogicalIndex* b) { return a->number < b->number; });
  for (std::size_t i = 0; i < byNumber.size(); ++i) byNumber[i]->number = static_cast<std::uint32_t>(i);
  StoreDefinition(pages, codec, definition);
}

}  // namespace dao::jet
