// bdx: the data-file tool. Lists the tables of a BDX file, prints its header
// and page areas, dumps records, checks and rebuilds files, creates a file
// from a declaration and imports CSV.
#include <cstdio>
#include <cstring>

#include "runtime/core/error_state.h"
#include "runtime/core/runtime_box.h"
#include "runtime/core/settings.h"
#include "tools/bdx/command.h"

namespace vrt::bdx_tool {

namespace {
std::vector<Command>& table() {
  static std::vector<Command> t;
  return t;
}

// A damaged file's fatal box becomes one line on standard error.
core::BoxAnswer quiet_box(const core::BoxRequest& box) {
  std::string text = box.text.substr(0, box.text.find('\n'));
  std::fprintf(stderr, "bdx: %s\n", text.c_str());
  return core::kAnswerNo;
}
}  // namespace

RegisterCommand::RegisterCommand(Command command) { table().push_back(command); }
const std::vector<Command>& commands() { return table(); }

int usage_error(const char* name) {
  for (const Command& c : commands())
    if (std::strcmp(c.name, name) == 0) std::fprintf(stderr, "usage: bdx %s %s\n", c.name, c.usage);
  return 2;
}

int posted_failure() {
  std::printf("error %d: %s\n", core::error_code(), core::error_text().c_str());
  return 1;
}

int failure(int code) {
  core::post_error(code);
  return posted_failure();
}

bool take_option(Args& args, const std::string& name, std::string* value) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) {
      *value = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      return true;
    }
  return false;
}

bool take_flag(Args& args, const std::string& name) {
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] == name) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  return false;
}

}  // namespace vrt::bdx_tool

int main(int argc, char** argv) {
  using namespace vrt::bdx_tool;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
    FILE* out = argc < 2 ? stderr : stdout;
    std::fprintf(out, "usage: bdx COMMAND ARGS...\n");
    for (const Command& c : commands()) std::fprintf(out, "  bdx %s %s\n", c.name, c.usage);
    return argc < 2 ? 2 : 0;
  }
  vrt::core::read_settings();
  vrt::core::clear_error();
  vrt::core::set_runtime_box_handler(quiet_box);
  for (const Command& c : commands())
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(Args(argv + 2, argv + argc));
  std::fprintf(stderr, "bdx: unknown command \"%s\" (bdx --help lists them)\n", argv[1]);
  return 2;
}
