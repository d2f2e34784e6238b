#include "runtime/platform/display/command_line.h"

#include <fstream>
#include <iterator>

namespace vrt::platform {

std::vector<std::string> command_line_arguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> out;
  for (size_t start = 0; start < all.size();) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    out.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  if (!out.empty()) out.erase(out.begin());
  return out;
}

}  // namespace vrt::platform
