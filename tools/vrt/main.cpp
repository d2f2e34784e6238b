// vrt: a probe of the runtime for scripts and diagnosis.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/core/error_state.h"
#include "runtime/core/message_text.h"
#include "runtime/core/settings.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {
std::vector<Command>& table() {
  static std::vector<Command> t;
  return t;
}
}  // namespace

RegisterCommand::RegisterCommand(Command command) { table().push_back(command); }
const std::vector<Command>& commands() { return table(); }

int usage_error(const char* name) {
  for (const Command& c : commands())
    if (std::strcmp(c.name, name) == 0) std::fprintf(stderr, "usage: vrt %s %s\n", c.name, c.usage);
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

bool parse_int(const std::string& text, long long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != 0 || errno != 0) return false;
  *value = v;
  return true;
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

}  // namespace vrt::tool

int main(int argc, char** argv) {
  using namespace vrt::tool;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
    std::fprintf(argc < 2 ? stderr : stdout, "usage: vrt COMMAND ARGS...\n");
    for (const Command& c : commands()) std::fprintf(argc < 2 ? stderr : stdout, "  vrt %s %s\n", c.name, c.usage);
    return argc < 2 ? 2 : 0;
  }
  vrt::core::read_settings();
  vrt::core::clear_error();
  for (const Command& c : commands())
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(Args(argv + 2, argv + argc));
  std::fprintf(stderr, "vrt: unknown command \"%s\" (vrt --help lists them)\n", argv[1]);
  return 2;
}
