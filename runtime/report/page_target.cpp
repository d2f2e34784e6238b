#include "runtime/report/page_target.h"

#include <atomic>

#include "runtime/platform/gfx/metafile.h"
#include "runtime/platform/os/file.h"
#include "runtime/platform/print/printer.h"
#include "runtime/report/page_image_file.h"
#include "runtime/report/report_engine.h"

namespace vrt::report {

using namespace vrt::platform;

namespace {

std::atomic<PageImageNamer> g_namer{nullptr};

class PreviewTarget : public PageTarget {
 public:
  explicit PreviewTarget(const PageGeometry& g) : geometry_(g) {}
  ~PreviewTarget() override { drop_page(); }

  HDC start_page() override {
    drop_page();
    page_ = CreateMetaFile({}, geometry_.dpi_y);
    // The metafile addresses the whole sheet in printer pixels.
    SetWindowOrgEx(page_, -geometry_.offset_x, -geometry_.offset_y);
    SetWindowExtEx(page_, geometry_.sheet_w(), geometry_.sheet_h());
    return page_;
  }

  void finish_page(int page_number) override {
    if (!page_) return;
    HMETAFILE mf = CloseMetaFile(page_);
    page_ = nullptr;
    std::string name = new_page_image_name(page_number);
    if (!name.empty() && write_page_image(name, mf, geometry_.placeable_bounds(), geometry_.units_per_inch())) {
      pages_.push_back(name);
    } else {
      if (!name.empty()) delete_file(name);
      failed_ = true;
    }
    DeleteMetaFile(mf);
  }

  void close() override { drop_page(); }
  POINT origin() const override { return {-geometry_.offset_x, -geometry_.offset_y}; }
  const PageGeometry& geometry() const override { return geometry_; }

 private:
  void drop_page() {
    if (page_) DeleteMetaFile(CloseMetaFile(page_));
    page_ = nullptr;
  }
  PageGeometry geometry_;
  HDC page_ = nullptr;
};

class PrinterTarget : public PageTarget {
 public:
  PrinterTarget(HDC printer, std::string doc_name)
      : printer_(printer), doc_name_(std::move(doc_name)), geometry_(PageGeometry::of_printer(printer)) {}
  ~PrinterTarget() override { close(); }

  HDC start_page() override {
    if (failed_ || !printer_) return nullptr;
    if (!started_) {
      if (StartDoc(printer_, DOCINFO{doc_name_, {}}) <= 0) {
        failed_ = true;
        return nullptr;
      }
      started_ = true;
    }
    if (StartPage(printer_) <= 0) {
      failed_ = true;
      return nullptr;
    }
    in_page_ = true;
    return printer_;
  }

  void finish_page(int) override {
    if (!in_page_) return;
    in_page_ = false;
    if (EndPage(printer_) <= 0) failed_ = true;
  }

  void close() override {
    if (!printer_) return;
    if (started_) {
      if (failed_) AbortDoc(printer_);
      else if (EndDoc(printer_) <= 0) failed_ = true;
    }
    DeletePrinterDC(printer_);
    printer_ = nullptr;
  }

  POINT origin() const override { return {0, 0}; }
  const PageGeometry& geometry() const override { return geometry_; }

 private:
  HDC printer_;
  std::string doc_name_;
  PageGeometry geometry_;
  bool started_ = false, in_page_ = false;
};

}  // namespace

void set_page_image_namer(PageImageNamer namer) { g_namer.store(namer); }

std::string new_page_image_name(int page_number) {
  if (PageImageNamer namer = g_namer.load()) return namer(page_number);
  return make_temp_file("ZOR");
}

std::unique_ptr<PageTarget> make_preview_target(const PageGeometry& geometry) {
  return std::make_unique<PreviewTarget>(geometry);
}

std::unique_ptr<PageTarget> make_printer_target(HDC printer, std::string doc_name) {
  return std::make_unique<PrinterTarget>(printer, std::move(doc_name));
}

}  // namespace vrt::report
