// The environment file and its keys: character set, collation, case table,
// month names, AM/PM texts, digraphs, button texts, long file names and
// message overrides.
#pragma once
#include <string>
#include <vector>

namespace vrt::core {

// Applies one key. Unknown keys are ignored.
void set_environment_value(const std::string& key, const std::string& value);

// Loads a file of "KEY=VALUE" lines; the name "WINDOWS" (any case) resets
// collation, case and AM/PM to the system's. A missing file posts error 2
// and returns false.
bool load_environment_file(const std::string& name);

// The environment file beside the executable: its path up to the last "."
// followed by ".ENV".
std::string environment_file_for(const std::string& executable_path);

// A value normalised into a quoted list, and its items (exposed for tests
// and diagnosis).
std::string quote_environment_value(const std::string& key, const std::string& value);
std::vector<std::string> environment_items(const std::string& quoted);

}  // namespace vrt::core
