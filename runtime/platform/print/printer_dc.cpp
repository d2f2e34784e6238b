// Printer device contexts: cairo draws each page into a PDF document, in
// printer pixels; the finished document becomes a file or a CUPS job.
#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <memory>

#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/os/system_error.h"
#include "runtime/platform/print/cups_queue.h"
#include "runtime/platform/print/pdf_output.h"
#include "runtime/platform/print/print_error.h"
#include "runtime/platform/print/printer.h"

namespace vrt::platform {

namespace {

// Limits a DEVMODE must keep: a sheet PDF can hold (200 inches) and a
// resolution no printer exceeds.
constexpr int kMaxPaper = 50800;  // tenths of a millimetre
constexpr int kMaxDpi = 9600;

int pixels(int tenths_mm, int dpi) { return static_cast<int>(std::lround(tenths_mm * dpi / 254.0)); }
double points(int tenths_mm) { return tenths_mm * 72.0 / 254.0; }

bool valid_mode(const DEVMODE& m) {
  auto in = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
  return in(m.paper_width, 1, kMaxPaper) && in(m.paper_length, 1, kMaxPaper) && in(m.dpi_x, 1, kMaxDpi) &&
         in(m.dpi_y, 1, kMaxDpi) && in(m.copies, 1, 9999) && m.margin_left >= 0 && m.margin_top >= 0 &&
         m.margin_right >= 0 && m.margin_bottom >= 0 && m.margin_left + m.margin_right < m.paper_width &&
         m.margin_top + m.margin_bottom < m.paper_length;
}

// Drawing outside a document goes nowhere.
cairo_surface_t* idle_surface() { return cairo_image_surface_create(CAIRO_FORMAT_A1, 1, 1); }

class PrinterDC final : public CairoDC {
 public:
  PrinterDC(const DEVNAMES& printer, const DEVMODE& mode, cairo_surface_t* idle)
      : CairoDC(idle, POINT{pixels(mode.margin_left, mode.dpi_x), pixels(mode.margin_top, mode.dpi_y)}, {},
                mode.dpi_y),
        printer_(printer), mode_(mode) {}
  ~PrinterDC() override {
    if (doc_) abort_doc();
  }

  int GetDeviceCaps(int cap) const override {
    switch (cap) {
      // The sheet less its margins, each rounded as the offsets are, so
      // that the parts add up to the sheet.
      case HORZRES:
        return pixels(mode_.paper_width, mode_.dpi_x) - pixels(mode_.margin_left, mode_.dpi_x) -
               pixels(mode_.margin_right, mode_.dpi_x);
      case VERTRES:
        return pixels(mode_.paper_length, mode_.dpi_y) - pixels(mode_.margin_top, mode_.dpi_y) -
               pixels(mode_.margin_bottom, mode_.dpi_y);
      case PHYSICALWIDTH: return pixels(mode_.paper_width, mode_.dpi_x);
      case PHYSICALHEIGHT: return pixels(mode_.paper_length, mode_.dpi_y);
      case PHYSICALOFFSETX: return pixels(mode_.margin_left, mode_.dpi_x);
      case PHYSICALOFFSETY: return pixels(mode_.margin_top, mode_.dpi_y);
      case LOGPIXELSX: return mode_.dpi_x;
      case LOGPIXELSY: return mode_.dpi_y;
      default: return CairoDC::GetDeviceCaps(cap);
    }
  }

