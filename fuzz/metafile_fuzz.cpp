// Metafile bits from anywhere: accepted or refused, and whatever is accepted
// plays into an image without reading outside the records.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/gfx/metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vrt::platform;
  static HBITMAP bitmap = CreateBitmap(64, 64);
  std::vector<uint8_t> bits(data, data + size);
  HMETAFILE mf = SetMetaFileBits(bits);
  if (!mf) return 0;
  HDC dc = CreateCompatibleDC(bitmap);
  PlayMetaFile(dc, mf);
  DeleteDC(dc);
  DeleteMetaFile(mf);
  return 0;
}
