#include "access/field_text.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/text_case.h"

namespace accessdb {

using namespace recordset;

namespace {

constexpr std::string_view kGuidPrefix = "{guid ";

template <class T>
void Store(std::span<std::byte> target, T value) {
  if (target.size() >= sizeof(T)) std::memcpy(target.data(), &value, sizeof(T));
}

template <class T>
T Load(std::span<const std::byte> native) {
  T value{};
  if (native.size() >= sizeof(T)) std::memcpy(&value, native.data(), sizeof(T));
  return value;
}

// An integer text, or a number rounded half to even.
std::optional<std::int64_t> ParseWhole(std::string_view text) {
  if (const auto whole = platform::TryParseInt64(text)) return whole;
  const auto number = platform::TryParseFloat(text);
  if (!number || !std::isfinite(*number) || std::fabs(*number) > 9.2e18) return std::nullopt;
  return static_cast<std::int64_t>(std::nearbyint(*number));
}

std::optional<bool> ParseBoolean(std::string_view text) {
  if (text.starts_with('=')) text.remove_prefix(1);
  const std::string lower = platform::AnsiLowerCase(text);
  if (lower == "false" || lower == "no" || lower == "off") return false;
  if (lower == "true" || lower == "yes" || lower == "on" || lower == "-1") return true;
  if (const auto whole = platform::TryParseInt32(text)) return *whole != 0;
  return std::nullopt;
}

void StoreText(std::span<std::byte> target, std::string_view text) {
  if (target.empty()) return;
  const std::size_t length = std::min(text.size(), target.size() - 1);
  std::memcpy(target.data(), text.data(), length);
  target[length] = std::byte{0};
}

}  // namespace

std::string TimeStampText(platform::TDateTime value) {
  const platform::TimeStamp stamp = platform::DateTimeToTimeStamp(value);
  return std::to_string(stamp.date) + ' ' + std::to_string(stamp.time);
}

std::string GuidValueText(const platform::Guid& guid) {
  return std::string(kGuidPrefix) + platform::GuidToString(guid) + '}';
}

std::optional<platform::Guid> GuidOfValueText(std::string_view text) {
  if (text.starts_with(kGuidPrefix) && text.ends_with("}}")) {
    text.remove_prefix(kGuidPrefix.size());
    text.remove_suffix(1);
  }
  return platform::TryParseGuid(platform::AnsiUpperCase(text));
}

std::string TextOfDaoValue(const platform::Variant& value) {
  using platform::VariantType;
  switch (value.Type()) {
    case VariantType::kEmpty:
    case VariantType::kNull:
      return std::string();
    case VariantType::kBytes: {
      const platform::Bytes& bytes = *value.BytesIf();
      return std::string(bytes.begin(), bytes.end());
    }
    case VariantType::kDate:
      return TimeStampText(value.ToDate());
    case VariantType::kBoolean:
      return value.ToBoolean() ? "True" : "False";
    case VariantType::kGuid:
      return GuidValueText(value.ToGuid());
    case VariantType::kString:
      return *value.StringIf();
    default:
      return value.ToText();
  }
}

bool TextToNative(TFieldType type, bool guid, int size, std::string_view text, std::span<std::byte> target) {
  if (text.empty()) return false;
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: {
      // The native form holds `size` characters of UTF-8 and a zero.
      std::size_t length = 0;
      for (int characters = 0; length < text.size() && characters < size; ++characters) {
        ++length;
        while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
      }
      StoreText(target, text.substr(0, length));
      return true;
    }
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc:
    case ftLargeint:
      if (const auto whole = ParseWhole(text)) {
        if (type == ftSmallint) Store(target, static_cast<std::int16_t>(*whole));
        else if (type == ftWord) Store(target, static_cast<std::uint16_t>(*whole));
        else if (type == ftLargeint) Store(target, *whole);
        else Store(target, static_cast<std::int32_t>(*whole));
      }
      return true;
    case ftBoolean:
      if (const auto flag = ParseBoolean(text)) Store<std::int16_t>(target, *flag ? -1 : 0);
      return true;
    case ftFloat:
    case ftCurrency:
      if (const auto number = platform::TryParseFloat(text)) Store(target, *number);
      return true;
    case ftDate:
    case ftTime:
    case ftDateTime: {
      const std::size_t blank = text.find(' ');
      if (blank == std::string_view::npos) return false;
      const auto day = platform::TryParseInt32(text.substr(0, blank));
      const auto milliseconds = platform::TryParseInt32(text.substr(blank + 1));
      if (!day || !milliseconds) return true;
      if (type == ftDate) Store(target, *day);
      else if (type == ftTime) Store(target, *milliseconds);
      else Store(target, static_cast<double>(*day) * platform::kMillisecondsPerDay + *milliseconds);
      return true;
    }
    case ftBytes:
      if (guid) {
        if (const auto parsed = GuidOfValueText(text)) {
          std::memcpy(target.data(), parsed->bytes.data(), std::min(target.size(), parsed->bytes.size()));
        }
        return true;
      }
      std::memcpy(target.data(), text.data(), std::min(target.size(), text.size()));
      return true;
    default:
      // Large values travel through streams: the answer says only that
      // there is a value.
      return true;
  }
}

