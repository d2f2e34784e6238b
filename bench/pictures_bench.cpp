// Formatting throughput of compiled pictures against the C library doing the
// nearest equivalent job (snprintf for numbers and patterns, strftime for
// dates and times), measured in the same run. Prints nanoseconds per value
// and the ratio peer / picture (above 1: the picture is faster).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>

#include "runtime/core/values/dates.h"
#include "runtime/core/pictures/picture.h"

namespace {

using namespace vrt::core;

constexpr int kValues = 1024;
constexpr int kRounds = 2000;  // kValues x kRounds values per timing
constexpr int kRepeats = 5;    // the best of these is reported

volatile char g_sink;

// Nanoseconds per call of `body(i)`, the best of several timings.
double time_ns(const std::function<void(int)>& body) {
  double best = 1e30;
  for (int r = 0; r < kRepeats; ++r) {
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round)
      for (int i = 0; i < kValues; ++i) body(i);
    std::chrono::duration<double, std::nano> d = std::chrono::steady_clock::now() - start;
    double ns = d.count() / (static_cast<double>(kRounds) * kValues);
    if (ns < best) best = ns;
  }
  return best;
}

void report(const char* name, const char* peer, double ours, double theirs) {
  std::printf("%-18s %8.1f ns   %-26s %8.1f ns   ratio %.2f\n", name, ours, peer, theirs, theirs / ours);
}

}  // namespace

int main() {
  int64_t integers[kValues];
  double reals[kValues];
  int32_t dates[kValues], times[kValues];
  struct tm tms[kValues];
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < kValues; ++i) {
    integers[i] = static_cast<int64_t>(next() % 2000000000u) - 1000000000;
    reals[i] = (static_cast<double>(next() % 200000000u) - 100000000.0) / 1000.0;
    dates[i] = static_cast<int32_t>(40000 + next() % 80000);
    times[i] = static_cast<int32_t>(1 + next() % kLastTime);
    DateParts d;
    TimeParts t;
    date_parts(dates[i], &d);
    time_parts(times[i], &t);
    tms[i] = {};
    tms[i].tm_year = d.year - 1900;
    tms[i].tm_mon = d.month - 1;
    tms[i].tm_mday = d.day;
    tms[i].tm_hour = t.hour;
    tms[i].tm_min = t.minute;
    tms[i].tm_sec = t.second;
  }
  const CompiledPicture n14 = compile_picture("@n-14");
  const CompiledPicture n11 = compile_picture("@N-11.2");
  const CompiledPicture d18 = compile_picture("@D18");
  const CompiledPicture t8 = compile_picture("@T8");
  const CompiledPicture pattern = compile_picture("@P###-##-####P");
  char out[256];

  std::printf("formatting one value, best of %d timings of %d values\n", kRepeats, kValues * kRounds);
  report("@n-14 (LONG)", "snprintf %14lld",
         time_ns([&](int i) { g_sink = out[format_number(n14, digits_from_long(integers[i]), out) - 1]; }),
         time_ns([&](int i) { g_sink = out[std::snprintf(out, sizeof out, "%14lld", static_cast<long long>(integers[i])) - 1]; }));
  report("@N-11.2 (REAL)", "snprintf %11.2f",
         time_ns([&](int i) { g_sink = out[format_number(n11, digits_from_real(reals[i]), out) - 1]; }),
         time_ns([&](int i) { g_sink = out[std::snprintf(out, sizeof out, "%11.2f", reals[i]) - 1]; }));
  report("@D18 (DATE)", "strftime %B %d, %Y",
         time_ns([&](int i) { g_sink = out[format_date(d18, dates[i], out) - 1]; }),
         time_ns([&](int i) { g_sink = out[std::strftime(out, sizeof out, "%B %d, %Y", &tms[i]) - 1]; }));
  report("@T8 (TIME)", "strftime %I:%M:%S %p",
         time_ns([&](int i) { g_sink = out[format_time(t8, times[i], out) - 1]; }),
         time_ns([&](int i) { g_sink = out[std::strftime(out, sizeof out, "%I:%M:%S %p", &tms[i]) - 1]; }));
  report("@P###-##-####P", "snprintf %03d-%02d-%04d",
         time_ns([&](int i) {
           g_sink = out[format_number(pattern, digits_from_long(integers[i] < 0 ? -integers[i] : integers[i]), out) - 1];
         }),
         time_ns([&](int i) {
           long long v = integers[i] < 0 ? -integers[i] : integers[i];
           g_sink = out[std::snprintf(out, sizeof out, "%03lld-%02lld-%04lld", v / 1000000 % 1000, v / 10000 % 100,
                                      v % 10000) - 1];
         }));
  return 0;
}
