#include "tablefile/unique_code.h"

#include <cmath>

#include "platform/clock.h"

namespace tablefile {
namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr long long kBase = 62;
constexpr long long kCounterLimit = kBase * kBase;

// `value` reduced modulo 62^count, as `count` digits, most significant first.
std::string Base62(long long value, int count) {
  std::string digits(static_cast<std::size_t>(count), '0');
  for (int i = count - 1; i >= 0; --i) {
    digits[static_cast<std::size_t>(i)] = kDigits[((value % kBase) + kBase) % kBase];
    value /= kBase;
  }
  return digits;
}

struct Counter {
  bool started = false;
  long long value = 0;
};

Counter& SharedCounter() {
  static Counter counter;
  return counter;
}

}  // namespace

std::string MakeUniqueCodeAt(platform::TDateTime now) {
  const platform::TimeParts time = platform::DecodeTime(now);
  Counter& counter = SharedCounter();
  if (!counter.started) {
    counter.value = time.hour * 60 + time.minute;
    counter.started = true;
  } else {
    ++counter.value;
  }
  if (counter.value >= kCounterLimit) counter.value = 0;
  const long long days =
      static_cast<long long>(std::floor(now)) - static_cast<long long>(platform::EncodeDate(2000, 11, 1));
  return Base62(days * 24 + time.hour, 3) + Base62(time.minute * 60 + time.second, 2) +
         Base62((time.millisecond / 10) * kCounterLimit / 2 + counter.value, 3);
}

std::string MakeUniqueCode() { return MakeUniqueCodeAt(platform::Now()); }

}  // namespace tablefile
