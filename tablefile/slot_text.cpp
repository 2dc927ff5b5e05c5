#include "tablefile/slot_text.h"

#include <array>
#include <limits>

#include "platform/codepage.h"
#include "platform/date_time.h"
#include "platform/errors.h"
#include "platform/number_text.h"
#include "platform/text_case.h"
#include "recordset/database_error.h"
#include "recordset/messages.h"

namespace tablefile {
namespace {

template <typename Int>
Int IntegerOf(std::string_view text) {
  const auto value = platform::TryParseInt64(text);
  if (!value || *value < std::numeric_limits<Int>::min() || *value > std::numeric_limits<Int>::max()) return 0;
  return static_cast<Int>(*value);
}

bool IsYes(std::string_view text) {
  // Compared as the table's bytes: C4 C0 is the Cyrillic "yes" of code page 1251.
  static constexpr std::array<std::string_view, 5> kYes{"TRUE", "YES", "T", "1", "\xC4\xC0"};
  const std::string upper = platform::AnsiUpperCaseBytes(platform::Utf8ToAnsi(text));
  for (const std::string_view yes : kYes) {
    if (upper == yes) return true;
  }
  return false;
}

// The moment a text names, as a day number and milliseconds; none when it
// names no moment of the calendar.
std::optional<platform::TimeStamp> StampOf(std::string_view text) {
  const auto moment = platform::TryParseDateTime(text);
  if (!moment) return std::nullopt;
  try {
    return platform::DateTimeToTimeStamp(*moment);
  } catch (const platform::ConversionError&) {
    return std::nullopt;
  }
}

}  // namespace

void PutSlotText(RecordBuffer& record, const TNtdField& field, std::string_view text) {
  if (text.empty()) return;
  switch (field.StorageType) {
    case TNtdStorageType::SmallInt: return record.Put<std::int16_t>(field, IntegerOf<std::int16_t>(text));
    case TNtdStorageType::Integer:
    case TNtdStorageType::AutoInc: return record.Put<std::int32_t>(field, IntegerOf<std::int32_t>(text));
    case TNtdStorageType::Int64: return record.Put<std::int64_t>(field, IntegerOf<std::int64_t>(text));
    case TNtdStorageType::Boolean: return record.Put<std::int16_t>(field, IsYes(text) ? -1 : 0);
    case TNtdStorageType::Double:
    case TNtdStorageType::Currency: {
      const auto value = platform::TryParseFloat(text);
      if (!value) {
        recordset::DatabaseError(recordset::FillMessage(recordset::messages::kInvalidFloatValue,
                                                        {text, platform::AnsiToUtf8(field.Name)}));
      }
      return record.Put<double>(field, *value);
    }
    case TNtdStorageType::Date:
    case TNtdStorageType::Time:
    case TNtdStorageType::DateTime: {
      const auto stamp = StampOf(text);
      if (!stamp) return;
      if (field.StorageType == TNtdStorageType::Date) return record.Put<std::int32_t>(field, stamp->date);
      if (field.StorageType == TNtdStorageType::Time) return record.Put<std::int32_t>(field, stamp->time);
      return record.Put<double>(field, static_cast<double>(stamp->date) * platform::kMillisecondsPerDay + stamp->time);
    }
    case TNtdStorageType::SmallStr:
      return record.PutSmallText(field, platform::Utf8ToAnsi(text));
    case TNtdStorageType::String: {
      std::string stored = platform::Utf8ToAnsi(text);
      if (stored.size() > static_cast<std::size_t>(field.DeclaredSize)) stored.resize(static_cast<std::size_t>(field.DeclaredSize));
      record.LargeValue(field) = std::move(stored);
      return;
    }
    case TNtdStorageType::Memo:
    case TNtdStorageType::FmtMemo:
      // A memo declares no length; cut to it, a filter's text would compare
      // as no text at all. (Memos are never key fields.)
      record.LargeValue(field) = platform::Utf8ToAnsi(text);
      return;
    default:
      return;  // BLOB and Graphic take no text
  }
}

}  // namespace tablefile
