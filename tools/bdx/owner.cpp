#include "tools/bdx/owner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vrt::bdx_tool {

namespace {
std::string& owner_text() {
  static std::string owner;
  return owner;
}
}  // namespace

bool take_owner(std::vector<char*>* args) {
  if (const char* env = std::getenv("BDX_OWNER")) owner_text() = env;
  for (size_t i = 1; i < args->size(); ++i) {
    if (std::strcmp((*args)[i], "--owner-file") != 0) continue;
    if (i + 1 >= args->size()) {
      std::fprintf(stderr, "bdx: --owner-file needs a file\n");
      return false;
    }
    const char* path = (*args)[i + 1];
    std::FILE* in = std::fopen(path, "rb");
    std::string text;
    char buf[4096];
    size_t n;
    while (in && (n = std::fread(buf, 1, sizeof buf, in)) > 0) text.append(buf, n);
    if (!in || std::ferror(in)) {
      if (in) std::fclose(in);
      std::fprintf(stderr, "bdx: cannot read %s\n", path);
      return false;
    }
    std::fclose(in);
    // The first line, without its line end.
    text.erase(std::min(text.find('\n'), text.size()));
    if (!text.empty() && text.back() == '\r') text.pop_back();
    owner_text() = text;
    args->erase(args->begin() + static_cast<long>(i), args->begin() + static_cast<long>(i) + 2);
    --i;
  }
  return true;
}

const std::string& file_owner() { return owner_text(); }

}  // namespace vrt::bdx_tool
