// vrt format and deformat.
#include <cstdio>

#include "runtime/core/base/environment.h"
#include "runtime/core/pictures/picture.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {

// "--env FILE" loads month names, AM/PM texts and the like first.
bool prepare(Args& args, const char* name, int* result) {
  std::string env;
  bool has_env = take_option(args, "--env", &env);
  if (args.size() != 2) {
    *result = usage_error(name);
    return false;
  }
  if (has_env && !core::load_environment_file(env)) {
    *result = posted_failure();
    return false;
  }
  return true;
}

int format_cmd(const Args& in) {
  Args args = in;
  int result;
  if (!prepare(args, "format", &result)) return result;
  std::string text = core::Format(core::compile_picture(args[0]), args[1]);
  std::printf("%s\n", text.c_str());
  return 0;
}

int deformat_cmd(const Args& in) {
  Args args = in;
  int result;
  if (!prepare(args, "deformat", &result)) return result;
  std::printf("%s\n", core::Deformat(core::compile_picture(args[0]), args[1]).c_str());
  return 0;
}

RegisterCommand r1({"format", "PICTURE VALUE [--env FILE]", format_cmd});
RegisterCommand r2({"deformat", "PICTURE TEXT [--env FILE]", deformat_cmd});

}  // namespace

}  // namespace vrt::tool
