#include "app/process/customer_process.h"


#include "app/dictionary/record_fields.h"
#include "app/integrity/file_use.h"
#include "app/integrity/saved_error.h"
#include "app/integrity/warnings.h"
#include "app/process/progress_run.h"
#include "runtime/core/base/error_state.h"
#include "runtime/core/values/dates.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/gui/window_api.h"

namespace marlock {

int customer_process() {
  FileUse use(FileId::Customer);
  if (!use) return 0;
  vrt::data::FileBlock& file = *use.get();
  ProgressRun run(file, "marlock$marlo033", kCustomerByIdKey);
  vrt::platform::SetWindowText(run.window().hwnd, "Processing Records");
  int written = 0;
  ProgressRun::Steps steps;
  steps.each = [&] {
    RecordFields(file).set_long("CUS:FIRSTTIME", vrt::core::clock_time());
    vrt::data::Put(file);
    if (vrt::core::error_code() != vrt::data::kOk) {
      save_error();
      standard_warning(31, "Put", "Process:View");
      return false;
    }
    ++written;
    return true;
  };
  steps.finished_text = "Process Completed";
  run.run(steps);
  return written;
}

}  // namespace marlock
