// The text between the # signs of a date literal, as Jet reads it whatever
// the user's settings: month/day/year (with an optional time), the ISO form
// year-month-day (with an optional time), or a time alone.
#pragma once

#include <optional>
#include <string_view>

#include "platform/date_time.h"

namespace dao::sql {

std::optional<platform::TDateTime> ParseDateLiteral(std::string_view text);

}  // namespace dao::sql
