#pragma once
// Date and time slots of a record buffer as date-time values. A Date slot is
// a day number (1 January of year 1 = day 1), a Time slot milliseconds since
// midnight, a DateTime slot day number × 86 400 000 + milliseconds.

#include <cmath>
#include <cstdint>
#include <optional>

#include "platform/date_time.h"

namespace tablefile {

inline platform::TDateTime DateSlotToDateTime(std::int32_t dayNumber) {
  return static_cast<platform::TDateTime>(dayNumber - platform::kDayNumberOfDateZero);
}

inline platform::TDateTime TimeSlotToDateTime(std::int32_t milliseconds) {
  return static_cast<platform::TDateTime>(milliseconds) / platform::kMillisecondsPerDay;
}

// The moment a DateTime slot holds; empty when it is not a valid moment
// (zero included: no day 0 exists).
inline std::optional<platform::TDateTime> DateTimeSlotToDateTime(double slot) {
  if (!std::isfinite(slot)) return std::nullopt;
  const double days = std::floor(slot / platform::kMillisecondsPerDay);
  const double milliseconds = slot - days * platform::kMillisecondsPerDay;
  // Compared as doubles: a slot far outside the calendar fits no integer.
  if (days < platform::kFirstDayNumber || days > platform::kLastDayNumber) return std::nullopt;
  return platform::TimeStampToDateTime(
      {static_cast<std::int32_t>(days), static_cast<std::int32_t>(milliseconds)});
}

}  // namespace tablefile
