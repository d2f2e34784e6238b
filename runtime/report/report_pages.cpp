#include "runtime/report/report_pages.h"

#include "runtime/report/page_image_file.h"

namespace vrt::report {

using namespace vrt::platform;

namespace {

// The smallest part of the detail area worth starting a band in.
constexpr int32_t kSmallestSplit = 2;

}  // namespace

ReportEngine::ReportEngine(std::shared_ptr<const window::ResourceBuffer> buffer, uint32_t structure,
                           std::unique_ptr<PageTarget> target)
    : buffer_(std::move(buffer)), layout_(read_layout(*buffer_, structure)), target_(std::move(target)) {}

ReportEngine::~ReportEngine() { close(); }

bool ReportEngine::bind(int32_t field, void* storage) {
  BandControl* c = storage ? layout_.control(field) : nullptr;
  if (!c) return false;
  window::VariableDescriptor d = buffer_->descriptor(buffer_->field(c->record, "var"));
  if (d.type == 0) return false;
  c->variable = core::make_value(static_cast<core::TypeCode>(d.type), static_cast<uint8_t*>(storage), d.size,
                                 static_cast<uint8_t>(d.places));
  return c->variable != nullptr;
}

void ReportEngine::start_page() {
  page_ = target_->start_page();
  page_started_ = true;
  position_ = layout_.y;
  if (layout_.header) place_whole(*layout_.header);
}

void ReportEngine::finish_page() {
  if (layout_.footer) place_whole(*layout_.footer);
  target_->finish_page(page_number_);
  page_ = nullptr;
  page_started_ = false;
  ++page_number_;
}

void ReportEngine::place_whole(const Band& band) {
  HMETAFILE picture = draw_band(*buffer_, band, layout_.font, target_->geometry(), page_number_);
  place(band, picture, band.y, 0, band.height);
  DeleteMetaFile(picture);
}

void ReportEngine::place(const Band& band, HMETAFILE picture, int32_t y, int32_t from, int32_t height) {
  if (!page_ || height <= 0) return;
  const PageGeometry& g = target_->geometry();
  POINT base = target_->origin();
  int top = g.height(from);
  SaveDC(page_);
  // Band pixel (0, top) lands at the band's place on the page.
  SetWindowOrgEx(page_, base.x - g.x(band.x), base.y - (g.y(y) - top));
  IntersectClipRect(page_, 0, top, g.width(band.width), g.height(from + height));
  EnumMetaFile(page_, picture, play_record_checked, nullptr);
  RestoreDC(page_, -1);
}

void ReportEngine::print(int32_t field) {
  const Band* band = layout_.detail(field);
  if (!band || closed_) return;
  HMETAFILE picture = draw_band(*buffer_, *band, layout_.font, target_->geometry(), page_number_);
  const int32_t bottom = layout_.y + layout_.height;
  int32_t from = 0, left = band->height;
  while (true) {
    if (!page_started_) start_page();
    int32_t room = bottom - position_;
    if (left <= room) {
      place(*band, picture, position_, from, left);
      position_ += left;
      if (position_ >= bottom) finish_page();
      break;
    }
    bool page_empty = position_ == layout_.y;
    // A band kept together still splits when no page could hold it.
    if (room >= kSmallestSplit && (band->may_split() || page_empty)) {
      place(*band, picture, position_, from, room);
      from += room;
      left -= room;
    } else if (page_empty) {
      // No room to speak of on an empty page: the band goes where it is.
      place(*band, picture, position_, from, left);
      position_ += left;
      finish_page();
      break;
    }
    finish_page();
  }
  DeleteMetaFile(picture);
}

void ReportEngine::end_page() {
  if (page_started_ && !closed_) finish_page();
}

void ReportEngine::close() {
  if (closed_) return;
  // Page 1 is started by the first band, so that its header shows what the
  // program bound after opening; a report without bands still has it.
  if (!page_started_ && page_number_ == 1) start_page();
  if (page_started_) finish_page();
  target_->close();
  closed_ = true;
}

}  // namespace vrt::report
