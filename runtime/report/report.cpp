#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/os/file.h"
#include "runtime/report/report_engine.h"
#include "runtime/report/report_pages.h"

namespace vrt::report {

using namespace vrt::platform;

Report::Report(std::string module, std::string label) : object_(std::move(module), std::move(label)) {}

Report::~Report() {
  if (is_open()) close();
}

void Report::open(bool preview) {
  // A second open must not replace the open report's pages.
  if (object_.is_open()) return core::fatal_runtime_error(525);
  window::Open(object_);
  if (!object_.is_open()) return;
  const DEVNAMES printer = current_printer();
  const DEVMODE mode = current_device_mode();
  HDC dc = CreatePrinterDC(printer, mode);
  std::unique_ptr<PageTarget> target;
  if (preview) {
    // The preview only needs the printer's page; its settings give it when
    // the printer cannot be opened now.
    target = make_preview_target(dc ? PageGeometry::of_printer(dc) : PageGeometry::of_settings(mode));
    if (dc) DeletePrinterDC(dc);
  } else {
    if (!dc) {
      window::Close(object_);
      core::fatal_runtime_error(524);
      return;
    }
    target = make_printer_target(dc, object_.label());
  }
  engine_ = std::make_unique<ReportEngine>(object_.buffer, object_.structure, std::move(target));
}

bool Report::bind(int32_t field, void* storage) { return is_open() && engine_->bind(field, storage); }

void Report::print(int32_t band) {
  if (!is_open()) return core::fatal_runtime_error(538);
  engine_->print(band);
}

void Report::end_page() {
  if (!is_open()) return core::fatal_runtime_error(539);
  engine_->end_page();
}

void Report::close() {
  if (!is_open()) return;
  engine_->close();
  window::Close(object_);
}

bool Report::is_open() const { return object_.is_open() && engine_ != nullptr; }

bool Report::failed() const { return engine_ && engine_->failed(); }

const std::vector<std::string>& Report::page_images() const {
  static const std::vector<std::string> none;
  return engine_ ? engine_->page_images() : none;
}

void free_page_images(std::vector<std::string>& pages) {
  for (const std::string& page : pages) delete_file(page);
  pages.clear();
}

}  // namespace vrt::report
