// The report engine: a procedure opens a report structure, binds its
// variables to the band controls, prints detail bands as it reads records
// and closes the report. The engine lays the bands out on pages of the
// current printer and either prints each page at once or, in preview mode,
// keeps it as a page image file (a placeable metafile in the temporary
// folder) whose name joins the page image list in page order.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/platform/print/printer.h"
#include "runtime/window/resource/report_object.h"

namespace vrt::report {

// The printer every report of the process prints on until another is
// selected. A name that cannot be selected leaves the previous printer in
// force and returns false.
bool select_printer(const std::string& name);
// Makes a printer the print dialog chose, with its settings, the current one.
void use_printer(const platform::DEVNAMES& printer, const platform::DEVMODE& mode);
const platform::DEVNAMES& current_printer();
platform::DEVMODE& current_device_mode();

// Supplies the name of each page image file instead of the temporary
// folder's "ZOR" names (null: the temporary names again).
using PageImageNamer = std::string (*)(int page);
void set_page_image_namer(PageImageNamer namer);

class ReportEngine;

// One open report of a procedure. Fatal runtime errors: 525 opening an open
// report, 538 printing a band of a report that is not open, 539 ENDPAGE on
// one, 522 posting an event to a report control.
class Report {
 public:
  Report(std::string module, std::string label);
  ~Report();  // closes an open report

  // Opens the structure, selects the current printer, prepares page 1.
  void open(bool preview);
  // Binds a program variable to the control with this field number, as a
  // window's Bind does: the record's descriptor gives its type.
  bool bind(int32_t field, void* storage);
  // Prints the band with this field number (the detail band is -1).
  void print(int32_t band = -1);
  void end_page();
  // Finishes the last page; direct printing ends the document.
  void close();

  bool is_open() const;
  // Whether direct printing failed (StartDoc refused, the queue is gone).
  bool failed() const;
  // The page image files, in page order (preview mode).
  const std::vector<std::string>& page_images() const;

 private:
  window::ReportObject object_;
  std::unique_ptr<ReportEngine> engine_;
};

// Prints page image files on the current printer, each image played so that
// the whole sheet fits the page; into `output` instead of the printer's port
// when it is given. False when the document could not be printed (the last
// error and printer_error_text() say why).
bool print_page_images(const std::vector<std::string>& pages, const std::string& doc_name,
                       const std::string& output = {});

// Plays one page image file into a rectangle of a device context, the whole
// sheet fitted to it. False, playing nothing, when the file is not a sound
// placeable metafile; a record too large to play is fatal runtime error 523.
bool play_page_image(platform::HDC dc, const std::string& file, const platform::RECT& target);

// Removes the page image files and empties the list.
void free_page_images(std::vector<std::string>& pages);

}  // namespace vrt::report
