// vrt's subcommands: each file registers its commands in one table, so a new
// runtime area adds a file and nothing else.
//
// Contract: a command prints exactly its value and a newline and returns 0;
// a runtime failure prints "error N: TEXT" and returns 1; a usage mistake
// prints the usage to standard error and returns 2.
#pragma once
#include <string>
#include <vector>

namespace vrt::tool {

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

// Helpers shared by the commands.
int usage_error(const char* name);
// Prints "error N: TEXT" for the current posted error; returns 1.
int posted_failure();
int failure(int code);
bool parse_int(const std::string& text, long long* value);
// Takes "--name VALUE" out of args; false when absent.
bool take_option(Args& args, const std::string& name, std::string* value);

}  // namespace vrt::tool
