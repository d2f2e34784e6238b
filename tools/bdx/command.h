// bdx's subcommands: each file registers its commands in one table.
//
// Contract: a command prints its output and returns 0; a failure prints
// "error N: TEXT" (or, for check, one line per problem) and returns 1; a
// usage mistake prints the usage to standard error and returns 2.
#pragma once
#include <string>
#include <vector>

namespace vrt::bdx_tool {

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

}  // namespace vrt::bdx_tool
