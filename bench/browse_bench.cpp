// Browse Customer on a big file, headless: opening to the first painted
// page, PageDown and PageUp, the thumb dragged to points across the file, a
// locator keystroke and a change of sort order, each timed around the same
// calls the browse procedure makes, with the list painted after each; and
// the resident memory the browse adds to the process.
//
//   browse_bench [DIR] [--customers N]   (default: 1,000,000 customers in
//   /tmp/marlock-browse-bench, seeded on the first run)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/access/access_mode.h"
#include "app/browse/browse_instances.h"
#include "app/browse/browse_list.h"
#include "app/integrity/file_use.h"
#include "app/seed/seed_files.h"
#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/window_open.h"

using Clock = std::chrono::steady_clock;
using namespace vrt::window;

namespace {

long resident_kb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  return 0;
}

double ms_of(const std::function<void()>& f) {
  auto t = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

struct Figures {
  double average = 0, worst = 0;
  int n = 0;
  void add(double ms) {
    average = (average * n + ms) / (n + 1);
    worst = std::max(worst, ms);
    ++n;
  }
};

void print(const char* what, const Figures& f, double goal) {
  std::printf("%-36s %8.3f ms average %8.3f ms worst  (goal under %g ms)\n", what, f.average, f.worst, goal);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = "/tmp/marlock-browse-bench";
  uint32_t customers = 1000000;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--customers") && i + 1 < argc) customers = static_cast<uint32_t>(std::stoul(argv[++i]));
    else dir = argv[i];
  }
  if (!std::filesystem::exists(dir + "/CUSTOMER.BDX")) {
    std::printf("seeding %u customers in %s ...\n", customers, dir.c_str());
    marlock::SeedSizes sizes;
    sizes.customers = customers;
    std::string message;
    if (!marlock::seed_data_folder(dir, sizes, &message)) {
      std::fprintf(stderr, "browse_bench: %s\n", message.c_str());
      return 1;
    }
  }
  if (chdir(dir.c_str()) != 0) return 1;
  vrt::platform::start_display(vrt::platform::DisplayKind::Headless);
  take_runtime_lock();
  marlock::set_access_mode(marlock::kClerk);
  long idle_kb = resident_kb();

  const marlock::BrowseSpec& spec = *marlock::browse_spec("Browse Customer");
  Figures open_page;
  WindowObject w("marlock$marlo002", "P1$QUICKWINDOW", WindowKind::Ordinary);
  std::unique_ptr<marlock::FileUse> file;
  std::unique_ptr<marlock::BrowseList> list;
  vrt::platform::HWND hwnd = nullptr;
  auto paint = [&] { vrt::platform::UpdateWindow(hwnd); };
  open_page.add(ms_of([&] {
    file = std::make_unique<marlock::FileUse>(spec.file);
    Open(w);
    hwnd = w.control(marlock::kBrowseList)->hwnd();
    list = std::make_unique<marlock::BrowseList>(w, spec, *file->get(), marlock::kBrowseList);
    list->select_order(1);
    paint();
  }));
  print("open Browse Customer to its first page", open_page, 150);

  Figures down, up;
  for (int i = 0; i < 300; ++i) down.add(ms_of([&] { list->page(true); paint(); }));
  for (int i = 0; i < 300; ++i) up.add(ms_of([&] { list->page(false); paint(); }));
  print("PageDown (warm)", down, 1);
  print("PageUp (warm)", up, 1);

  Figures thumb;
  for (int t : {1, 7, 13, 25, 33, 50, 61, 75, 88, 97, 99, 42, 5, 64, 21})
    thumb.add(ms_of([&] { list->to_thumb(t); paint(); }));
  print("thumb dragged to a point", thumb, 5);

  Figures locate;
  for (char c = 'a'; c <= 'z'; ++c) locate.add(ms_of([&] { list->locate(c); paint(); }));
  print("locator keystroke", locate, 5);

  Figures order;
  for (int o : {2, 3, 4, 5, 1, 5, 4, 3, 2, 1}) order.add(ms_of([&] { list->select_order(o); paint(); }));
  print("change of sort order", order, 20);

  std::printf("%-36s %8.1f MB above the idle process (goal under 60 MB)\n", "resident memory of the browse",
              (resident_kb() - idle_kb) / 1024.0);
  list.reset();
  Close(w);
  file.reset();
  release_runtime_lock_fully();
  return 0;
}
