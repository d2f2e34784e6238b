#include "runtime/platform/os/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace vrt::platform {

LocalTime GetLocalTime() {
  auto now = std::chrono::system_clock::now();
  std::time_t secs = std::chrono::system_clock::to_time_t(now);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&secs, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
          tm.tm_sec,         static_cast<int>(ms),      tm.tm_wday};
}

uint32_t tick_count() {
  auto d = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count() / 10);
}

void sleep_hundredths(uint32_t hundredths) {
  std::this_thread::sleep_for(std::chrono::milliseconds(10ull * hundredths));
}

}  // namespace vrt::platform
