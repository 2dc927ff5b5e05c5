// Page 0, the database definition page: version, code page, sort order,
// page-encryption key and the database password.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"

namespace dao::jet {

struct DatabaseHeader {
  Version version = Version::kJet4;
  std::uint16_t codePage = kDefaultCodePage;
  std::uint16_t sortOrder = kGeneralSortOrder;  // LCID of the collating order
  std::uint32_t databaseKey = 0;                // non-zero: pages are encrypted
  double creationDate = 0;                      // Jet 4 only
  // The password as stored, unmasked, with its zero padding removed: UCS-2 LE
  // in Jet 4, code-page bytes in Jet 3. Empty when there is none.
  std::vector<std::uint8_t> password;
};

// Bytes of the file start that DetectVersion needs.
inline constexpr std::size_t kVersionProbeSize = kVersionOffset + 1;

// The version of a file whose first bytes are `start`. Raises JetError 3343
// for anything that is not a Jet 3 or Jet 4 database (including the later
// .accdb formats, which use other version bytes).
Version DetectVersion(Bytes start);

// XORs the header mask into page 0: unmasks a page as stored, masks a plain
// page before it is written.
void ToggleHeaderMask(const Layout& layout, MutableBytes page0);

// Reads page 0 exactly as stored in the file (masked).
DatabaseHeader ReadDatabaseHeader(const Layout& layout, Bytes storedPage0);

// Jet 4: the four bytes XORed over the password field, derived from the
// creation date (its integer part as i32 little-endian).
std::array<std::uint8_t, 4> PasswordMask(double creationDate);

// Stores the password `encoded` (TextCodec::EncodeName of it; empty for
// none, cut to the field's size) in page 0 as stored in the file (masked),
// the way the engine does: Jet 4 XORs it with the creation-date mask.
void StoreDatabasePassword(const Layout& layout, MutableBytes storedPage0, std::vector<std::uint8_t> encoded);

}  // namespace dao::jet
