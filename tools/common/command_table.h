// What the command-line tools share: a table of subcommands that each file
// fills with RegisterCommand objects, and the helpers commands use.
//
// Contract: a command prints its output and returns 0; a runtime failure
// prints "error N: TEXT" and returns 1; a usage mistake prints the usage to
// standard error and returns 2.
#pragma once
#include <string>
#include <vector>

namespace vrt::tools {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;  // the arguments, for the help text
  int (*run)(const Args& args);
};

struct RegisterCommand {
  explicit RegisterCommand(Command command);
};

const std::vector<Command>& commands();

int usage_error(const char* name);
// Prints "error N: TEXT" for the current posted error; returns 1.
int posted_failure();
int failure(int code);
// Takes "--name VALUE" or a "--flag" out of args.
bool take_option(Args& args, const std::string& name, std::string* value);
bool take_flag(Args& args, const std::string& name);
bool parse_int(const std::string& text, long long* value);

// The tool's main: help, settings, then the command named by argv[1].
// `prepare` runs after the settings are read, before the command.
int run_tool(const char* tool, int argc, char** argv, void (*prepare)() = nullptr);

}  // namespace vrt::tools
