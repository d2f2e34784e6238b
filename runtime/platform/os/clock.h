// Time as the runtime sees it: a tick count in hundredths of a second and the
// local calendar date and time.
#pragma once
#include <cstdint>

namespace vrt::platform {

struct LocalTime {
  int year, month, day;  // month 1-12
  int hour, minute, second, millisecond;
  int day_of_week;       // 0 Sunday
};

LocalTime GetLocalTime();

// Hundredths of a second from an arbitrary fixed point; never goes back.
uint32_t tick_count();

void sleep_hundredths(uint32_t hundredths);

}  // namespace vrt::platform