std::string NativeToText(TFieldType type, bool guid, int size, std::span<const std::byte> native) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: {
      const auto* chars = reinterpret_cast<const char*>(native.data());
      return std::string(chars, strnlen(chars, native.size()));
    }
    case ftSmallint:
      return std::to_string(Load<std::int16_t>(native));
    case ftWord:
      return std::to_string(Load<std::uint16_t>(native));
    case ftInteger:
    case ftAutoInc:
      return std::to_string(Load<std::int32_t>(native));
    case ftLargeint:
      return std::to_string(Load<std::int64_t>(native));
    case ftBoolean:
      return Load<std::int16_t>(native) != 0 ? "True" : "False";
    case ftFloat:
    case ftCurrency:
      return platform::FloatToStrGeneral(Load<double>(native));
    case ftDate:
      return std::to_string(Load<std::int32_t>(native)) + " 0";
    case ftTime:
      return std::to_string(platform::kDayNumberOfDateZero) + ' ' + std::to_string(Load<std::int32_t>(native));
    case ftDateTime: {
      const auto total = static_cast<std::int64_t>(std::llround(Load<double>(native)));
      return std::to_string(total / platform::kMillisecondsPerDay) + ' ' +
             std::to_string(total % platform::kMillisecondsPerDay);
    }
    case ftBytes:
      if (guid) {
        platform::Guid value;
        std::memcpy(value.bytes.data(), native.data(), std::min(native.size(), value.bytes.size()));
        return value.IsNull() ? std::string() : GuidValueText(value);
      }
      return std::string(reinterpret_cast<const char*>(native.data()),
                         std::min(native.size(), static_cast<std::size_t>(size)));
    default:
      return std::string();
  }
}

namespace {

// The three numbers of `text` separated by `separator` ("1/2/2000").
std::optional<std::array<int, 3>> ThreeNumbers(std::string_view text, char separator) {
  std::array<int, 3> numbers{};
  std::size_t start = 0;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const std::size_t end = i + 1 < numbers.size() ? text.find(separator, start) : text.size();
    if (end == std::string_view::npos) return std::nullopt;
    const auto number = platform::TryParseInt32(text.substr(start, end - start));
    if (!number) return std::nullopt;
    numbers[i] = *number;
    start = end + 1;
  }
  return numbers;
}

}  // namespace

std::string DateDefaultToTimeStampText(std::string_view text) {
  const std::size_t blank = text.find(' ');
  const auto date = ThreeNumbers(text.substr(0, blank), '/');
  if (!date) return std::string();
  const auto day = platform::TryEncodeDate((*date)[2], (*date)[0], (*date)[1]);
  if (!day) return std::string();
  platform::TDateTime value = *day;
  if (blank != std::string_view::npos) {
    std::string_view time = text.substr(blank + 1);
    const bool am = time.ends_with(" AM");
    const bool pm = time.ends_with(" PM");
    if (am || pm) time.remove_suffix(3);
    auto clock = ThreeNumbers(time, ':');
    if (!clock) return std::string();
    // The 12-hour clock: 12 AM is midnight, 1 PM to 11 PM are 13 to 23.
    if (am && (*clock)[0] == 12) (*clock)[0] = 0;
    if (pm && (*clock)[0] >= 1 && (*clock)[0] <= 11) (*clock)[0] += 12;
    const auto timeOfDay = platform::TryEncodeTime((*clock)[0], (*clock)[1], (*clock)[2], 0);
    if (!timeOfDay) return std::string();
    value = platform::CombineDateTime(value, *timeOfDay);
  }
  return TimeStampText(value);
}

}  // namespace accessdb
