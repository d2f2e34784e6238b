// Printers as the profile names them, and the device contexts that print on
// them. The section "Devices" holds `NAME=DRIVER,PORT`; the entry "device"
// of "Windows" holds `NAME,DRIVER,PORT`, the default printer. Two drivers
// stand behind the names:
//   PDF    the pages become a PDF file; the port is its path, or "FILE:" to
//          have the caller ask for one. A printer "PDF" is always offered.
//   CUPS   the pages are rendered as PDF and sent to the CUPS queue the port
//          names. With no printers in the profile, the machine's CUPS
//          destinations are offered, the default first.
// Device units are printer pixels at the printer's resolution.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform/gfx/device_context.h"

namespace vrt::platform {

// The printer's names: what a DEVNAMES block holds.
struct DEVNAMES {
  std::string device, driver, port;
  bool operator==(const DEVNAMES&) const = default;
};

// The printer's settings: what a DEVMODE block holds. Paper sizes and
// margins in tenths of a millimetre.
struct DEVMODE {
  int paper_width = 2100, paper_length = 2970;  // A4
  int dpi_x = 300, dpi_y = 300;
  int copies = 1;
  std::string media;  // the CUPS media name, "" for the PDF driver
  // The sheet's edges the printer cannot reach: PHYSICALOFFSETX/Y are the
  // left and top ones. None on a PDF page.
  int margin_left = 0, margin_top = 0, margin_right = 0, margin_bottom = 0;
};

// Every printer a user may choose: the profile's "Devices" in their order,
// then "PDF" when the profile names none of that name; with no "Devices"
// at all, the CUPS destinations (default first) and "PDF".
std::vector<DEVNAMES> available_printers();

// Selects a printer by name among the profile's "Devices" (an empty name
// takes "Windows" "device"), splits driver and port at the comma, and tests
// it as CreateIC would. The name "PDF" always selects the PDF driver with
// port "FILE:" unless the profile says otherwise. Nothing when any part is
// missing or the driver is unknown. With no "Devices" at all a name selects
// the CUPS destination of that name; with no "Windows" "device" at all an
// empty name takes the first of available_printers().
std::optional<DEVNAMES> select_printer(const std::string& name);

// The printer's default settings (DocumentProperties): the CUPS
// destination's default media and resolution, or for PDF A4 or Letter by
// the locale's paper and 300 dpi.
DEVMODE default_device_mode(const DEVNAMES& printer);

// Extra device capabilities of printer contexts (GetDeviceCaps).
enum PrinterCap { PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113 };

// A printer device context: HORZRES/VERTRES the printable area,
// PHYSICALWIDTH/HEIGHT the sheet, PHYSICALOFFSETX/Y the unprintable margin,
// LOGPIXELSX/Y the resolution. Null when the printer cannot be opened.
HDC CreatePrinterDC(const DEVNAMES& printer, const DEVMODE& mode);

struct DOCINFO {
  std::string doc_name;
  std::string output;  // a file to print into instead of the port, or ""
};
// Document and page brackets: StartDoc returns > 0, or <= 0 with the last
// error set (an unwritable path, a queue that refuses the job). EndDoc
// delivers the document: the PDF is renamed into place (no partial file is
// ever left at the target) or handed to CUPS. AbortDoc drops it.
int StartDoc(HDC dc, const DOCINFO& info);
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);
// Frees a printer context (an unfinished document is aborted).
void DeletePrinterDC(HDC dc);

// What the last failing printer call of this thread found wrong, for the
// user: the file and the system's reason, or the queue's answer. The last
// error holds its number.
std::string printer_error_text();

}  // namespace vrt::platform
