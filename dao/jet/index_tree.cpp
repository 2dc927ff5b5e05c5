#include "dao/jet/index_tree.h"

#include <algorithm>

#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"

namespace dao::jet {
namespace {

// No real tree is deeper; a longer way down means a damaged (cyclic) tree.
constexpr std::size_t kMaxDepth = 32;

bool SameBytes(Bytes a, Bytes b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

}  // namespace

IndexTree::IndexTree(PageWriter& pages, const Layout& layout, std::uint32_t tablePage,
                     const RealIndex& index)
    : pages_(pages), layout_(layout), tablePage_(tablePage), root_(index.rootPage),
      usageMap_(index.usageMap) {}

IndexNode& IndexTree::Node(std::uint32_t page) {
  const auto found = nodes_.find(page);
  if (found != nodes_.end()) return found->second;
  if (page == 0 || page >= pages_.PageCount()) ThrowDamaged("an index page lies beyond the end of the file");
  return nodes_.emplace(page, IndexNode::Parse(pages_.Read(page)->Data(), layout_)).first->second;
}

void IndexTree::Store(std::uint32_t page) { Node(page).Write(pages_.Modify(page)->MutableData(), layout_); }

std::uint32_t IndexTree::NewPage(bool leaf) {
  const MutablePageRef page = pages_.Allocate();
  pages_.SetListed(usageMap_, page->Number(), true);
  IndexNode node;
  node.leaf = leaf;
  node.tablePage = tablePage_;
  nodes_[page->Number()] = node;
  return page->Number();
}

std::uint32_t IndexTree::FindLeaf(Bytes value, std::vector<Step>& path) {
  std::uint32_t page = root_;
  for (std::size_t depth = 0; depth < kMaxDepth; ++depth) {
    const IndexNode& node = Node(page);
    if (node.leaf) return page;
    std::size_t i = node.LowerBound(value);
    if (i == node.Count() && node.tailPage == 0) {
      if (node.Empty()) ThrowDamaged("an intermediate index page has no children");
      i = node.Count() - 1;
    }
    path.push_back({page, i});
    page = i == node.Count() ? node.tailPage : node.Child(i);
  }
  ThrowDamaged("an index tree is deeper than any real one");
}

bool IndexTree::ContainsKey(Bytes key) {
  std::vector<Step> path;
  std::uint32_t page = FindLeaf(key, path);
  std::size_t i = Node(page).LowerBound(key);
  for (std::uint32_t hops = 0; i == Node(page).Count(); ++hops) {
    if (Node(page).nextPage == 0 || hops > pages_.PageCount()) return false;
    page = Node(page).nextPage;
    i = 0;
  }
  const Bytes entry = Node(page).Entry(i);
  return entry.size() == key.size() + kIndexRowPointerSize && SameBytes(entry.first(key.size()), key);
}

std::vector<std::uint8_t> IndexTree::ParentEntry(std::uint32_t child) {
  const IndexNode& node = Node(child);
  const Bytes last = node.SortPart(node.Count() - 1);
  std::vector<std::uint8_t> entry(last.begin(), last.end());
  entry.resize(entry.size() + kIndexChildPointerSize);
  StoreU32BigEndian(&entry[entry.size() - kIndexChildPointerSize], child);
  return entry;
}

bool IndexTree::NeighbourHasKey(std::uint32_t page, std::size_t at, Bytes entry) {
  const Bytes key = entry.first(entry.size() - kIndexRowPointerSize);
  const auto sameKey = [&](Bytes other) {
    return other.size() == entry.size() && SameBytes(other.first(key.size()), key);
  };
  const IndexNode& node = Node(page);
  if (at > 0) {
    if (sameKey(node.Entry(at - 1))) return true;
  } else if (node.previousPage != 0) {
    const IndexNode& previous = Node(node.previousPage);
    if (!previous.Empty() && sameKey(previous.Entry(previous.Count() - 1))) return true;
  }
  if (at + 1 < node.Count()) return sameKey(node.Entry(at + 1));
  if (node.nextPage != 0) {
    const IndexNode& next = Node(node.nextPage);
    return !next.Empty() && sameKey(next.Entry(0));
  }
  return false;
}

bool IndexTree::Insert(Bytes entry) {
  std::vector<Step> path;
  const std::uint32_t leaf = FindLeaf(entry, path);
  IndexNode& node = Node(leaf);
  const std::size_t at = node.LowerBound(entry);
  node.Insert(at, entry);
  const bool newKey = !NeighbourHasKey(leaf, at, entry);
  const bool last = at + 1 == node.Count();
  if (!node.FitsUncompressed(layout_)) {
    SplitOrStore(leaf, path, last && node.nextPage == 0);
    return newKey;
  }
  Store(leaf);
  if (last) RefreshParentCopies(leaf, path);
  return newKey;
}

void IndexTree::SplitOrStore(std::uint32_t page, std::vector<Step>& path, bool appending) {
  if (Node(page).FitsUncompressed(layout_)) {
    Store(page);
    return;
  }
  if (page == root_) {
    // The root keeps its page: its content moves down to a new page, which
    // becomes the root's only child and is split below.
    const std::uint32_t child = NewPage(Node(page).leaf);
    IndexNode moved = Node(page);
    moved.previousPage = moved.nextPage = 0;
    Node(child) = moved;
    IndexNode& root = Node(page);
    root = IndexNode();
    root.leaf = false;
    root.tablePage = tablePage_;
    root.tailPage = child;
    path.push_back({page, 0});
    page = child;
  }
  const std::uint32_t right = NewPage(Node(page).leaf);
  IndexNode& left = Node(page);
  IndexNode& other = Node(right);
  // A page filled by appends keeps everything but the new last entry, so
  // ascending inserts leave full pages; otherwise split by bytes.
  std::size_t split = left.Count() - 1;
  if (!appending) {
    std::size_t total = 0, half = 0;
    for (std::size_t i = 0; i < left.Count(); ++i) total += left.Entry(i).size();
    for (split = 0; split + 1 < left.Count() && half < total / 2; ++split) half += left.Entry(split).size();
    split = std::max<std::size_t>(split, 1);
  }
  left.MoveTailTo(split, other);
  other.tailPage = left.tailPage;
  left.tailPage = 0;
  other.nextPage = left.nextPage;
  other.previousPage = page;
  left.nextPage = right;
  if (other.nextPage != 0) {
    Node(other.nextPage).previousPage = right;
    Store(other.nextPage);
  }
  Store(page);
  Store(right);

  const Step up = path.back();
  path.pop_back();
  IndexNode& parent = Node(up.page);
  const bool wasTail = up.child == parent.Count();
  if (wasTail) {
    parent.tailPage = right;
    parent.Insert(parent.Count(), ParentEntry(page));
  } else {
    parent.Replace(up.child, ParentEntry(right));
    parent.Insert(up.child, ParentEntry(page));
  }
  SplitOrStore(up.page, path, appending && wasTail);
}

void IndexTree::RefreshParentCopies(std::uint32_t page, std::vector<Step> path) {
  while (!path.empty()) {
    const Step up = path.back();
    path.pop_back();
    IndexNode& parent = Node(up.page);
    if (up.child >= parent.Count()) return;  // a tail child has no copy
    const bool last = up.child + 1 == parent.Count();
    parent.Replace(up.child, ParentEntry(page));
    if (!parent.FitsUncompressed(layout_)) {
      SplitOrStore(up.page, path, false);
      return;
    }
    Store(up.page);
    if (!last) return;
    page = up.page;
  }
}

bool IndexTree::Remove(Bytes entry, bool* keyRemains) {
  std::vector<Step> path;
  const std::uint32_t leaf = FindLeaf(entry, path);
  IndexNode& node = Node(leaf);
  const std::size_t at = node.LowerBound(entry);
  if (at == node.Count() || !SameBytes(node.Entry(at), entry)) return false;
  if (keyRemains) *keyRemains = NeighbourHasKey(leaf, at, entry);
  const bool last = at + 1 == node.Count();
  node.Erase(at);
  if (node.Empty() && leaf != root_) {
    Unlink(leaf, path);
    CollapseRoot();
    return true;
  }
  Store(leaf);
  if (last && !node.Empty()) RefreshParentCopies(leaf, path);
  return true;
}

void IndexTree::Unlink(std::uint32_t page, std::vector<Step>& path) {
  const IndexNode gone = Node(page);
  if (gone.previousPage != 0) {
    Node(gone.previousPage).nextPage = gone.nextPage;
    Store(gone.previousPage);
  }
  if (gone.nextPage != 0) {
    Node(gone.nextPage).previousPage = gone.previousPage;
    Store(gone.nextPage);
  }
  nodes_.erase(page);
  pages_.SetListed(usageMap_, page, false);
  pages_.Release(page);

  const Step up = path.back();
  path.pop_back();
  IndexNode& parent = Node(up.page);
  bool refresh = false;
  if (up.child == parent.Count()) {
    // The rightmost child left: the one before it takes the tail, and so do
    // the rightmost pages below it.
    parent.tailPage = 0;
    if (!parent.Empty()) {
      parent.tailPage = parent.Child(parent.Count() - 1);
      parent.Erase(parent.Count() - 1);
      for (std::uint32_t p = parent.tailPage; !Node(p).leaf && Node(p).tailPage == 0;) {
        IndexNode& below = Node(p);
        below.tailPage = below.Child(below.Count() - 1);
        below.Erase(below.Count() - 1);
        Store(p);
        p = below.tailPage;
      }
    }
  } else {
    refresh = up.child + 1 == parent.Count();
    parent.Erase(up.child);
  }
  if (parent.Empty() && parent.tailPage == 0) {
    if (up.page != root_) {
      Unlink(up.page, path);
      return;
    }
    parent.leaf = true;  // the index is empty again
  }
  Store(up.page);
  if (refresh && !parent.Empty()) RefreshParentCopies(up.page, path);
}

void IndexTree::CollapseRoot() {
  for (;;) {
    IndexNode& root = Node(root_);
    if (root.leaf) return;
    std::uint32_t only = 0;
    if (root.Empty() && root.tailPage != 0) only = root.tailPage;
    else if (root.Count() == 1 && root.tailPage == 0) only = root.Child(0);
    else return;
    IndexNode moved = Node(only);
    moved.previousPage = moved.nextPage = 0;
    root = moved;
    nodes_.erase(only);
    pages_.SetListed(usageMap_, only, false);
    pages_.Release(only);
    Store(root_);
  }
}

std::vector<std::vector<std::uint8_t>> IndexTree::Entries() {
  std::uint32_t page = root_;
  for (std::size_t depth = 0; !Node(page).leaf; ++depth) {
    if (depth >= kMaxDepth) ThrowDamaged("an index tree is deeper than any real one");
    const IndexNode& node = Node(page);
    page = node.Empty() ? node.tailPage : node.Child(0);
  }
  std::vector<std::vector<std::uint8_t>> entries;
  for (std::uint32_t hops = 0; page != 0; ++hops) {
    if (hops > pages_.PageCount()) ThrowDamaged("the leaf chain of an index loops");
    const IndexNode& node = Node(page);
    for (std::size_t i = 0; i < node.Count(); ++i) entries.emplace_back(node.Entry(i).begin(), node.Entry(i).end());
    page = node.nextPage;
  }
  return entries;
}

std::uint32_t WriteEmptyIndexRoot(PageWriter& pages, std::uint32_t tablePage) {
  const MutablePageRef leaf = pages.Allocate();
  IndexNode empty;
  empty.tablePage = tablePage;
  empty.Write(leaf->MutableData(), pages.GetLayout());
  return leaf->Number();
}

}  // namespace dao::jet
