// Reading page images back in the report tests: their texts, their pixels
// as the player draws them, and fatal runtime errors caught instead of
// ending the test.
#pragma once
#include <cairo.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/core/base/runtime_box.h"
#include "runtime/platform/gfx/cairo_dc.h"
#include "runtime/platform/gfx/metafile.h"
#include "runtime/report/page_image_file.h"
#include "runtime/report/report_engine.h"

namespace vrt::report::test {

// The texts a page image draws, in record order, spaces taken out.
inline std::vector<std::string> texts_in(const std::string& file) {
  std::vector<std::string> texts;
  auto image = read_page_image(file);
  if (!image) return texts;
  platform::HDC dc = platform::CreateMetaFile();
  platform::EnumMetaFile(
      dc, image->metafile.get(),
      [](platform::HDC, platform::HANDLETABLE*, const platform::METARECORD* r, int, void* data) {
        if (r->rdFunction != platform::META_EXTTEXTOUT || r->rdSize < 7) return 1;
        const uint16_t* p = r->rdParm;
        size_t count = p[2], at = (p[3] & 6) ? 8 : 4, words = r->rdSize - 3;
        std::string text;
        for (size_t i = 0; i < count && at + i / 2 < words; ++i) {
          char c = static_cast<char>(i % 2 ? p[at + i / 2] >> 8 : p[at + i / 2] & 0xFF);
          if (c != ' ') text += c;
        }
        static_cast<std::vector<std::string>*>(data)->push_back(text);
        return 1;
      },
      &texts);
  platform::DeleteMetaFile(platform::CloseMetaFile(dc));
  return texts;
}

inline bool has_text(const std::string& file, const std::string& text) {
  for (const std::string& t : texts_in(file))
    if (t == text) return true;
  return false;
}

// A page image played into a white bitmap of this size.
class Rendered {
 public:
  Rendered(const std::string& file, int width, int height) : bitmap_(platform::CreateBitmap(width, height)) {
    platform::HDC dc = platform::CreateCompatibleDC(bitmap_);
    platform::FillRect(dc, platform::RECT{0, 0, width, height}, platform::GetStockObject(platform::WHITE_BRUSH));
    played_ = play_page_image(dc, file, platform::RECT{0, 0, width, height});
    platform::DeleteDC(dc);
    cairo_surface_flush(surface());
  }
  ~Rendered() { platform::DeleteObject(bitmap_); }
  bool played() const { return played_; }
  cairo_surface_t* surface() const { return static_cast<platform::Bitmap*>(bitmap_)->surface(); }
  // Red, green and blue of a pixel, 0xRRGGBB.
  uint32_t pixel(int x, int y) const {
    auto* data = cairo_image_surface_get_data(surface());
    int stride = cairo_image_surface_get_stride(surface());
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
  }
  bool dark(int x, int y) const {
    uint32_t p = pixel(x, y);
    return ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) < 3 * 96;
  }

 private:
  platform::HBITMAP bitmap_;
  bool played_ = false;
};

// Fatal runtime errors while it lives (the runtime is not active, so the
// box is shown and the test goes on): their texts.
class FatalCapture {
 public:
  FatalCapture() {
    previous_ = core::set_runtime_box_handler(&FatalCapture::handle);
    texts().clear();
  }
  ~FatalCapture() { core::set_runtime_box_handler(previous_); }
  static std::vector<std::string>& texts() {
    static std::vector<std::string> t;
    return t;
  }

 private:
  static core::BoxAnswer handle(const core::BoxRequest& r) {
    texts().push_back(r.text.substr(0, r.text.find('\n')));
    return r.default_answer;
  }
  core::RuntimeBoxHandler previous_;
};

}  // namespace vrt::report::test
