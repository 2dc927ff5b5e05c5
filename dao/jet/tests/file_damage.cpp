#include "dao/jet/tests/file_damage.h"

#include "dao/jet/format.h"

namespace dao::jet::testing {

std::uint32_t PageSizeOf(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() > kVersionOffset && bytes[kVersionOffset] == kJet3VersionByte ? kJet3PageSize : kJet4PageSize;
}

void Damager::Apply() {
  if (size == 0) size = target_.bytes.size();
  switch (Pick(6)) {
    case 0:  // random bytes anywhere in a page the reader uses
      for (int n = 1 + Pick(8); n > 0; --n) Set(PageStart() + Pick(target_.pageSize), Byte());
      break;
    case 1:  // headers: counts, free space, owners, lengths
      for (int n = 1 + Pick(3); n > 0; --n) Set(PageStart() + Pick(0x40), Byte());
      break;
    case 2: {  // a row-offset slot of a data page
      const std::uint64_t page = PageStart();
      const std::uint32_t header = target_.pageSize == kJet4PageSize ? 0x0E : 0x0A;
      SetU16(page + header + 2 * Pick(16), static_cast<std::uint16_t>(Pick(65536)));
      break;
    }
    case 3: {  // a pointer-sized field aimed out of range or back at its own page
      const std::uint64_t page = PageStart();
      const std::uint32_t self = static_cast<std::uint32_t>(page / target_.pageSize);
      const std::uint32_t values[] = {0xFFFFFFFF, 0x7FFFFFFF, (self << 8) | Pick(4), self,
                                      static_cast<std::uint32_t>(random_())};
      SetU32(page + 4 * Pick(target_.pageSize / 4), values[Pick(5)]);
      break;
    }
    case 4:  // the file ends early
      size = Pick(static_cast<std::uint32_t>(target_.bytes.size()));
      if (Pick(2) == 0) size -= size % target_.pageSize;
      break;
    default:  // a run of bytes overwritten with one value (zeros, 0xFF)
      for (std::uint64_t at = PageStart() + Pick(target_.pageSize), end = at + 1 + Pick(64); at < end; ++at) {
        Set(at, Pick(2) == 0 ? 0x00 : 0xFF);
      }
  }
}

std::uint64_t Damager::PageStart() {
  const auto& pages = target_.touchedPages;
  return static_cast<std::uint64_t>(pages[Pick(static_cast<std::uint32_t>(pages.size()))]) * target_.pageSize;
}

void Damager::Set(std::uint64_t at, std::uint8_t value) {
  if (at < target_.bytes.size()) patches.emplace_back(at, value);
}

void Damager::SetU16(std::uint64_t at, std::uint16_t value) {
  Set(at, static_cast<std::uint8_t>(value));
  Set(at + 1, static_cast<std::uint8_t>(value >> 8));
}

void Damager::SetU32(std::uint64_t at, std::uint32_t value) {
  SetU16(at, static_cast<std::uint16_t>(value));
  SetU16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace dao::jet::testing
