#include <gtest/gtest.h>

#include "runtime/platform/os/system_error.h"
#include "runtime/platform/print/printer.h"
#include "tests/platform/printer_test_support.h"

namespace vrt::platform {
namespace {

using PrinterSelection = test::PrinterProfileTest;

constexpr const char* kProfile =
    "[Windows]\n"
    "device=Draft,PDF,/srv/draft.pdf\n"
    "[Devices]\n"
    "Office=CUPS,office_queue\n"
    "Draft=pdf,/srv/draft.pdf\n"
    "Commas=PDF, /srv/a,b.pdf \n"
    "NoPort=PDF,\n"
    "NoComma=PDF\n"
    "Fax=FAXDRV,COM1:\n";

TEST_F(PrinterSelection, EmptyProfileOffersThePdfPrinter) {
  EXPECT_EQ(available_printers(), (std::vector<DEVNAMES>{{"PDF", "PDF", "FILE:"}}));
  EXPECT_EQ(select_printer("PDF"), (DEVNAMES{"PDF", "PDF", "FILE:"}));
  EXPECT_EQ(select_printer(""), (DEVNAMES{"PDF", "PDF", "FILE:"}));
  EXPECT_EQ(select_printer("pdf"), (DEVNAMES{"PDF", "PDF", "FILE:"}));
}

TEST_F(PrinterSelection, ProfileDevicesInTheirOrderThenPdf) {
  write_profile(kProfile);
  EXPECT_EQ(available_printers(), (std::vector<DEVNAMES>{{"Office", "CUPS", "office_queue"},
                                                          {"Draft", "PDF", "/srv/draft.pdf"},
                                                          {"Commas", "PDF", "/srv/a,b.pdf"},
                                                          {"PDF", "PDF", "FILE:"}}));
}

TEST_F(PrinterSelection, ANameFindsItsDriverAndPort) {
  write_profile(kProfile);
  EXPECT_EQ(select_printer("draft"), (DEVNAMES{"Draft", "PDF", "/srv/draft.pdf"}));
  EXPECT_EQ(select_printer("Commas"), (DEVNAMES{"Commas", "PDF", "/srv/a,b.pdf"}));
  EXPECT_EQ(select_printer(""), (DEVNAMES{"Draft", "PDF", "/srv/draft.pdf"}));
  EXPECT_EQ(select_printer("PDF"), (DEVNAMES{"PDF", "PDF", "FILE:"}));
}

TEST_F(PrinterSelection, MissingPartsUnknownDriversAndNamesSelectNothing) {
  write_profile(kProfile);
  for (const char* name : {"NoPort", "NoComma", "Fax", "Nowhere", "Draft,PDF"}) {
    SetLastError(kErrorSuccess);
    EXPECT_EQ(select_printer(name), std::nullopt) << name;
    EXPECT_NE(GetLastError(), kErrorSuccess) << name;
    EXPECT_FALSE(printer_error_text().empty()) << name;
  }
  EXPECT_NE(printer_error_text().find("Draft,PDF"), std::string::npos);
  // A CUPS printer whose queue no server knows cannot be opened.
  EXPECT_EQ(select_printer("Office"), std::nullopt);
}

TEST_F(PrinterSelection, TheDefaultDeviceNeedsAllThreeParts) {
  for (const char* device : {"Draft,PDF", "Draft", ",PDF,/srv/x.pdf", "Draft,,/srv/x.pdf", "Draft,FAXDRV,COM1:"}) {
    write_profile(std::string("[Windows]\ndevice=") + device + "\n");
    EXPECT_EQ(select_printer(""), std::nullopt) << device;
  }
  write_profile("[Windows]\ndevice=Mine,PDF,/srv/mine.pdf\n");
  EXPECT_EQ(select_printer(""), (DEVNAMES{"Mine", "PDF", "/srv/mine.pdf"}));
}

TEST_F(PrinterSelection, AProfilePdfEntryReplacesTheBuiltInOne) {
  write_profile("[Devices]\nPDF=PDF,/srv/out.pdf\n");
  EXPECT_EQ(available_printers(), (std::vector<DEVNAMES>{{"PDF", "PDF", "/srv/out.pdf"}}));
  EXPECT_EQ(select_printer("PDF"), (DEVNAMES{"PDF", "PDF", "/srv/out.pdf"}));
}

TEST_F(PrinterSelection, PdfPaperFollowsTheLocale) {
  struct Case {
    const char *lc_all, *lc_paper, *lang;
    int width, length;
  } cases[] = {
      {nullptr, "en_US.UTF-8", "de_DE.UTF-8", 2159, 2794},
      {nullptr, nullptr, "fr_CA.UTF-8", 2159, 2794},
      {nullptr, "de_DE.UTF-8", "en_US.UTF-8", 2100, 2970},
      {"en_GB.UTF-8", "en_US.UTF-8", nullptr, 2100, 2970},
      {nullptr, nullptr, "C", 2100, 2970},
      {nullptr, nullptr, nullptr, 2100, 2970},
      {nullptr, "en_US@euro", nullptr, 2159, 2794},
  };
  for (const Case& c : cases) {
    test::ScopedEnv all("LC_ALL", c.lc_all), paper("LC_PAPER", c.lc_paper), lang("LANG", c.lang);
    DEVMODE mode = default_device_mode({"PDF", "PDF", "FILE:"});
    EXPECT_EQ(mode.paper_width, c.width) << (c.lc_paper ? c.lc_paper : "") << (c.lang ? c.lang : "");
    EXPECT_EQ(mode.paper_length, c.length);
    EXPECT_EQ(mode.dpi_x, 300);
    EXPECT_EQ(mode.dpi_y, 300);
    EXPECT_EQ(mode.margin_left + mode.margin_top + mode.margin_right + mode.margin_bottom, 0);
  }
}

}  // namespace
}  // namespace vrt::platform
