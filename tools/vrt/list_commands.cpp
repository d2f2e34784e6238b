// vrt listformat: where a list's format text goes wrong.
#include <cstdio>

#include "runtime/window/controls/list_format.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {

int listformat_cmd(const Args& args) {
  if (args.size() != 1) return usage_error("listformat");
  std::printf("%zu\n", window::validate_list_format(args[0]));
  return 0;
}

RegisterCommand r1({"listformat", "FORMAT", listformat_cmd});

}  // namespace

}  // namespace vrt::tool
