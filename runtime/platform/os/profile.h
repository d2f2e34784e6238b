// The profile: an INI file that plays the part of WIN.INI. Sections and keys
// match without regard to case; a missing file, section or key gives the
// caller's default.
#pragma once
#include <string>
#include <vector>

namespace vrt::platform {

// $VORTHAL_WININI, else $XDG_CONFIG_HOME/vorthal/win.ini, else
// ~/.config/vorthal/win.ini.
std::string profile_path();

// Copies the value (or the default) into buffer, at most size - 1
// characters and a terminating zero; returns the characters copied.
size_t GetProfileString(const char* section, const char* key, const char* default_value,
                        char* buffer, size_t size);
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& default_value);

// Every key of a section with its value, in file order; a key written twice
// counts once, with its first value (the one a lookup finds).
struct ProfileEntry {
  std::string key, value;
};
std::vector<ProfileEntry> GetProfileSection(const std::string& section);

// The value's leading decimal integer (with an optional sign), or the
// default when the key is missing or does not start with a number.
int GetProfileInt(const char* section, const char* key, int default_value);

// The same over any INI file of the caller's.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& file);

}  // namespace vrt::platform
