#pragma once

// GUIDs: 16 bytes in the memory order of the Windows GUID struct (Data1,
// Data2 and Data3 little-endian, then the 8 bytes of Data4), which is also
// the order Jet stores them in. The text form is the 38-character registry
// form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/scoped_install.h"

namespace platform {

struct Guid {
  std::array<std::uint8_t, 16> bytes{};

  bool IsNull() const;  // all 16 bytes zero
  friend bool operator==(const Guid&, const Guid&) = default;
  friend auto operator<=>(const Guid&, const Guid&) = default;
};

inline constexpr std::size_t kGuidTextLength = 38;

// "{0A1B2C3D-...}" in upper case, Data1..Data3 printed as numbers.
std::string GuidToString(const Guid& guid);

// Reads the 38-character form (hex digits in either case); nullopt otherwise.
std::optional<Guid> TryParseGuid(std::string_view text);

// As TryParseGuid; throws ConversionError(kInvalidGuid) naming the text.
Guid ParseGuid(std::string_view text);

// Where new GUIDs come from; replaceable for tests.
class GuidSource {
 public:
  virtual ~GuidSource() = default;
  virtual Guid Next() = 0;
};

// A new GUID from the current source: by default a random version-4 GUID
// from the kernel's random source (getrandom).
Guid NewGuid();

// Installs a source for NewGuid() during its lifetime; scopes nest.
using ScopedGuidSource = ScopedInstall<GuidSource>;

}  // namespace platform
