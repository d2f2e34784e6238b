#include "runtime/data/bdx/table_name.h"

#include <sys/stat.h>

#include <filesystem>

#include "runtime/core/base/settings.h"

namespace vrt::data {

namespace {

bool is_directory(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string with_extension(const std::string& file) {
  size_t slash = file.find_last_of("/\\");
  size_t dot = file.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return file + ".BDX";
  return file;
}

}  // namespace

TableAddress split_table_name(const std::string& name) {
  size_t from = 0;
  for (;;) {
    size_t mark = name.find("\\!", from);
    if (mark == std::string::npos) break;
    std::string file = name.substr(0, mark);
    if (!is_directory(file)) {
      std::string table = name.substr(mark + 2);
      for (char& c : table) c = static_cast<char>(core::to_upper(static_cast<uint8_t>(c)));
      return {with_extension(file), table};
    }
    from = mark + 2;
  }
  return {with_extension(name), "UNNAMED"};
}

std::string full_file_name(const std::string& file) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(file, ec);
  if (ec) return file;
  return p.lexically_normal().string();
}

}  // namespace vrt::data
