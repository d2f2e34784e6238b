// bdx's subcommands: each file registers its commands in the shared command
// table (tools/common/command_table.h), where the output contract is.
#pragma once
#include "tools/common/command_table.h"

namespace vrt::bdx_tool {

using tools::Args;
using tools::Command;
using tools::commands;
using tools::failure;
using tools::posted_failure;
using tools::RegisterCommand;
using tools::take_flag;
using tools::take_option;
using tools::usage_error;

}  // namespace vrt::bdx_tool
