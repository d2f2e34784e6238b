#include "runtime/core/expression/expression_builtins.h"

#include <unistd.h>

#include <cmath>

#include "runtime/core/values/dates.h"
#include "runtime/core/expression/evaluate.h"
#include "runtime/core/text/instring.h"
#include "runtime/core/expression/match.h"
#include "runtime/core/values/number_text.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/core/base/string_compare.h"
#include "runtime/core/text/text_functions.h"
#include "runtime/platform/os/clock.h"
#include "runtime/platform/os/profile.h"

namespace vrt::core {

namespace {

// Each thread draws its own sequence, seeded from the clock on first use.
thread_local uint32_t t_random_state = 0;
thread_local bool t_random_seeded = false;

using Args = std::vector<ExprValue>;

// Results of real functions must stay finite numbers.
bool real_result(double r, ExprValue* out) {
  if (!std::isfinite(r)) return false;
  *out = ExprValue::of_real(r);
  return true;
}

int32_t as_long(const ExprValue& v) { return static_cast<int32_t>(static_cast<uint32_t>(v.as_integer())); }

int64_t optional_integer(const Args& a, size_t i, int64_t fallback) {
  return i < a.size() ? a[i].as_integer() : fallback;
}

int64_t shift(int32_t value, int64_t count) {
  uint32_t v = static_cast<uint32_t>(value);
  if (count >= 32 || count < -31) return 0;
  uint32_t r = count >= 0 ? v << count : v >> -count;
  return static_cast<int32_t>(r);
}

// ROUND(value, order): to the nearest multiple of order, halves away from
// zero; both steps read through 15 significant digits so that 5.555 to .01
// is 5.56 and not 5.55.
double round_to(double value, double order) {
  if (order == 0) return value;
  double q = text_to_real(real_to_text(value / order));
  return text_to_real(real_to_text(std::round(q) * order));
}

bool call(Builtin code, const Args& a, ExprValue* out) {
  auto integer = [&](int64_t v) { *out = ExprValue::of_integer(v); return true; };
  auto text = [&](std::string v) { *out = ExprValue::of_string(std::move(v)); return true; };
  switch (code) {
    case Builtin::Memory: {
      long pages = sysconf(_SC_AVPHYS_PAGES), size = sysconf(_SC_PAGESIZE);
      return integer(std::min<int64_t>(int64_t{pages} * size, INT32_MAX));
    }
    case Builtin::Sub: return text(Sub(a[0].as_text(), optional_integer(a, 1, 1), optional_integer(a, 2, -1)));
    case Builtin::Instring:
      return integer(Instring(a[0].as_text(), a[1].as_text(), optional_integer(a, 2, 1), optional_integer(a, 3, 1)));
    case Builtin::Clip: return text(Clip(a[0].as_text()));
    case Builtin::All: return text(All(a[0].as_text(), optional_integer(a, 1, 255)));
    case Builtin::Center: return text(Center(a[0].as_text(), optional_integer(a, 1, -1)));
    case Builtin::Left: return text(Left(a[0].as_text(), optional_integer(a, 1, -1)));
    case Builtin::Right: return text(Right(a[0].as_text(), optional_integer(a, 1, -1)));
    case Builtin::Chr: return text(std::string(1, static_cast<char>(a[0].as_integer() & 0xFF)));
    // Without a picture, DEFORMAT reads the text through the empty picture,
    // which takes the number out of it ("$1,234.56" is 1234.56).
    case Builtin::Deformat:
      return text(Deformat(a[0].as_text(), a.size() > 1 ? a[1].as_text() : std::string()));
    case Builtin::Format: return text(Format(a[0].as_text(), a[1].as_text()));
    case Builtin::Len: return integer(static_cast<int64_t>(a[0].as_text().size()));
    case Builtin::Lower: return text(Lower(a[0].as_text()));
    case Builtin::Upper: return text(Upper(a[0].as_text()));
    case Builtin::Numeric: return integer(Numeric(a[0].as_text()));
    case Builtin::Val: {
      std::string t = a[0].as_text();
      return integer(t.empty() ? 0 : static_cast<uint8_t>(t[0]));
    }
    case Builtin::Abs: return real_result(std::fabs(a[0].as_real()), out);
    case Builtin::Inrange: {
      double v = a[0].as_real();
      return integer(compare_reals(v, a[1].as_real()) >= 0 && compare_reals(v, a[2].as_real()) <= 0);
    }
    case Builtin::Int: {
      double v = std::trunc(a[0].as_real());
      if (!(std::fabs(v) < 9.2e18)) return false;
      return integer(static_cast<int64_t>(v));
    }
    case Builtin::Loge: return real_result(std::log(a[0].as_real()), out);
    case Builtin::Log10: return real_result(std::log10(a[0].as_real()), out);
    case Builtin::Random: return integer(random_between(as_long(a[0]), as_long(a[1])));
    case Builtin::Round: return real_result(round_to(a[0].as_real(), a[1].as_real()), out);
    case Builtin::Sqrt: return real_result(std::sqrt(a[0].as_real()), out);
    case Builtin::Sin: return real_result(std::sin(a[0].as_real()), out);
    case Builtin::Cos: return real_result(std::cos(a[0].as_real()), out);
    case Builtin::Tan: return real_result(std::tan(a[0].as_real()), out);
    case Builtin::Asin: return real_result(std::asin(a[0].as_real()), out);
    case Builtin::Acos: return real_result(std::acos(a[0].as_real()), out);
    case Builtin::Atan: return real_result(std::atan(a[0].as_real()), out);
    case Builtin::Band: return integer(as_long(a[0]) & as_long(a[1]));
    case Builtin::Bor: return integer(as_long(a[0]) | as_long(a[1]));
    case Builtin::Bxor: return integer(as_long(a[0]) ^ as_long(a[1]));
    case Builtin::Bshift: return integer(shift(as_long(a[0]), a[1].as_integer()));
    case Builtin::Today: return integer(today());
    case Builtin::Clock: return integer(clock_time());
    case Builtin::Date: return integer(date_from_parts(as_long(a[0]), as_long(a[1]), as_long(a[2])));
    case Builtin::Day: return integer(date_day(as_long(a[0])));
    case Builtin::Month: return integer(date_month(as_long(a[0])));
    case Builtin::Year: return integer(date_year(as_long(a[0])));
    case Builtin::Age: return text(a.size() > 1 ? age(as_long(a[0]), as_long(a[1])) : age(as_long(a[0])));
    case Builtin::Choose: {
      // CHOOSE(n, v1 .. vk): the n-th value for 1 <= n < k, else the last.
      int64_t n = a[0].as_integer();
      size_t k = a.size() - 1;
      const ExprValue& v = n >= 1 && static_cast<size_t>(n) < k ? a[static_cast<size_t>(n)] : a.back();
      return text(v.as_text());
    }
    case Builtin::Inlist: {
      for (size_t i = 1; i < a.size(); ++i) {
        bool same = a[0].type == ExprType::String && a[i].type == ExprType::String
                        ? compare_strings(a[0].text, a[i].text) == 0
                        : compare_reals(a[0].as_real(), a[i].as_real()) == 0;
        if (same) return integer(static_cast<int64_t>(i));
      }
      return integer(0);
    }
    case Builtin::Getini: {
      std::string fallback = a.size() > 2 ? a[2].as_text() : "";
      if (a.size() > 3)
        return text(platform::GetPrivateProfileString(a[0].as_text(), a[1].as_text(), fallback, a[3].as_text()));
      return text(platform::GetProfileString(a[0].as_text(), a[1].as_text(), fallback));
    }
    case Builtin::Match:
      return integer(Match(a[0].as_text(), a[1].as_text(), static_cast<int>(optional_integer(a, 2, kMatchWild))));
    case Builtin::Null: return integer(0);  // bound values are never null
  }
  return false;
}

}  // namespace

int random_draw() {
  if (!t_random_seeded) seed_random(platform::tick_count() * 2654435761u ^ static_cast<uint32_t>(clock_time()));
  t_random_state = t_random_state * 214013u + 2531011u;
  return static_cast<int>((t_random_state >> 16) & 0x7FFF);
}

void seed_random(uint32_t seed) {
  t_random_state = seed;
  t_random_seeded = true;
}

int64_t random_between(int64_t low, int64_t high) {
  if (low == high) return low;
  if (high < low) std::swap(low, high);
  uint32_t r1 = static_cast<uint32_t>(random_draw()), r2 = static_cast<uint32_t>(random_draw()),
           r3 = static_cast<uint32_t>(random_draw());
  uint32_t r = (r1 << 30) + (r2 << 15) + r3;
  uint64_t span = static_cast<uint64_t>(high - low) + 1;
  return low + static_cast<int64_t>(r % span);
}

bool evaluate_builtin(const ExprNode& n, ExprValue* out) {
  Args args(n.kids.size());
  for (size_t i = 0; i < n.kids.size(); ++i)
    if (!evaluate_node(*n.kids[i], &args[i])) return false;
  return call(n.builtin->code, args, out);
}

}  // namespace vrt::core
