#pragma once

// Internal: number format patterns ("0.######", "#,##0.00;(#,##0.00)",
// "0.0E+00"); the rules are described at FormatFloat in number_text.h.

#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform::detail {

// Formats a finite value by a non-empty pattern.
std::string FormatByPattern(std::string_view pattern, double value, const FormatSettings& settings);

}  // namespace platform::detail
