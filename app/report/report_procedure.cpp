#include "app/report/report_procedure.h"

#include <algorithm>
#include <cstring>

#include "app/access/access_mode.h"
#include "app/integrity/file_use.h"
#include "app/process/progress_run.h"
#include "app/report/report_instances.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/platform/print/printer.h"
#include "runtime/report/print_preview.h"
#include "runtime/report/print_report.h"
#include "runtime/report/report_engine.h"
#include "runtime/window/controls/image_codes.h"
#include "runtime/window/message_box.h"

namespace marlock {

namespace {

constexpr const char* kPreviewModule = "marlock$marlo_sf";

// Binds the title and every column of the file that has a heading; the
// page number is the engine's, shown by the footer's value left unbound.
void bind_report(vrt::report::Report& report, FileId id, vrt::data::FileBlock& file, char (&title)[60]) {
  report.bind(kReportTitle, title);
  int32_t field = kReportFirstColumn;
  for (const FieldSpec& f : file_spec(id).fields) {
    if (!*f.heading) continue;
    int n = vrt::data::find_field(file.declaration, f.label);
    if (n > 0) report.bind(field, file.record.data() + file.declaration.fields[static_cast<size_t>(n - 1)].offset);
    ++field;
  }
}

}  // namespace

void report_procedure(const std::string& module) {
  const ReportSpec* spec = report_for_module(module);
  if (!spec) return;
  FileUse use(spec->file);
  if (!use) return;
  vrt::data::FileBlock& file = *use.get();
  char title[60];
  std::memset(title, ' ', sizeof title);
  std::memcpy(title, spec->title, std::min(std::strlen(spec->title), sizeof title));
  vrt::report::Report report(spec->module, "P1$REPORT");
  ProgressRun::Outcome outcome;
  {
    ProgressRun run(file, spec->module, spec->key);
    ProgressRun::Steps steps;
    steps.first = [&] {
      report.open(true);
      bind_report(report, spec->file, file, title);
      if (!mode_rules(access_mode()).report_progress) vrt::platform::ShowWindow(run.window().hwnd, vrt::platform::SW_HIDE);
    };
    steps.each = [&] {
      report.print();
      return true;
    };
    outcome = run.run(steps);
  }
  if (!report.is_open()) return;  // nothing was read
  report.close();
  std::vector<std::string> pages = report.page_images();
  if (outcome == ProgressRun::Outcome::Completed && !pages.empty() && vrt::report::PrintPreview(pages, kPreviewModule) &&
      vrt::report::print_with_dialog(pages, spec->title) == vrt::report::PrintOutcome::Failed)
    vrt::window::Message("The report could not be printed.|" + vrt::platform::printer_error_text(), "Print",
                         vrt::window::standard_image_code(vrt::platform::IDI_HAND));
  vrt::report::free_page_images(pages);
}

}  // namespace marlock