  int start_doc(const DOCINFO& info) {
    if (doc_) return fail_printer(kErrorInvalidFunction, "A document is already being printed");
    // Print to file: the output named in the document goes before the port.
    to_queue_ = info.output.empty() && printer_.driver == "CUPS";
    std::string target = info.output.empty() ? printer_.port : info.output;
    if (to_queue_) target.clear();  // the queue's copy lives in the temporary folder
    else if (target == "FILE:")
      return fail_printer(kErrorInvalidParameter, "The printer \"" + printer_.device + "\" prints to a file; none was named");
    title_ = info.doc_name;
    doc_ = PdfOutput::create(target, points(mode_.paper_width), points(mode_.paper_length), info.doc_name);
    if (!doc_) return 0;
    set_surface(doc_->surface());
    // One device unit is one printer pixel.
    cairo_scale(cairo(), 72.0 / mode_.dpi_x, 72.0 / mode_.dpi_y);
    page_open_ = false;
    return 1;
  }

  int start_page() {
    if (!doc_) return fail_printer(kErrorInvalidFunction, "No document was started");
    page_open_ = true;
    return 1;
  }

  int end_page() {
    if (!doc_ || !page_open_) return fail_printer(kErrorInvalidFunction, "No page was started");
    cairo_show_page(cairo());
    page_open_ = false;
    return doc_->healthy() ? 1 : 0;
  }

  int end_doc() {
    if (!doc_) return fail_printer(kErrorInvalidFunction, "No document was started");
    if (page_open_) cairo_show_page(cairo());
    std::unique_ptr<PdfOutput> doc = close_doc();
    if (!doc->finish()) return 0;
    if (!to_queue_) return doc->commit() ? 1 : 0;
    std::string why;
    if (!cups_print_file(printer_.port, doc->temp_path(), title_, mode_, &why))
      return fail_printer(kErrorGeneralFailure, "The queue \"" + printer_.port + "\" refused the job: " + why);
    return 1;
  }

  int abort_doc() {
    if (!doc_) return fail_printer(kErrorInvalidFunction, "No document was started");
    close_doc();  // the temporary file goes with it
    return 1;
  }

 private:
  // Back to the idle surface; the document is the caller's to finish or drop.
  std::unique_ptr<PdfOutput> close_doc() {
    cairo_surface_t* idle = idle_surface();
    set_surface(idle);
    cairo_surface_destroy(idle);
    page_open_ = false;
    return std::move(doc_);
  }

  DEVNAMES printer_;
  DEVMODE mode_;
  std::unique_ptr<PdfOutput> doc_;
  std::string title_;
  bool to_queue_ = false, page_open_ = false;
};

PrinterDC* printer_dc(HDC dc) {
  auto* p = dynamic_cast<PrinterDC*>(dc);
  if (!p) fail_printer(kErrorInvalidHandle, "Not a printer device context");
  return p;
}

}  // namespace

HDC CreatePrinterDC(const DEVNAMES& printer, const DEVMODE& mode) {
  if (printer.driver != "PDF" && printer.driver != "CUPS") {
    fail_printer(kErrorInvalidParameter, "Unknown printer driver \"" + printer.driver + "\"");
    return nullptr;
  }
  if (!valid_mode(mode)) {
    fail_printer(kErrorInvalidParameter, "The printer settings of \"" + printer.device + "\" are out of range");
    return nullptr;
  }
  cairo_surface_t* idle = idle_surface();
  auto* dc = new PrinterDC(printer, mode, idle);
  cairo_surface_destroy(idle);
  return dc;
}

int StartDoc(HDC dc, const DOCINFO& info) {
  PrinterDC* p = printer_dc(dc);
  return p ? p->start_doc(info) : 0;
}
int StartPage(HDC dc) {
  PrinterDC* p = printer_dc(dc);
  return p ? p->start_page() : 0;
}
int EndPage(HDC dc) {
  PrinterDC* p = printer_dc(dc);
  return p ? p->end_page() : 0;
}
int EndDoc(HDC dc) {
  PrinterDC* p = printer_dc(dc);
  return p ? p->end_doc() : 0;
}
int AbortDoc(HDC dc) {
  PrinterDC* p = printer_dc(dc);
  return p ? p->abort_doc() : 0;
}
void DeletePrinterDC(HDC dc) { delete printer_dc(dc); }

}  // namespace vrt::platform
