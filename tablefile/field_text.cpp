// A record's field value as text (filter conditions compare with it).

#include <string>

#include "platform/codepage.h"
#include "platform/date_time.h"
#include "platform/number_text.h"
#include "tablefile/ntd_cursor.h"
#include "tablefile/slot_time.h"

namespace tablefile {
namespace {

constexpr char kFloatTextPattern[] = "0.######";

}  // namespace

// Texts are in the table's code page, like the values they are compared with;
// formatted numbers and dates are converted into it.
std::string TNtdCursor::FieldText(const TNtdField& field, const RecordBuffer& record) const {
  const auto local = [](const std::string& utf8) { return platform::Utf8ToAnsi(utf8); };
  switch (field.StorageType) {
    case TNtdStorageType::SmallInt:
      return std::to_string(record.Get<std::int16_t>(field));
    case TNtdStorageType::Integer:
    case TNtdStorageType::AutoInc:
      return std::to_string(record.Get<std::int32_t>(field));
    case TNtdStorageType::Int64:
      return std::to_string(record.Get<std::int64_t>(field));
    case TNtdStorageType::Boolean:
      return record.Get<std::int16_t>(field) != 0 ? "Yes" : "No";
    case TNtdStorageType::Double:
    case TNtdStorageType::Currency:
      return local(platform::FormatFloat(kFloatTextPattern, record.Get<double>(field)));
    case TNtdStorageType::Date: {
      const std::int32_t day = record.Get<std::int32_t>(field);
      return day <= 0 ? std::string() : local(platform::DateToStr(DateSlotToDateTime(day)));
    }
    case TNtdStorageType::Time: {
      const std::int32_t milliseconds = record.Get<std::int32_t>(field);
      return milliseconds <= 0 ? std::string()
                               : local(platform::TimeToStr(TimeSlotToDateTime(milliseconds)));
    }
    case TNtdStorageType::DateTime: {
      // A slot that holds no valid moment reads as empty text rather than failing the filter.
      const auto moment = DateTimeSlotToDateTime(record.Get<double>(field));
      return moment ? local(platform::DateTimeToStr(*moment)) : std::string();
    }
    case TNtdStorageType::SmallStr:
      return std::string(record.SmallText(field));
    case TNtdStorageType::String:
    case TNtdStorageType::Memo:
    case TNtdStorageType::FmtMemo:
      return record.LargeValue(field);
    default:
      return "Not Found";
  }
}

}  // namespace tablefile
