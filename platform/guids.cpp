#include "platform/guids.h"

#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

#include "platform/errors.h"
#include "platform/hex_digits.h"

namespace platform {
namespace {

// Text positions of the 16 bytes: Data1..Data3 are printed as little-endian
// numbers, so their bytes appear reversed; Data4 follows in memory order.
constexpr int kByteOrderInText[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr int kDashesAfterByte[4] = {3, 5, 7, 9};  // indices into kByteOrderInText

class RandomGuidSource : public GuidSource {
 public:
  Guid Next() override {
    Guid guid;
    std::size_t filled = 0;
    while (filled < guid.bytes.size()) {
      const ssize_t got = getrandom(guid.bytes.data() + filled, guid.bytes.size() - filled, 0);
      if (got < 0) {
        if (errno == EINTR) continue;
        throw std::runtime_error("No random numbers available for a new GUID");
      }
      filled += static_cast<std::size_t>(got);
    }
    guid.bytes[7] = static_cast<std::uint8_t>((guid.bytes[7] & 0x0F) | 0x40);  // version 4
    guid.bytes[8] = static_cast<std::uint8_t>((guid.bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return guid;
  }
};

}  // namespace

bool Guid::IsNull() const {
  for (auto byte : bytes) {
    if (byte != 0) return false;
  }
  return true;
}

std::string GuidToString(const Guid& guid) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "{";
  int dash = 0;
  for (int i = 0; i < 16; ++i) {
    const auto byte = guid.bytes[kByteOrderInText[i]];
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
    if (dash < 4 && i == kDashesAfterByte[dash]) {
      text += '-';
      ++dash;
    }
  }
  text += '}';
  return text;
}

std::optional<Guid> TryParseGuid(std::string_view text) {
  if (text.size() != kGuidTextLength || text.front() != '{' || text.back() != '}') {
    return std::nullopt;
  }
  Guid guid;
  std::size_t pos = 1;
  int dash = 0;
  for (int i = 0; i < 16; ++i) {
    const int high = HexDigitValue(text[pos]);
    const int low = HexDigitValue(text[pos + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    guid.bytes[kByteOrderInText[i]] = static_cast<std::uint8_t>(high * 16 + low);
    pos += 2;
    if (dash < 4 && i == kDashesAfterByte[dash]) {
      if (text[pos] != '-') return std::nullopt;
      ++pos;
      ++dash;
    }
  }
  return guid;
}

Guid ParseGuid(std::string_view text) {
  if (auto guid = TryParseGuid(text)) return *guid;
  throw ConversionError(ConversionError::Kind::kInvalidGuid,
                        "'" + std::string(text) + "' ist kein gültiger GUID-Wert");
}

Guid NewGuid() {
  static RandomGuidSource randomSource;
  return detail::InstalledOr<GuidSource>(randomSource).Next();
}

}  // namespace platform
