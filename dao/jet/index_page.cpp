#include "dao/jet/index_page.h"

#include <algorithm>
#include <cstring>

#include "dao/jet/format.h"
#include "dao/jet/jet_error.h"

namespace dao::jet {
namespace {

constexpr std::uint8_t kIntermediateMarker = 0x01;
constexpr std::uint8_t kLeafMarker = 0x00;
constexpr std::uint32_t kIndexTablePageOffset = 0x04;

std::uint32_t EntryArea(const Layout& layout) { return layout.pageSize - layout.indexFirstEntryOffset; }

std::uint32_t MaxPrefix(const Layout& layout) {
  return layout.indexPrefixLengthSize == 1 ? 0xFF : 0xFFFF;
}

}  // namespace

void StoreIndexRowPointer(std::uint8_t* out, std::uint32_t page, std::uint8_t row) {
  out[0] = static_cast<std::uint8_t>(page >> 16);
  out[1] = static_cast<std::uint8_t>(page >> 8);
  out[2] = static_cast<std::uint8_t>(page);
  out[3] = row;
}

RowPointer LoadIndexRowPointer(const std::uint8_t* in) {
  return {static_cast<std::uint32_t>(in[0]) << 16 | static_cast<std::uint32_t>(in[1]) << 8 | in[2], in[3]};
}

IndexNode IndexNode::Parse(Bytes page, const Layout& layout) {
  RequireFits(page, 0, layout.pageSize, "index page shorter than a page");
  IndexNode node;
  const auto type = static_cast<PageType>(page[kPageTypeOffset]);
  if (type != PageType::kIndexLeaf && type != PageType::kIndexIntermediate) ThrowDamaged("not an index page");
  node.leaf = type == PageType::kIndexLeaf;
  node.tablePage = LoadU32(&page[kIndexTablePageOffset]);
  node.previousPage = LoadU32(&page[layout.indexPreviousPageOffset]);
  node.nextPage = LoadU32(&page[layout.indexNextPageOffset]);
  node.tailPage = LoadU32(&page[layout.indexTailPageOffset]);
  const std::size_t prefix = layout.indexPrefixLengthSize == 1 ? page[layout.indexPrefixLengthOffset]
                                                               : LoadU16(&page[layout.indexPrefixLengthOffset]);
  const std::size_t minEntry = kIndexRowPointerSize + (node.leaf ? 0 : kIndexChildPointerSize);
  std::size_t start = 0;
  // Bit n of the mask marks an entry ending n bytes after the first entry.
  for (std::size_t end = 1; end <= EntryArea(layout); ++end) {
    if (!(page[layout.indexMaskOffset + end / 8] >> (end % 8) & 1)) continue;
    const Bytes stored = page.subspan(layout.indexFirstEntryOffset + start, end - start);
    if (!node.ends_.empty() && prefix > 0) {
      if (prefix > node.ends_[0]) ThrowDamaged("index prefix longer than the first entry");
      node.data_.insert(node.data_.end(), node.data_.begin(), node.data_.begin() + static_cast<long>(prefix));
    }
    node.data_.insert(node.data_.end(), stored.begin(), stored.end());
    if (node.data_.size() - node.Begin(node.ends_.size()) < minEntry) ThrowDamaged("index entry too short");
    node.ends_.push_back(static_cast<std::uint32_t>(node.data_.size()));
    start = end;
  }
  return node;
}

Bytes IndexNode::Entry(std::size_t i) const {
  return Bytes(data_).subspan(Begin(i), ends_[i] - Begin(i));
}

Bytes IndexNode::SortPart(std::size_t i) const {
  const Bytes entry = Entry(i);
  return leaf ? entry : entry.first(entry.size() - kIndexChildPointerSize);
}

std::uint32_t IndexNode::Child(std::size_t i) const {
  return LoadU32BigEndian(&data_[ends_[i] - kIndexChildPointerSize]);
}

std::size_t IndexNode::LowerBound(Bytes value) const {
  std::size_t low = 0, high = Count();
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    const Bytes part = SortPart(mid);
    if (std::lexicographical_compare(part.begin(), part.end(), value.begin(), value.end())) low = mid + 1;
    else high = mid;
  }
  return low;
}

void IndexNode::Insert(std::size_t i, Bytes entry) {
  const std::size_t at = Begin(i);
  data_.insert(data_.begin() + static_cast<long>(at), entry.begin(), entry.end());
  ends_.insert(ends_.begin() + static_cast<long>(i), static_cast<std::uint32_t>(at));
  for (std::size_t k = i; k < ends_.size(); ++k) ends_[k] += static_cast<std::uint32_t>(entry.size());
}

