#include "dao/jet/database_header.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace dao::jet {

Version DetectVersion(Bytes start) {
  const auto unrecognized = [] {
    throw JetError(kErrUnrecognizedFormat, "Unrecognized database format.");
  };
  if (start.size() < kVersionProbeSize ||
      start[kPageTypeOffset] != static_cast<std::uint8_t>(PageType::kDatabaseDefinition)) {
    unrecognized();
  }
  const std::string_view signature(reinterpret_cast<const char*>(start.data()) + kSignatureOffset,
                                   kSignature.size());
  if (signature != kSignature) unrecognized();
  switch (start[kVersionOffset]) {
    case kJet3VersionByte:
      return Version::kJet3;
    case kJet4VersionByte:
      return Version::kJet4;
    default:
      throw JetError(kErrUnrecognizedFormat,
                     "Unrecognized database format: the file was made by a later version "
                     "of Access (.accdb), which this engine does not read.");
  }
}

void ToggleHeaderMask(const Layout& layout, MutableBytes page0) {
  for (std::uint32_t i = 0; i < layout.headerMaskLength; ++i) {
    page0[kHeaderMaskOffset + i] ^= kHeaderMask[i];
  }
}

std::array<std::uint8_t, 4> PasswordMask(double creationDate) {
  std::array<std::uint8_t, 4> mask{};
  const double whole = std::trunc(creationDate);
  if (std::isfinite(whole) && whole >= std::numeric_limits<std::int32_t>::min() &&
      whole <= std::numeric_limits<std::int32_t>::max()) {
    StoreU32(mask.data(), static_cast<std::uint32_t>(static_cast<std::int32_t>(whole)));
  }
  return mask;
}

void StoreDatabasePassword(const Layout& layout, MutableBytes storedPage0, std::vector<std::uint8_t> encoded) {
  RequireFits(storedPage0, 0, layout.pageSize, "page 0 is incomplete");
  ToggleHeaderMask(layout, storedPage0);
  encoded.resize(layout.passwordLength, 0);
  if (layout.IsJet4()) {
    const auto mask = PasswordMask(LoadF64(storedPage0.data() + kJet4CreationDateOffset));
    for (std::size_t i = 0; i < encoded.size(); ++i) encoded[i] ^= mask[i % mask.size()];
  }
  std::copy(encoded.begin(), encoded.end(), storedPage0.begin() + kPasswordOffset);
  ToggleHeaderMask(layout, storedPage0);
}

DatabaseHeader ReadDatabaseHeader(const Layout& layout, Bytes storedPage0) {
  RequireFits(storedPage0, 0, layout.pageSize, "page 0 is incomplete");
  std::vector<std::uint8_t> page(storedPage0.begin(), storedPage0.begin() + layout.pageSize);
  ToggleHeaderMask(layout, page);
  const std::uint8_t* p = page.data();

  DatabaseHeader header;
  header.version = layout.version;
  header.codePage = LoadU16(p + kCodePageOffset);
  header.sortOrder = LoadU16(p + layout.sortOrderOffset);
  header.databaseKey = LoadU32(p + kDatabaseKeyOffset);

  std::vector<std::uint8_t> password(p + kPasswordOffset, p + kPasswordOffset + layout.passwordLength);
  if (layout.IsJet4()) {
    header.creationDate = LoadF64(p + kJet4CreationDateOffset);
    const auto mask = PasswordMask(header.creationDate);
    for (std::size_t i = 0; i < password.size(); ++i) password[i] ^= mask[i % mask.size()];
    // UCS-2: the password ends at the first zero character.
    std::size_t length = 0;
    while (length + 1 < password.size() && (password[length] | password[length + 1]) != 0) length += 2;
    password.resize(length);
  } else {
    std::size_t length = 0;
    while (length < password.size() && password[length] != 0) ++length;
    password.resize(length);
  }
  header.password = std::move(password);
  return header;
}

}  // namespace dao::jet
