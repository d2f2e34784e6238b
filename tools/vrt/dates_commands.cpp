// vrt date, parts, time, time-parts, age.
#include <cstdio>

#include "runtime/core/values/dates.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {

bool ints(const Args& args, size_t count, long long* out) {
  if (args.size() != count) return false;
  for (size_t i = 0; i < count; ++i)
    if (!parse_int(args[i], &out[i]) || out[i] < INT32_MIN || out[i] > INT32_MAX) return false;
  return true;
}

int date_cmd(const Args& args) {
  long long v[3];
  if (!ints(args, 3, v)) return usage_error("date");
  std::printf("%d\n", core::date_from_parts(static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]),
                                            static_cast<int32_t>(v[2])));
  return 0;
}

int parts_cmd(const Args& args) {
  long long v[1];
  if (!ints(args, 1, v)) return usage_error("parts");
  core::DateParts p;
  if (core::date_parts(static_cast<int32_t>(v[0]), &p))
    std::printf("%d %d %d\n", p.year, p.month, p.day);
  else
    std::printf("invalid\n");
  return 0;
}

int time_cmd(const Args& args) {
  long long v[4];
  if (!ints(args, 4, v)) return usage_error("time");
  std::printf("%d\n", core::time_from_parts(static_cast<int>(v[0]), static_cast<int>(v[1]),
                                            static_cast<int>(v[2]), static_cast<int>(v[3])));
  return 0;
}

int time_parts_cmd(const Args& args) {
  long long v[1];
  if (!ints(args, 1, v)) return usage_error("time-parts");
  core::TimeParts p;
  if (core::time_parts(static_cast<int32_t>(v[0]), &p))
    std::printf("%d %d %d %d\n", p.hour, p.minute, p.second, p.hundredths);
  else
    std::printf("invalid\n");
  return 0;
}

int age_cmd(const Args& args) {
  long long v[2];
  if (args.size() == 1 && ints(args, 1, v)) {
    std::printf("%s\n", core::age(static_cast<int32_t>(v[0])).c_str());
    return 0;
  }
  if (!ints(args, 2, v)) return usage_error("age");
  std::printf("%s\n", core::age(static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1])).c_str());
  return 0;
}

RegisterCommand r1({"date", "MONTH DAY YEAR", date_cmd});
RegisterCommand r2({"parts", "DATE", parts_cmd});
RegisterCommand r3({"time", "HOUR MINUTE SECOND HUNDREDTHS", time_cmd});
RegisterCommand r4({"time-parts", "TIME", time_parts_cmd});
RegisterCommand r5({"age", "BIRTH [BASE]", age_cmd});

}  // namespace

}  // namespace vrt::tool
