// The owner of encrypted files for every bdx command: from --owner-file
// FILE (its first line) or the environment variable BDX_OWNER, never from
// a plain argument, which other users would see in the process list.
#pragma once
#include <string>
#include <vector>

namespace vrt::bdx_tool {

// Takes --owner-file FILE out of the arguments and reads the owner (or
// BDX_OWNER); false with a message on standard error when the file cannot
// be read or the option has no file.
bool take_owner(std::vector<char*>* args);

// The owner given, empty for files without one.
const std::string& file_owner();

}  // namespace vrt::bdx_tool
