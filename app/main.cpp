// marlock: the records program.
//
//   marlock --seed DIR [--customers N]   writes the eight data files with
//                                         sample data into DIR
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/seed/seed_files.h"
#include "runtime/core/startup/read_settings.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: marlock --seed DIR [--customers N]\n");
  return 2;
}

bool parse_count(const char* text, uint32_t* out) {
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (errno || end == text || *end || v == 0 || v > 10000000) return false;
  *out = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string seed;
  marlock::SeedSizes sizes;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool has_value = i + 1 < argc;
    if (a == "--seed" && has_value) {
      seed = argv[++i];
    } else if (a == "--customers" && has_value) {
      if (!parse_count(argv[++i], &sizes.customers)) return usage();
    } else {
      return usage();
    }
  }
  if (seed.empty()) return usage();
  vrt::core::read_settings();
  std::string message;
  if (!marlock::seed_data_folder(seed, sizes, &message)) {
    std::fprintf(stderr, "marlock: %s\n", message.c_str());
    return 1;
  }
  std::printf("wrote the sample data into %s\n", seed.c_str());
  return 0;
}
