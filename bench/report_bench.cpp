// The report engine at volume: a customer list of 10,000 records (15 and a
// part to a page) to page images and to a PDF file, in pages per second with the
// process's peak memory after 1,000 and after 10,000 records (pages live in
// their files, so the peak must not grow with the page count); then the
// preview's page flip: a page not shown before, played from its file and
// drawn, alone, as four thumbnails and zoomed.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "runtime/platform/display/display.h"
#include "runtime/platform/gui/paint_api.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/preview_pages.h"
#include "runtime/report/report_engine.h"
#include "runtime/window/loop/runtime_lock.h"
#include "runtime/window/loop/window_open.h"

using namespace vrt::platform;
using namespace vrt::report;
using Clock = std::chrono::steady_clock;

namespace {

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

long peak_kib() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

struct Row {
  int32_t number = 0;
  char name[30], suburb[20], phone[20];
  void fill(int n) {
    number = n;
    auto put = [](char* field, size_t size, const std::string& text) {
      std::memset(field, ' ', size);
      std::memcpy(field, text.data(), std::min(size, text.size()));
    };
    put(name, sizeof name, "Customer " + std::to_string(n));
    put(suburb, sizeof suburb, n % 2 ? "Northcote" : "Brunswick");
    put(phone, sizeof phone, "03 9" + std::to_string(1000000 + n % 9000000));
  }
};

// Prints `records` rows; the page images of a preview, none when printing.
// A printed run has the pages its preview had.
std::vector<std::string> run(int records, bool preview, const char* what) {
  static std::map<int, int> pages_of;
  Report report("vrtbench$report01", "P1$REPORT");
  Row row;
  auto start = Clock::now();
  report.open(preview);
  report.bind(1, &row.number);
  report.bind(2, row.name);
  report.bind(3, row.suburb);
  report.bind(4, row.phone);
  for (int i = 1; i <= records; ++i) {
    row.fill(i);
    report.print();
  }
  report.close();
  double s = seconds_since(start);
  if (preview) pages_of[records] = static_cast<int>(report.page_images().size());
  int pages = pages_of[records];
  std::printf("%-34s %6d records, %4d pages: %7.3f s, %7.0f pages/s, peak memory %ld KiB%s\n", what, records, pages,
              s, pages / s, peak_kib(), report.failed() ? " (FAILED)" : "");
  return report.page_images();
}

void flips(const std::vector<std::string>& images, int across, int down, Zoom zoom = Zoom::None) {
  vrt::window::WindowObject host("vrtbench$report01", "P2$HOST", vrt::window::WindowKind::Ordinary);
  vrt::window::Open(host);
  PreviewPages pages(host.hwnd, images);
  pages.place(GetClientRect(host.hwnd));
  PreviewState state(static_cast<int>(images.size()));
  state.set_grid(across, down);
  state.set_zoom(zoom);
  pages.show(state);
  UpdateWindow(pages.hwnd());
  double total = 0, worst = 0;
  int n = 0;
  for (; n < 40 && state.can_go_next(); ++n) {
    auto t = Clock::now();
    state.next();
    pages.show(state);
    UpdateWindow(pages.hwnd());
    double ms = seconds_since(t) * 1000;
    total += ms;
    worst = std::max(worst, ms);
  }
  RECT shown = pages.cells().empty() ? RECT{} : pages.cells()[0].rect;
  std::printf("preview page flip, %s, pages of %dx%d pixels not shown before: %.2f ms average, %.2f ms worst (%d flips)\n",
              state.title().c_str(), shown.width(), shown.height(), total / n, worst, n);
  vrt::window::Close(host);
}

}  // namespace

int main() {
  start_display(DisplayKind::Headless);
  vrt::window::take_runtime_lock();
  std::string dir = std::filesystem::temp_directory_path() / ("report_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/win.ini") << "[Devices]\nBenchPDF=PDF," << dir << "/out.pdf\n";
  setenv("VORTHAL_WININI", (dir + "/win.ini").c_str(), 1);
  if (!vrt::report::select_printer("BenchPDF")) std::printf("the PDF printer could not be selected\n");

  std::vector<std::string> small = run(1000, true, "to page images");
  free_page_images(small);
  std::vector<std::string> images = run(10000, true, "to page images");
  run(1000, false, "to PDF");
  run(10000, false, "to PDF");
  std::printf("PDF of 10,000 records: %.1f MiB\n", std::filesystem::file_size(dir + "/out.pdf") / 1048576.0);
  flips(images, 1, 1);
  flips(images, 2, 2);
  flips(images, 1, 1, Zoom::PageWidth);
  flips(images, 1, 1, Zoom::Percent100);
  free_page_images(images);
  std::filesystem::remove_all(dir);
  vrt::window::release_runtime_lock_fully();
  return 0;
}
