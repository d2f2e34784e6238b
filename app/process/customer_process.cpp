#include "app/process/customer_process.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/access/access_mode.h"
#include "app/dictionary/record_fields.h"
#include "app/integrity/file_use.h"
#include "app/integrity/saved_error.h"
#include "app/integrity/warnings.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/pictures/picture.h"
#include "runtime/core/values/dates.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"
#include "runtime/data/view/field_binding.h"
#include "runtime/data/view/view.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/window/controls/control_binding.h"
#include "runtime/window/loop/accept_loop.h"
#include "runtime/window/loop/event_codes.h"
#include "runtime/window/loop/window_open.h"

namespace marlock {

namespace {

namespace d = vrt::data;
using namespace vrt::window;

constexpr int kRecordsPerCycle = 25;
constexpr int32_t kBar = 1, kPercentText = 2, kCancel = 4;

// A STRING(30) the window shows, blank-padded.
struct ShownText {
  char bytes[30];
  void operator=(const std::string& text) {
    std::memset(bytes, ' ', sizeof bytes);
    std::memcpy(bytes, text.data(), std::min(text.size(), sizeof bytes));
  }
};

std::string percent_text(int percent) {
  std::string n = vrt::core::Format(std::to_string(percent), "@N3");
  n.erase(0, n.find_first_not_of(' '));
  return n + "% Completed";
}

}  // namespace

int customer_process() {
  FileUse use(FileId::Customer);
  if (!use) return 0;
  d::FileBlock& file = *use.get();
  int32_t total = d::Records(file);
  uint8_t bar = 0;
  ShownText percent, second;
  percent = "";
  second = "";
  WindowObject w("marlock$marlo033", "P1$PROGRESSWINDOW", WindowKind::Ordinary);
  Open(w);
  Bind(w, kBar, &bar);
  Bind(w, kPercentText, percent.bytes);
  Bind(w, kPercentText + 1, second.bytes);
  vrt::platform::SetWindowText(w.hwnd, "Processing Records");
  percent = percent_text(0);
  ModeFollower mode;
  d::Send(file, "QUICKSCAN=on");
  d::View view(d::view_node(file), d::view_field_resolver(file));
  view.set_preferred_key(kCustomerByIdKey);
  bool have = false;
  int processed = 0, shown = 0, written = 0;
  auto finish = [&] {
    percent = "Process Completed";
    PostClose(w);
  };
  while (Accept(w)) {
    mode.follow(w);
    switch (w.event) {
      case event::OpenWindow:
        if (!view.open()) {
          save_error();
          standard_warning(36);
        }
        view.set();
        have = view.next();
        if (!have) finish();
        break;
      case event::Timer:
        for (int i = 0; have && i < kRecordsPerCycle; ++i) {
          RecordFields(file).set_long("CUS:FIRSTTIME", vrt::core::clock_time());
          d::Put(file);
          if (vrt::core::error_code() != d::kOk) {
            save_error();
            standard_warning(31, "Put", "Process:View");
            have = false;
            break;
          }
          ++written;
          ++processed;
          int now = total > 0 ? std::min(100, static_cast<int>(int64_t{processed} * 100 / total)) : 100;
          if (now != shown) {
            shown = now;
            bar = static_cast<uint8_t>(now);
            percent = percent_text(now);
          }
          have = view.next();
        }
        if (!have) finish();
        break;
      case event::Accepted:
        if (w.field == kCancel) PostClose(w);
        break;
      default: break;
    }
  }
  view.close();
  d::Send(file, "QUICKSCAN=off");
  return written;
}

}  // namespace marlock
