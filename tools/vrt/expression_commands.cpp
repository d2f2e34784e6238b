// vrt eval, filter, match, sound.
#include <cmath>
#include <cstdlib>
#include <cstdio>

#include "runtime/core/base/error_state.h"
#include "runtime/core/expression/evaluate.h"
#include "runtime/core/expression/filter_text.h"
#include "runtime/core/expression/match.h"
#include "runtime/core/text/sound_code.h"
#include "runtime/core/text/text_functions.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {

// --bind NAME=VALUE: whole numbers bind as integers, other numbers as
// reals, anything else as text.
bool take_bindings(Args& args) {
  std::string binding;
  while (take_option(args, "--bind", &binding)) {
    size_t eq = binding.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    std::string value = binding.substr(eq + 1);
    long long whole;
    core::ExprValue v = core::ExprValue::of_string(value);
    if (parse_int(value, &whole)) {
      v = core::ExprValue::of_integer(whole);
    } else if (core::Numeric(value)) {
      // A number beyond a double's range is a mistake in the command line.
      double real = std::strtod(value.c_str(), nullptr);
      if (!std::isfinite(real)) return false;
      v = core::ExprValue::of_real(real);
    }
    core::Bind(binding.substr(0, eq), [v] { return v; });
  }
  return true;
}

int eval_cmd(const Args& in) {
  Args args = in;
  if (!take_bindings(args) || args.size() != 1) return usage_error("eval");
  core::Expression e;
  core::ExprValue v;
  if (!e.compile(args[0]) || !e.evaluate(&v)) return posted_failure();
  std::printf("%s\n", v.as_text().c_str());
  return 0;
}

int filter_cmd(const Args& in) {
  Args args = in;
  if (!take_bindings(args) || args.size() != 1) return usage_error("filter");
  core::Expression e;
  if (!e.compile(args[0])) return posted_failure();
  std::printf("%s\n", core::filter_text(*e.tree()).c_str());
  return 0;
}

int match_cmd(const Args& args) {
  long long mode = core::kMatchWild;
  if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && !parse_int(args[2], &mode)))
    return usage_error("match");
  std::printf("%d\n", core::Match(args[0], args[1], static_cast<int>(mode)) ? 1 : 0);
  return 0;
}

int sound_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("sound");
  std::printf("%s\n", core::sound_code(args[0]).c_str());
  return 0;
}

RegisterCommand r1({"eval", "EXPRESSION [--bind NAME=VALUE]...", eval_cmd});
RegisterCommand r2({"filter", "EXPRESSION [--bind NAME=VALUE]...", filter_cmd});
RegisterCommand r3({"match", "VALUE PATTERN [MODE]", match_cmd});
RegisterCommand r4({"sound", "TEXT", sound_cmd});

}  // namespace

}  // namespace vrt::tool
