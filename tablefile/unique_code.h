#pragma once
// Eight-character codes for new rows whose default text is "UNICOD": the time
// of the call and a counter shared by the whole process, in base 62.

#include <string>

#include "platform/date_time.h"

namespace tablefile {

// A code for the current time (platform::Now()).
std::string MakeUniqueCode();

// A code for `now`; advances the process-wide counter.
std::string MakeUniqueCodeAt(platform::TDateTime now);

}  // namespace tablefile
