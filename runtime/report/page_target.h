// Where finished pages go: page image files (preview) or the printer
// (direct printing). Both draw in the printer's pixels from the top left of
// its printable area.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "runtime/platform/gfx/device_context.h"
#include "runtime/report/page_geometry.h"

namespace vrt::report {

class PageTarget {
 public:
  virtual ~PageTarget() = default;
  // The context the page is drawn into, or null when the page cannot be
  // (the document was refused).
  virtual platform::HDC start_page() = 0;
  virtual void finish_page(int page_number) = 0;
  // Ends the document; the target is unusable afterwards.
  virtual void close() = 0;
  // The window origin that puts the printable area's top left at 0, 0.
  virtual platform::POINT origin() const = 0;
  virtual const PageGeometry& geometry() const = 0;
  bool failed() const { return failed_; }
  const std::vector<std::string>& page_images() const { return pages_; }

 protected:
  bool failed_ = false;
  std::vector<std::string> pages_;
};

// Preview: every page becomes a page image file, named by the program's
// namer or in the temporary folder under "ZOR" names.
std::unique_ptr<PageTarget> make_preview_target(const PageGeometry& geometry);
// Direct printing on a printer context, which the target then owns; the
// document starts with the first page.
std::unique_ptr<PageTarget> make_printer_target(platform::HDC printer, std::string doc_name);

// The name for a new page image file (the namer's, or a fresh temporary
// file), "" when none can be made.
std::string new_page_image_name(int page_number);

}  // namespace vrt::report