void IndexNode::Erase(std::size_t i) {
  const std::size_t at = Begin(i);
  const std::size_t length = ends_[i] - at;
  data_.erase(data_.begin() + static_cast<long>(at), data_.begin() + static_cast<long>(at + length));
  ends_.erase(ends_.begin() + static_cast<long>(i));
  for (std::size_t k = i; k < ends_.size(); ++k) ends_[k] -= static_cast<std::uint32_t>(length);
}

void IndexNode::Replace(std::size_t i, Bytes entry) {
  Erase(i);
  Insert(i, entry);
}

void IndexNode::MoveTailTo(std::size_t from, IndexNode& other) {
  for (std::size_t i = from; i < Count(); ++i) other.Insert(other.Count(), Entry(i));
  data_.resize(Begin(from));
  ends_.resize(from);
}

std::size_t IndexNode::SharedPrefix() const {
  if (Count() < 2) return 0;
  const Bytes first = Entry(0);
  const Bytes last = Entry(Count() - 1);
  // Entries are sorted, so what the first and last share, all share.
  const auto mismatch = std::mismatch(first.begin(), first.end(), last.begin(), last.end());
  return static_cast<std::size_t>(mismatch.first - first.begin());
}

std::size_t IndexNode::StoredSize(std::size_t prefix) const {
  return data_.size() - (Count() > 1 ? prefix * (Count() - 1) : 0);
}

std::size_t IndexNode::ChosenPrefix(const Layout& layout) const {
  if (StoredSize(0) <= EntryArea(layout)) return 0;
  return std::min<std::size_t>(SharedPrefix(), MaxPrefix(layout));
}

bool IndexNode::Fits(const Layout& layout) const { return StoredSize(ChosenPrefix(layout)) <= EntryArea(layout); }

bool IndexNode::FitsUncompressed(const Layout& layout) const { return StoredSize(0) <= EntryArea(layout); }

std::uint32_t IndexNode::FreeSpace(const Layout& layout) const {
  return EntryArea(layout) - static_cast<std::uint32_t>(StoredSize(ChosenPrefix(layout)));
}

void IndexNode::Write(MutableBytes page, const Layout& layout) const {
  if (!Fits(layout)) ThrowDamaged("index entries longer than a page can hold");
  std::fill(page.begin(), page.begin() + layout.pageSize, 0);
  const std::size_t prefix = ChosenPrefix(layout);
  page[kPageTypeOffset] = static_cast<std::uint8_t>(leaf ? PageType::kIndexLeaf : PageType::kIndexIntermediate);
  page[kPageMarkerOffset] = kPageMarker;
  StoreU32(&page[kIndexTablePageOffset], tablePage);
  StoreU32(&page[layout.indexPreviousPageOffset], previousPage);
  StoreU32(&page[layout.indexNextPageOffset], nextPage);
  StoreU32(&page[layout.indexTailPageOffset], leaf ? 0 : tailPage);
  if (layout.indexPrefixLengthSize == 1) page[layout.indexPrefixLengthOffset] = static_cast<std::uint8_t>(prefix);
  else StoreU16(&page[layout.indexPrefixLengthOffset], static_cast<std::uint16_t>(prefix));
  page[layout.indexPrefixLengthOffset + layout.indexPrefixLengthSize] = leaf ? kLeafMarker : kIntermediateMarker;
  std::size_t offset = 0;
  const auto markEnd = [&](std::size_t end) {
    page[layout.indexMaskOffset + end / 8] |= static_cast<std::uint8_t>(1u << (end % 8));
  };
  if (prefix == 0) {
    // Entries lie back to back in data_ as on the page: one copy.
    std::copy(data_.begin(), data_.end(), page.begin() + layout.indexFirstEntryOffset);
    for (const std::uint32_t end : ends_) markEnd(end);
    offset = data_.size();
  } else {
    for (std::size_t i = 0; i < Count(); ++i) {
      const Bytes entry = Entry(i);
      const std::size_t skip = i == 0 ? 0 : prefix;
      std::memcpy(&page[layout.indexFirstEntryOffset + offset], entry.data() + skip, entry.size() - skip);
      offset += entry.size() - skip;
      markEnd(offset);
    }
  }
  StoreU16(&page[kDataFreeSpaceOffset], static_cast<std::uint16_t>(EntryArea(layout) - offset));
}

}  // namespace dao::jet
