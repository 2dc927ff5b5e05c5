#include "platform/clock.h"

#include <cmath>
#include <ctime>


namespace platform {
namespace {

class SystemClock : public Clock {
 public:
  TDateTime Now() const override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    const TDateTime date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    // A leap second (tm_sec 60) counts as the last second of the minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    const TDateTime time = EncodeTime(local.tm_hour, local.tm_min, second,
                                      static_cast<int>(now.tv_nsec / 1'000'000));
    return CombineDateTime(date, time);
  }
};

}  // namespace

TDateTime Now() {
  static const SystemClock systemClock;
  return detail::InstalledOr<const Clock>(systemClock).Now();
}

TDateTime Today() {
  const TDateTime now = Now();
  return std::trunc(now);
}

}  // namespace platform
