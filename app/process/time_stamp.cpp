#include "app/process/time_stamp.h"

#include "app/dictionary/record_fields.h"
#include "app/integrity/file_use.h"
#include "app/process/wait_cursor.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/values/dates.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"

namespace marlock {

namespace d = vrt::data;

int stamp_customers() {
  WaitCursor wait;
  FileUse customers(FileId::Customer);
  if (!customers) return 0;
  d::FileBlock& file = *customers.get();
  RecordFields fields(file);
  fields.clear();
  d::KeyBlock& by_id = *file.key(kCustomerByIdKey);
  d::Set(by_id, by_id);
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
