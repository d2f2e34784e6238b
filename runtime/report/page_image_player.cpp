// Playing page images: on screen (the preview) and onto printer pages, the
// whole sheet fitted to the target rectangle, record by record.
#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/os/system_error.h"
#include "runtime/report/page_image_file.h"
#include "runtime/report/report_engine.h"

namespace vrt::report {

using namespace vrt::platform;

int play_record_checked(HDC dc, HANDLETABLE* table, const METARECORD* record, int objects, void*) {
  if (record->rdSize > kLargestPlayableRecord) {
    core::fatal_runtime_error(523);
    return 0;
  }
  PlayMetaFileRecord(dc, table, record, objects);
  return 1;
}

bool play_page_image(HDC dc, const std::string& file, const RECT& target) {
  std::optional<PageImage> image = read_page_image(file);
  return image && play_page_image(dc, *image, target);
}

bool play_page_image(HDC dc, const PageImage& image, const RECT& target) {
  if (!dc || target.empty() || !image.metafile) return false;
  int saved = SaveDC(dc);
  IntersectClipRect(dc, target.left, target.top, target.right, target.bottom);
  // The sheet's logical extent (the bounds, until the metafile sets its
  // own window) onto the target.
  POINT corner = dc->lp_to_dp(POINT{target.left, target.top});
  RECT device = dc->lp_to_dp(target);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowOrgEx(dc, image.bounds.left, image.bounds.top);
  SetWindowExtEx(dc, image.bounds.width(), image.bounds.height());
  SetViewportOrgEx(dc, corner.x, corner.y);
  SetViewportExtEx(dc, device.width(), device.height());
  bool complete = EnumMetaFile(dc, image.metafile.get(), play_record_checked, nullptr);
  RestoreDC(dc, saved);
  return complete;
}

bool print_page_images(const std::vector<std::string>& pages, const std::string& doc_name,
                       const std::string& output) {
  HDC printer = CreatePrinterDC(current_printer(), current_device_mode());
  if (!printer) return false;
  const bool started = StartDoc(printer, DOCINFO{doc_name, output}) > 0;
  bool ok = started;
  int offset_x = GetDeviceCaps(printer, PHYSICALOFFSETX), offset_y = GetDeviceCaps(printer, PHYSICALOFFSETY);
  RECT sheet{-offset_x, -offset_y, GetDeviceCaps(printer, HORZRES) + offset_x,
             GetDeviceCaps(printer, VERTRES) + offset_y};
  for (size_t i = 0; ok && i < pages.size(); ++i) {
    ok = StartPage(printer) > 0;
    // A damaged page stops the document: nothing half-printed is delivered.
    if (ok && !play_page_image(printer, pages[i], sheet)) {
      SetLastError(kErrorInvalidData);
      ok = false;
    }
    if (ok) ok = EndPage(printer) > 0;
  }
  // A document that never started keeps StartDoc's reason as the error.
  if (ok) ok = EndDoc(printer) > 0;
  else if (started) AbortDoc(printer);
  DeletePrinterDC(printer);
  return ok;
}

}  // namespace vrt::report
