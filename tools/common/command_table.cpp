#include "tools/common/command_table.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/core/base/error_state.h"
#include "runtime/core/startup/read_settings.h"
#include "runtime/core/base/settings.h"

namespace vrt::tools {

namespace {
std::vector<Command>& table() {
  static std::vector<Command> t;
  return t;
}
const char* g_tool = "";
}  // namespace

RegisterCommand::RegisterCommand(Command command) { table().push_back(command); }
const std::vector<Command>& commands() { return table(); }

int usage_error(const char* name) {
  for (const Command& c : commands())
    if (std::strcmp(c.name, name) == 0) std::fprintf(stderr, "usage: %s %s %s\n", g_tool, c.name, c.usage);
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

bool parse_int(const std::string& text, long long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != 0 || errno != 0) return false;
  *value = v;
  return true;
}

int run_tool(const char* tool, int argc, char** argv, void (*prepare)()) {
  g_tool = tool;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
    FILE* out = argc < 2 ? stderr : stdout;
    std::fprintf(out, "usage: %s COMMAND ARGS...\n", tool);
    for (const Command& c : commands()) std::fprintf(out, "  %s %s %s\n", tool, c.name, c.usage);
    return argc < 2 ? 2 : 0;
  }
  core::read_settings();
  core::clear_error();
  if (prepare) prepare();
  for (const Command& c : commands())
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(Args(argv + 2, argv + argc));
  std::fprintf(stderr, "%s: unknown command \"%s\" (%s --help lists them)\n", tool, argv[1], tool);
  return 2;
}

}  // namespace vrt::tools
