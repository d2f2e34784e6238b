// marlock: the records program.
//
//   marlock [--data DIR] [--script FILE]  runs in DIR (else the current
//                                         directory), where its data files
//                                         live; a script drives it headless
//   marlock --seed DIR [--customers N]    writes the eight data files with
//                                         sample data into DIR
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/frame/app_hooks.h"
#include "app/frame/frame_procedure.h"
#include "app/seed/seed_files.h"
#include "runtime/core/startup/read_settings.h"
#include "runtime/core/startup/startup.h"
#include "runtime/window/window_system_start.h"

namespace {

vrt::core::ModuleDescriptor g_program;

int usage() {
  std::fprintf(stderr,
               "usage: marlock [--data DIR] [--script FILE]\n"
               "       marlock --seed DIR [--customers N]\n");
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

int seed(const std::string& dir, const marlock::SeedSizes& sizes) {
  vrt::core::read_settings();
  std::string message;
  if (!marlock::seed_data_folder(dir, sizes, &message)) {
    std::fprintf(stderr, "marlock: %s\n", message.c_str());
    return 1;
  }
  std::printf("wrote the sample data into %s\n", dir.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string seed_dir, data_dir, script;
  bool customers_given = false;
  marlock::SeedSizes sizes;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool has_value = i + 1 < argc;
    if (a == "--seed" && has_value) {
      seed_dir = argv[++i];
    } else if (a == "--customers" && has_value) {
      if (!parse_count(argv[++i], &sizes.customers)) return usage();
      customers_given = true;
    } else if (a == "--data" && has_value) {
      data_dir = argv[++i];
    } else if (a == "--script" && has_value) {
      script = argv[++i];
    } else {
      return usage();
    }
  }
  if (!seed_dir.empty()) return data_dir.empty() ? seed(seed_dir, sizes) : usage();
  if (customers_given) return usage();
  // The script is named from where marlock was started, not from the data.
  if (!script.empty()) vrt::window::use_script(std::filesystem::absolute(script).string());
  if (!data_dir.empty() && chdir(data_dir.c_str()) != 0) {
    std::fprintf(stderr, "marlock: cannot work in %s: %s\n", data_dir.c_str(), std::strerror(errno));
    return 1;
  }
  marlock::frame::install_application_hooks();
  vrt::window::install_window_system();
  vrt::core::process_entry(g_program, marlock::frame::frame_procedure);
}
