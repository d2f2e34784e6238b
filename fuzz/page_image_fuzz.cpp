// Page image files from anywhere: refused, or read and played into an image
// without reading outside the file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/report/page_image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vrt::platform;
  static HBITMAP bitmap = CreateBitmap(64, 64);
  auto image = vrt::report::parse_page_image(std::vector<uint8_t>(data, data + size));
  if (!image) return 0;
  HDC dc = CreateCompatibleDC(bitmap);
  vrt::report::play_page_image(dc, *image, RECT{0, 0, 64, 64});
  DeleteDC(dc);
  return 0;
}
