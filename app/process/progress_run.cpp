#include "app/process/progress_run.h"

#include <algorithm>
#include <cstring>

#include "app/access/access_mode.h"
#include "app/integrity/saved_error.h"
#include "app/integrity/warnings.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/window_open.h"

namespace marlock {

namespace {

namespace d = vrt::data;
using namespace vrt::window;

constexpr int kRecordsPerCycle = 25;
constexpr int32_t kBar = 1, kPercentText = 2, kSecondText = 3, kCancel = 4;

// The window's STRING(30) texts, blank-padded.
void put_text(char (&into)[30], const std::string& text) {
  std::memset(into, ' ', sizeof into);
  std::memcpy(into, text.data(), std::min(text.size(), sizeof into));
}

}  // namespace

std::string percent_text(int percent) {
  std::string n = vrt::core::Format(std::to_string(percent), "@N3");
  n.erase(0, n.find_first_not_of(' '));
  return n + "% Completed";
}

ProgressRun::ProgressRun(d::FileBlock& file, const std::string& module, int key)
    : file_(file),
      window_(module, "P1$PROGRESSWINDOW", WindowKind::Ordinary),
      view_(d::view_node(file), d::view_field_resolver(file)),
      key_(key),
      total_(d::Records(file)) {
  put_text(percent_, "");
  put_text(second_, "");
  Open(window_);
  Bind(window_, kBar, &bar_);
  Bind(window_, kPercentText, percent_);
  Bind(window_, kSecondText, second_);
  show_percent(0);
  d::Send(file_, "QUICKSCAN=on");
}

ProgressRun::~ProgressRun() {
  view_.close();
  d::Send(file_, "QUICKSCAN=off");
}

void ProgressRun::show_percent(int percent) {
  if (percent == shown_) return;
  shown_ = percent;
  bar_ = static_cast<uint8_t>(percent);
  put_text(percent_, percent_text(percent));
}

bool ProgressRun::read() {
  if (view_.next()) return true;
  if (vrt::core::error_code() != d::kRecordNotAvailable) {
    save_error();
    standard_warning(35, file_.declaration.label);
    read_failed_ = true;
  }
  return false;
}

ProgressRun::Outcome ProgressRun::run(const Steps& steps) {
  Outcome outcome = Outcome::Empty;
  ModeFollower mode;
  int processed = 0;
  bool have = false;
  auto finish = [&](Outcome how) {
    outcome = read_failed_ ? Outcome::Cancelled : how;
    if (!steps.finished_text.empty()) put_text(percent_, steps.finished_text);
    PostClose(window_);
  };
  while (Accept(window_)) {
    mode.follow(window_);
    switch (window_.event) {
      case event::OpenWindow:
        if (key_ >= 0) view_.set_preferred_key(key_);
        if (!view_.open()) {
          save_error();
          standard_warning(36);
        }
        view_.set();
        have = read();
        if (!have) finish(Outcome::Empty);
        else if (steps.first) steps.first();
        break;
      case event::Timer:
        if (!have) break;
        for (int i = 0; have && i < kRecordsPerCycle; ++i) {
          if (!steps.each()) {
            have = false;
            finish(Outcome::Cancelled);
            break;
          }
          ++processed;
          show_percent(total_ > 0 ? std::min(100, static_cast<int>(int64_t{processed} * 100 / total_)) : 100);
          have = read();
          if (!have) finish(Outcome::Completed);
        }
        break;
      case event::Accepted:
        if (window_.field == kCancel) {
          have = false;
          outcome = Outcome::Cancelled;
          PostClose(window_);
        }
        break;
      default: break;
    }
  }
  return outcome;
}

}  // namespace marlock
