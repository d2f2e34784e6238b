#include "app/process/time_stamp.h"

#include "app/dictionary/record_fields.h"
#include "app/integrity/file_use.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/values/dates.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/platform/gui/input_api.h"

namespace marlock {

namespace {

namespace d = vrt::data;

constexpr size_t kByIdKey = 4;  // CUS:ByID among Customer's keys

// The wait cursor over the whole application for the procedure's
// duration (it runs inside one event, so no window would ask for it).
class WaitCursor {
 public:
  WaitCursor() {
    vrt::platform::set_application_cursor(vrt::window::load_cursor_code(std::string("\xFF\x01\x03\x7F", 4)));
  }
  ~WaitCursor() { vrt::platform::set_application_cursor(nullptr); }
};

}  // namespace

int stamp_customers() {
  WaitCursor wait;
  FileUse customers(FileId::Customer);
  if (!customers) return 0;
  d::FileBlock& file = *customers.get();
  RecordFields fields(file);
  fields.clear();
  d::Set(*file.key(kByIdKey), *file.key(kByIdKey));
  int stamped = 0;
  for (;;) {
    d::Next(file);
    if (vrt::core::error_code() != d::kOk) break;
    fields.set_long("CUS:FIRSTTIME", vrt::core::clock_time());
    d::Put(file);
    if (vrt::core::error_code() != d::kOk) break;
    ++stamped;
  }
  return stamped;
}

}  // namespace marlock
