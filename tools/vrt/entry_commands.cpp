// vrt entry-check: the check an entry control makes of a typed text.
#include <cstdio>

#include "runtime/core/pictures/entry_check.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {

// "0 VALUE" when the text is accepted, the reason code alone otherwise.
int entry_check_cmd(const Args& args) {
  if (args.size() != 2) return usage_error("entry-check");
  core::EntryCheck check = core::check_entry_text(args[0], args[1]);
  if (check.reason) std::printf("%u\n", static_cast<unsigned>(check.reason));
  else std::printf("0 %s\n", check.value.c_str());
  return 0;
}

RegisterCommand r1({"entry-check", "PICTURE TEXT", entry_check_cmd});

}  // namespace

}  // namespace vrt::tool
