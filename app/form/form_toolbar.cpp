#include "app/form/form_toolbar.h"

#include <algorithm>

#include "app/frame/frame_commands.h"
#include "runtime/window/frame_toolbar.h"

namespace marlock {

namespace {

using namespace frame;

struct Offer {
  int32_t field;
  const char* tip;
  bool navigates;  // saves and hands the button to the browse
};

const Offer kChangeOffers[] = {
    {kLastPage, "Save changes and go to last record", true},
    {kFirstPage, "Save changes and go to first record", true},
    {kNextPage, "Save changes and page down to record", true},
    {kPriorPage, "Save changes and page up to record", true},
    {kNextRecord, "Save changes and go to next record", true},
    {kPriorRecord, "Save changes and go to previous record", true},
    {kInsert, "Save this record and add a new one", true},
    {kPreviousValue, "Previous value", false},
    {kHelp, "Get Help", false},
};

const Offer kInsertOffers[] = {
    {kNextRecord, "Save record and add another", true},
    {kInsert, "Save this record and add a new one", true},
    {kPreviousValue, "Previous value", false},
    {kHelp, "Get Help", false},
};

}  // namespace

FormToolbar::FormToolbar(bool changing) {
  for (int32_t f = kFirstToolbarButton; f <= kLastToolbarButton; ++f) {
    before_.push_back({f, vrt::window::FrameButtonEnabled(f), vrt::window::FrameButtonTip(f)});
    vrt::window::EnableFrameButton(f, false);
  }
  auto offer = [&](const auto& offers) {
    for (const Offer& o : offers) {
      vrt::window::SetFrameButtonTip(o.field, o.tip);
      vrt::window::EnableFrameButton(o.field, true);
      if (o.navigates) navigation_.push_back(o.field);
    }
  };
  if (changing) offer(kChangeOffers);
  else offer(kInsertOffers);
}

FormToolbar::~FormToolbar() {
  for (const Before& b : before_) {
    vrt::window::SetFrameButtonTip(b.field, b.tip);
    vrt::window::EnableFrameButton(b.field, b.enabled);
  }
}

bool FormToolbar::saves_with(int32_t field) const { return std::ranges::find(navigation_, field) != navigation_.end(); }

}  // namespace marlock
