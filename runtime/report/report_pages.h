// The engine behind an open report: lays bands out on pages.
//
//   open (page 1 starts with the first band, so its header shows what the
//     program bound after opening; close starts it when no band came)
//     --print: band placed at the position; a band that does not fit is
//       split (at least 2 units left, split bits clear) or moved whole to
//       the next page; a full detail area finishes the page
//     --end_page: the page finishes; the next one starts with the next band
//     --close: the last started page finishes; the document ends
//
// A page finishes with its footer and becomes a page image (preview) or
// a printed page. Positions are thousandths of an inch of the sheet.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "runtime/report/page_target.h"
#include "runtime/report/report_bands.h"

namespace vrt::report {

class ReportEngine {
 public:
  ReportEngine(std::shared_ptr<const window::ResourceBuffer> buffer, uint32_t structure,
               std::unique_ptr<PageTarget> target);
  ~ReportEngine();

  bool bind(int32_t field, void* storage);
  void print(int32_t band);
  void end_page();
  void close();

  bool failed() const { return target_->failed(); }
  int page_number() const { return page_number_; }
  const std::vector<std::string>& page_images() const { return target_->page_images(); }

 private:
  void start_page();
  void finish_page();
  // Draws the band and plays the part [from, from + height) of it with its
  // top at y.
  void place(const Band& band, platform::HMETAFILE picture, int32_t y, int32_t from, int32_t height);
  void place_whole(const Band& band);

  std::shared_ptr<const window::ResourceBuffer> buffer_;
  ReportLayout layout_;
  std::unique_ptr<PageTarget> target_;
  platform::HDC page_ = nullptr;
  bool page_started_ = false;
  bool closed_ = false;
  int page_number_ = 1;
  int32_t position_ = 0;  // where the next detail band goes
};

}  // namespace vrt::report
