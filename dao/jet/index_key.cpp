#include "dao/jet/index_key.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "dao/jet/format.h"
#include "dao/jet/text_sort_order.h"

namespace dao::jet {
namespace {

constexpr std::uint8_t kBooleanTrue = 0x00;
constexpr std::uint8_t kBooleanFalse = 0xFF;

// Segment encoding of binary and GUID values: 8-byte segments, each followed
// by kSegmentContinues, or by the used length of the (zero-padded) last one.
constexpr std::size_t kSegmentSize = 8;
constexpr std::uint8_t kSegmentContinues = 0x09;

// Text keys: at most this many characters take part.
constexpr std::size_t kMaxTextKeyChars = 255;
// Jet 4 text keys: separator after the inline part, filler for positions
// without an accent, and the marker of an unprintable character.
constexpr std::uint8_t kTextSectionEnd = 0x01;
constexpr std::uint8_t kNoAccent = 0x02;
constexpr std::uint8_t kUnprintableMarker = 0x06;
constexpr std::uint16_t kUnprintablePositionBase = 0x8000;
constexpr std::uint8_t kTextKeyEnd = 0x00;

bool IsTrimmedAccentFiller(std::uint8_t byte) { return byte <= kNoAccent; }

}  // namespace

void IndexKeyBuilder::AppendFlag(KeyOrder order) {
  bytes_.push_back(order == KeyOrder::kAscending ? kKeyAscendingValue : kKeyDescendingValue);
}

void IndexKeyBuilder::FlipFrom(std::size_t start) {
  for (std::size_t i = start; i < bytes_.size(); ++i) bytes_[i] = static_cast<std::uint8_t>(~bytes_[i]);
}

void IndexKeyBuilder::AppendNull(KeyOrder order) {
  bytes_.push_back(order == KeyOrder::kAscending ? kKeyAscendingNull : kKeyDescendingNull);
}

void IndexKeyBuilder::AppendBoolean(bool value, KeyOrder order) {
  AppendFlag(order);
  const std::uint8_t ascending = value ? kBooleanTrue : kBooleanFalse;
  bytes_.push_back(order == KeyOrder::kAscending ? ascending : static_cast<std::uint8_t>(~ascending));
}

void IndexKeyBuilder::AppendByte(std::uint8_t value, KeyOrder order) {
  AppendFlag(order);
  bytes_.push_back(order == KeyOrder::kAscending ? value : static_cast<std::uint8_t>(~value));
}

void IndexKeyBuilder::AppendInteger(std::int64_t value, int byteWidth, KeyOrder order) {
  AppendFlag(order);
  const std::size_t start = bytes_.size();
  const auto bits = static_cast<std::uint64_t>(value);
  for (int i = byteWidth - 1; i >= 0; --i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  bytes_[start] ^= 0x80;
  if (order == KeyOrder::kDescending) FlipFrom(start);
}

void IndexKeyBuilder::AppendFloatBits(std::uint64_t bits, int byteWidth, KeyOrder order) {
  AppendFlag(order);
  const std::size_t start = bytes_.size();
  for (int i = byteWidth - 1; i >= 0; --i) bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  // Positive numbers: sign bit set; negative ones: every bit flipped.
  if (bits >> (8 * byteWidth - 1)) FlipFrom(start); else bytes_[start] ^= 0x80;
  if (order == KeyOrder::kDescending) FlipFrom(start);
}

void IndexKeyBuilder::AppendSingle(float value, KeyOrder order) {
  AppendFloatBits(std::bit_cast<std::uint32_t>(value), 4, order);
}

void IndexKeyBuilder::AppendDouble(double value, KeyOrder order) {
  AppendFloatBits(std::bit_cast<std::uint64_t>(value), 8, order);
}

void IndexKeyBuilder::AppendSegments(std::span<const std::uint8_t> data, KeyOrder order) {
  const bool flip = order == KeyOrder::kDescending;
  const auto put = [&](std::uint8_t byte) { bytes_.push_back(flip ? static_cast<std::uint8_t>(~byte) : byte); };
  std::size_t offset = 0;
  while (data.size() - offset > kSegmentSize) {
    for (std::size_t i = 0; i < kSegmentSize; ++i) put(data[offset + i]);
    bytes_.push_back(kSegmentContinues);
    offset += kSegmentSize;
  }
  const std::size_t last = data.size() - offset;
  for (std::size_t i = 0; i < kSegmentSize; ++i) put(i < last ? data[offset + i] : 0);
  put(static_cast<std::uint8_t>(last));
}

void IndexKeyBuilder::AppendGuid(std::span<const std::uint8_t, 16> stored, KeyOrder order) {
  AppendFlag(order);
  // Rows hold Data1-Data3 little-endian; keys use the text order.
  const std::uint8_t textOrder[16] = {stored[3], stored[2], stored[1], stored[0], stored[5], stored[4],
                                      stored[7], stored[6], stored[8], stored[9], stored[10], stored[11],
                                      stored[12], stored[13], stored[14], stored[15]};
  AppendSegments(textOrder, order);
}

void IndexKeyBuilder::AppendBinary(std::span<const std::uint8_t> value, KeyOrder order) {
  AppendFlag(order);
  AppendSegments(value, order);
}

void IndexKeyBuilder::AppendDecimal(bool negative, std::span<const std::uint8_t, 16> magnitude,
                                    KeyOrder order) {
  AppendFlag(order);
  const std::size_t start = bytes_.size();
  bytes_.push_back(negative ? 0x80 : 0x00);
  bytes_.insert(bytes_.end(), magnitude.begin(), magnitude.end());
  const bool flip = (order == KeyOrder::kAscending) == negative;
  if (flip) FlipFrom(start);
  bytes_[start] = negative ? 0x00 : 0xFF;
}

bool IndexKeyBuilder::AppendJet4Text(std::u16string_view text, KeyOrder order) {
  struct Unprintable {
    std::size_t position;
    std::uint8_t code;
  };
  text = text.substr(0, std::min(text.size(), kMaxTextKeyChars));
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);

  const std::size_t flagAt = bytes_.size();
  AppendFlag(order);
  const std::size_t start = bytes_.size();
  std::vector<std::uint8_t> accents;  // one per position up to the last accented letter
  std::vector<Unprintable> unprintables;
  std::size_t position = 0;
  for (const char16_t unit : text) {
    const SortCode& code = Jet4SortCode(unit);
    switch (code.sortClass) {
      case SortClass::kInternational:
        accents.resize(position, kNoAccent);
        accents.push_back(code.extra);
        [[fallthrough]];
      case SortClass::kSimple:
      case SortClass::kSignificant:
        bytes_.insert(bytes_.end(), code.inlineBytes, code.inlineBytes + code.inlineLength);
        ++position;
        break;
      case SortClass::kUnprintable:
        unprintables.push_back({position, code.extra});
        break;
      case SortClass::kIgnored:
        break;
      case SortClass::kUnsupported:
        bytes_.resize(flagAt);
        return false;
    }
  }
  bytes_.push_back(kTextSectionEnd);
  while (!accents.empty() && IsTrimmedAccentFiller(accents.back())) accents.pop_back();
  bytes_.insert(bytes_.end(), accents.begin(), accents.end());
  if (!unprintables.empty()) {
    bytes_.insert(bytes_.end(), {kTextSectionEnd, kTextSectionEnd, kTextSectionEnd});
    for (const Unprintable& u : unprintables) {
      const auto marker = static_cast<std::uint16_t>(kUnprintablePositionBase | (7 + 4 * u.position));
      bytes_.insert(bytes_.end(), {static_cast<std::uint8_t>(marker >> 8), static_cast<std::uint8_t>(marker),
                                   kUnprintableMarker, u.code});
    }
  }
  bytes_.push_back(kTextKeyEnd);
  if (order == KeyOrder::kDescending) {
    FlipFrom(start);
    bytes_.push_back(kTextKeyEnd);
  }
  return true;
}

void IndexKeyBuilder::AppendJet3Text(std::span<const std::uint8_t> text, KeyOrder order) {
  text = text.first(std::min(text.size(), kMaxTextKeyChars));
  while (!text.empty() && text.back() == ' ') text = text.first(text.size() - 1);

  AppendFlag(order);
  const std::size_t start = bytes_.size();
  // Accent nibbles: absent until the first accented letter; then, per accent,
  // one filler nibble per plain significant letter since the previous one.
  std::vector<std::uint8_t> nibbles;
  bool haveAccents = false;
  std::size_t significantSinceAccent = 0;
  for (const std::uint8_t byte : text) {
    const SortCode& code = Jet3SortCode(byte);
    switch (code.sortClass) {
      case SortClass::kSignificant:
        ++significantSinceAccent;
        [[fallthrough]];
      case SortClass::kSimple:
      case SortClass::kUnprintable:
        bytes_.insert(bytes_.end(), code.inlineBytes, code.inlineBytes + code.inlineLength);
        break;
      case SortClass::kInternational:
        bytes_.insert(bytes_.end(), code.inlineBytes, code.inlineBytes + code.inlineLength);
        if (!haveAccents) {
          nibbles.push_back(0);
          haveAccents = true;
        }
        nibbles.insert(nibbles.end(), significantSinceAccent, kNoAccent);
        significantSinceAccent = 0;
        nibbles.push_back(code.extra);
        break;
      case SortClass::kIgnored:
      case SortClass::kUnsupported:
        break;
    }
  }
  if (haveAccents) {
    nibbles.push_back(0);
    if (nibbles.size() % 2 != 0) nibbles.push_back(0);
    for (std::size_t i = 0; i < nibbles.size(); i += 2)
      bytes_.push_back(static_cast<std::uint8_t>(nibbles[i] << 4 | nibbles[i + 1]));
  } else {
    bytes_.push_back(kTextKeyEnd);
  }
  if (order == KeyOrder::kDescending) FlipFrom(start);
}

}  // namespace dao::jet
