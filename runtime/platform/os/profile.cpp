#include "runtime/platform/os/profile.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>

namespace vrt::platform {

namespace {

std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

// Calls `entry` with each key and value of the section, in file order, until
// it returns true. Reads the file afresh on every call: the profile is read
// rarely (once per process for most sections) and a user may edit it while
// the program runs.
template <typename Entry>
void scan_section(const std::string& section, const std::string& file, Entry entry) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  std::string line;
  bool in_section = false;
  while (std::getline(in, line)) {
    std::string t = trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      size_t close = t.find(']');
      std::string name = trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      in_section = strcasecmp(name.c_str(), section.c_str()) == 0;
      continue;
    }
    if (!in_section) continue;
    size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    if (entry(trim(t.substr(0, eq)), trim(t.substr(eq + 1)))) return;
  }
}

std::optional<std::string> lookup(const std::string& section, const std::string& key,
                                  const std::string& file = profile_path()) {
  std::optional<std::string> found;
  scan_section(section, file, [&](const std::string& k, const std::string& v) {
    if (strcasecmp(k.c_str(), key.c_str()) != 0) return false;
    found = v;
    return true;
  });
  return found;
}

}  // namespace

std::string profile_path() {
  if (const char* p = std::getenv("VORTHAL_WININI"); p && *p) return p;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/vorthal/win.ini";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.config/vorthal/win.ini";
}

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& default_value) {
  return lookup(section, key).value_or(default_value);
}

size_t GetProfileString(const char* section, const char* key, const char* default_value, char* buffer,
                        size_t size) {
  if (size == 0) return 0;
  std::string v = GetProfileString(std::string(section), std::string(key),
                                   std::string(default_value ? default_value : ""));
  size_t n = std::min(v.size(), size - 1);
  std::memcpy(buffer, v.data(), n);
  buffer[n] = 0;
  return n;
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& file) {
  return lookup(section, key, file).value_or(default_value);
}

std::vector<ProfileEntry> GetProfileSection(const std::string& section) {
  std::vector<ProfileEntry> entries;
  scan_section(section, profile_path(), [&](const std::string& k, const std::string& v) {
    for (const ProfileEntry& e : entries)
      if (strcasecmp(e.key.c_str(), k.c_str()) == 0) return false;  // the first one counts, as in a lookup
    entries.push_back({k, v});
    return false;
  });
  return entries;
}

int GetProfileInt(const char* section, const char* key, int default_value) {
  auto v = lookup(section, key);
  if (!v) return default_value;
  const char* s = v->c_str();
  char* end = nullptr;
  long n = std::strtol(s, &end, 10);
  if (end == s) return default_value;
  return static_cast<int>(n);
}

}  // namespace vrt::platform
