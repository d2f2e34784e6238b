// vrt message and env.
#include <cstdio>

#include "runtime/core/base/environment.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/base/message_text.h"
#include "runtime/core/base/settings.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {

int message_cmd(const Args& in) {
  Args args = in;
  std::string env;
  bool has_env = take_option(args, "--env", &env);
  long long n;
  if (args.size() != 1 || !parse_int(args[0], &n) || n < INT32_MIN || n > INT32_MAX) return usage_error("message");
  if (has_env && !core::load_environment_file(env)) return posted_failure();
  std::printf("%s\n", core::message_text(static_cast<int>(n)).c_str());
  return 0;
}

// One item a line: what the file changed from the start state.
int env_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("env");
  core::clear_message_overrides();
  if (!core::load_environment_file(args[0])) return posted_failure();
  const core::Settings& s = core::settings();
  for (int m = 0; m < 12; ++m) std::printf("month %d %s\n", m + 1, s.month_names[m]);
  for (int m = 0; m < 12; ++m) std::printf("abbrev %d %s\n", m + 1, s.month_abbrevs[m]);
  std::printf("am %s\npm %s\n", s.am_pm[0], s.am_pm[1]);
  for (int c = 128; c < 256; ++c)
    if (s.case_kind[c] == core::kCaseUpper) std::printf("case %d %d\n", c, s.case_partner[c]);
  for (int c = 0; c < 256; ++c)
    if (s.collation_ansi[c] != c) std::printf("weight %d %d\n", c, s.collation_ansi[c]);
  for (int i = 0; i < core::kMaxDigraphs && s.digraphs[i][0]; ++i)
    std::printf("digraph %c %c%c\n", s.digraphs[i][0], s.digraphs[i][1], s.digraphs[i][2]);
  std::vector<std::pair<int, std::string>> overrides;
  core::for_each_message_override([&](int n, const std::string& t) { overrides.emplace_back(n, t); });
  for (auto it = overrides.rbegin(); it != overrides.rend(); ++it)
    std::printf("message %d %s\n", it->first, it->second.c_str());
  return 0;
}

RegisterCommand r1({"message", "N [--env FILE]", message_cmd});
RegisterCommand r2({"env", "FILE", env_cmd});

}  // namespace

}  // namespace vrt::tool
