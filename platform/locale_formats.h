#pragma once

// Internal: reading FormatSettings from a glibc locale.

#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform::detail {

// Overwrites the parts of `settings` that the named locale ("" = the user's
// locale from the environment) defines; categories whose locale is C/POSIX
// or cannot be loaded leave `settings` as it was.
void ApplyLocaleFormats(const std::string& localeName, FormatSettings& settings);

// Translates a strftime format ("%d.%m.%Y") into a date/time pattern of
// format_settings.h ("dd.MM.yyyy").
std::string StrftimeToPattern(std::string_view format);

}  // namespace platform::detail
