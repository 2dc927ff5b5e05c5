#include "dao/jet/index_reader.h"

#include "dao/jet/jet_error.h"

namespace dao::jet {
namespace {

// No real tree is deeper; a longer way down means a damaged (cyclic) tree.
constexpr std::size_t kMaxDepth = 32;

}  // namespace

IndexReader::IndexReader(PageFile& pages, const Layout& layout, const RealIndex& index)
    : pages_(pages), layout_(layout), root_(index.rootPage) {}

const IndexNode& IndexReader::Node(std::uint32_t page) {
  const auto found = nodes_.find(page);
  if (found != nodes_.end()) return found->second;
  if (page == 0 || page >= pages_.PageCount()) ThrowDamaged("an index page lies beyond the end of the file");
  return nodes_.emplace(page, IndexNode::Parse(pages_.Read(page)->Data(), layout_)).first->second;
}

std::vector<RowPointer> IndexReader::RowsInOrder() {
  std::uint32_t page = root_;
  for (std::size_t depth = 0; !Node(page).leaf; ++depth) {
    if (depth >= kMaxDepth) ThrowDamaged("an index tree is deeper than any real one");
    const IndexNode& node = Node(page);
    page = node.Empty() ? node.tailPage : node.Child(0);
  }
  std::vector<RowPointer> rows;
  for (std::uint32_t hops = 0; page != 0; ++hops) {
    if (hops > pages_.PageCount()) ThrowDamaged("the leaf chain of an index loops");
    // Leaves are read once here; they need not stay decoded.
    const IndexNode node = IndexNode::Parse(pages_.Read(page)->Data(), layout_);
    if (!node.leaf) ThrowDamaged("the leaf chain of an index reaches an intermediate page");
    for (std::size_t i = 0; i < node.Count(); ++i) {
      const Bytes entry = node.Entry(i);
      rows.push_back(LoadIndexRowPointer(entry.data() + entry.size() - kIndexRowPointerSize));
    }
    page = node.nextPage;
  }
  return rows;
}

std::optional<IndexReader::Position> IndexReader::LowerBound(Bytes key) {
  std::uint32_t page = root_;
  for (std::size_t depth = 0;; ++depth) {
    if (depth >= kMaxDepth) ThrowDamaged("an index tree is deeper than any real one");
    const IndexNode& node = Node(page);
    if (node.leaf) break;
    // Each entry of an intermediate page is the largest below its child;
    // the tail child holds what lies beyond the last entry.
    const std::size_t i = node.LowerBound(key);
    if (i == node.Count()) {
      if (node.tailPage == 0) return std::nullopt;
      page = node.tailPage;
    } else {
      page = node.Child(i);
    }
  }
  const std::size_t i = Node(page).LowerBound(key);
  if (i < Node(page).Count()) return Position{page, i};
  return Next(Position{page, Node(page).Count() - (Node(page).Empty() ? 0 : 1)});
}

std::optional<IndexReader::Position> IndexReader::Last() {
  std::uint32_t page = root_;
  for (std::size_t depth = 0; !Node(page).leaf; ++depth) {
    if (depth >= kMaxDepth) ThrowDamaged("an index tree is deeper than any real one");
    const IndexNode& node = Node(page);
    page = node.tailPage != 0 ? node.tailPage : (node.Empty() ? 0 : node.Child(node.Count() - 1));
    if (page == 0) ThrowDamaged("an intermediate index page has no children");
  }
  if (!Node(page).Empty()) return Position{page, Node(page).Count() - 1};
  return Previous(Position{page, 0});
}

std::optional<IndexReader::Position> IndexReader::Next(Position position) {
  if (position.entry + 1 < Node(position.page).Count()) return Position{position.page, position.entry + 1};
  std::uint32_t page = Node(position.page).nextPage;
  for (std::uint32_t hops = 0; page != 0; ++hops) {
    if (hops > pages_.PageCount()) ThrowDamaged("the leaf chain of an index loops");
    if (!Node(page).Empty()) return Position{page, 0};
    page = Node(page).nextPage;
  }
  return std::nullopt;
}

std::optional<IndexReader::Position> IndexReader::Previous(Position position) {
  if (position.entry > 0) return Position{position.page, position.entry - 1};
  std::uint32_t page = Node(position.page).previousPage;
  for (std::uint32_t hops = 0; page != 0; ++hops) {
    if (hops > pages_.PageCount()) ThrowDamaged("the leaf chain of an index loops");
    if (!Node(page).Empty()) return Position{page, Node(page).Count() - 1};
    page = Node(page).previousPage;
  }
  return std::nullopt;
}

Bytes IndexReader::Key(Position position) {
  const Bytes entry = Node(position.page).Entry(position.entry);
  return entry.first(entry.size() - kIndexRowPointerSize);
}

RowPointer IndexReader::Row(Position position) {
  const Bytes entry = Node(position.page).Entry(position.entry);
  return LoadIndexRowPointer(entry.data() + entry.size() - kIndexRowPointerSize);
}

}  // namespace dao::jet
