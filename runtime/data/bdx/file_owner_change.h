// Encrypting or decrypting a whole BDX file: every record is copied, in key
// order, into a new file beside it under the new owner (empty: in clear),
// which is flushed and then put in the old one's place at once. A crash
// leaves the old file or the new one under the name, and at most a stray
// ".owner-change" file beside it, which the next change replaces.
#pragma once
#include <string>

namespace vrt::data {

// 0, or an error: 36 when the file does not open with from_owner, 32 when
// another process has it open.
int change_file_owner(const std::string& path, const std::string& from_owner, const std::string& to_owner);

}  // namespace vrt::data
