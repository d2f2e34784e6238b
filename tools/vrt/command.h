// vrt's subcommands: each file registers its commands in the shared command
// table (tools/common/command_table.h), where the output contract is: print
// exactly the value and a newline.
#pragma once
#include "tools/common/command_table.h"

namespace vrt::tool {

using tools::Args;
using tools::Command;
using tools::commands;
using tools::failure;
using tools::parse_int;
using tools::posted_failure;
using tools::RegisterCommand;
using tools::take_flag;
using tools::take_option;
using tools::usage_error;

}  // namespace vrt::tool
