#include "runtime/report/print_dialog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"
#include "runtime/platform/gui/message_api.h"
#include "runtime/platform/gui/theme.h"
#include "runtime/platform/gui/window_api.h"
#include "runtime/report/modal_dialog.h"
#include "runtime/window/message_box.h"

namespace vrt::report {

namespace {

using namespace vrt::platform;

constexpr int kFirstPrinter = 100;  // the printers' radios: 100, 101 ...
constexpr int kPrintersPerColumn = 10;
constexpr int kMostCopies = 9999;
constexpr int kMostPage = 999999;

// A whole number in [low, high] in the control, or nothing.
std::optional<int> number_in(HWND control, int low, int high) {
  std::string text = GetWindowText(control);
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  int n = std::stoi(text);
  if (n < low || n > high) return std::nullopt;
  return n;
}

bool checked(HWND h) { return SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class PrintDialog {
 public:
  PrintDialog(const DEVNAMES& current, const DEVMODE& mode)
      : current_(current), mode_(mode), printers_(available_printers()) {
    // The current printer is offered even when the list lacks it (a printer
    // the program chose by a name the list does not show).
    bool listed = false;
    for (const DEVNAMES& p : printers_) listed |= p == current_;
    if (!listed && !current_.device.empty()) printers_.insert(printers_.begin(), current_);
  }

  std::optional<PrintChoice> run() {
    if (dialog_answers_itself()) {
      std::fprintf(stderr, "[Print] %s\n", current_.device.c_str());
      std::fflush(stderr);
      return PrintChoice{current_, mode_};
    }
    const int margin = scaled(14), row = scaled(24), label_w = scaled(70), entry_w = scaled(60);
    const int column_w = scaled(200);
    int rows = std::min(static_cast<int>(printers_.size()), kPrintersPerColumn);
    int columns = (static_cast<int>(printers_.size()) + kPrintersPerColumn - 1) / kPrintersPerColumn;
    int width = std::max(scaled(340), margin * 2 + columns * column_w);
    int group_h = row * (rows + 1) + scaled(6);
    int height = margin + group_h + margin + row * 3 + margin + scaled(26) + margin;
    ModalDialog dialog("Print", width, height);

    dialog.add(kButtonClass, "Printer", BS_GROUPBOX, margin / 2, margin / 2, width - margin, group_h + margin / 2);
    size_t current_index = 0;
    for (size_t i = 0; i < printers_.size(); ++i)
      if (printers_[i] == current_) current_index = i;
    HWND first = nullptr;
    for (size_t i = 0; i < printers_.size(); ++i) {
      int column = static_cast<int>(i) / kPrintersPerColumn, line = static_cast<int>(i) % kPrintersPerColumn;
      HWND radio = dialog.add(kButtonClass, printers_[i].device,
                              (i == 0 ? kGroup | kTabStop : 0u) | BS_AUTORADIOBUTTON,
                              margin + column * column_w, margin + row * (line + 1), column_w - scaled(8), row,
                              kFirstPrinter + static_cast<int>(i));
      if (i == current_index) {
        SendMessage(radio, BM_SETCHECK, BST_CHECKED, 0);
        first = radio;
      }
    }
    int y = margin + group_h + margin;
    dialog.add(kStaticClass, "&Copies:", SS_LEFT, margin, y + scaled(4), label_w, row);
    copies_ = dialog.add(kEditClass, std::to_string(mode_.copies), kTabStop | ES_NUMBER, margin + label_w, y,
                         entry_w, row - scaled(2), kPrintCopies);
    y += row + scaled(6);
    all_ = dialog.add(kButtonClass, "&All", kGroup | kTabStop | BS_AUTORADIOBUTTON, margin, y, label_w, row,
                      kPrintAll);
    SendMessage(all_, BM_SETCHECK, BST_CHECKED, 0);
    y += row;
    pages_ = dialog.add(kButtonClass, "&Pages", BS_AUTORADIOBUTTON, margin, y, label_w, row, kPrintPages);
    dialog.add(kStaticClass, "from", SS_LEFT, margin + label_w, y + scaled(4), scaled(36), row);
    from_ = dialog.add(kEditClass, "1", kTabStop | ES_NUMBER, margin + label_w + scaled(36), y, entry_w,
                       row - scaled(2), kPrintFrom);
    dialog.add(kStaticClass, "to", SS_LEFT, margin + label_w + scaled(40) + entry_w, y + scaled(4), scaled(20), row);
    to_ = dialog.add(kEditClass, "1", kTabStop | ES_NUMBER, margin + label_w + scaled(64) + entry_w, y, entry_w,
                     row - scaled(2), kPrintTo);
    dialog.add_ok_cancel();
    dialog_ = &dialog;
    if (!dialog.run(first, [this] { return accept(); })) return std::nullopt;
    return choice_;
  }

 private:
  // Reads the controls into choice_; a wrong entry is said and keeps the
  // dialog up with the focus on it.
  bool accept() {
    HWND dialog = dialog_->hwnd();
    PrintChoice c;
    size_t chosen = printers_.size();
    for (size_t i = 0; i < printers_.size(); ++i)
      if (checked(GetDlgItem(dialog, kFirstPrinter + static_cast<int>(i)))) chosen = i;
    if (chosen == printers_.size()) return refuse(GetDlgItem(dialog, kFirstPrinter), "Choose a printer.");
    c.printer = printers_[chosen];
    c.mode = c.printer == current_ ? mode_ : default_device_mode(c.printer);
    std::optional<int> copies = number_in(copies_, 1, kMostCopies);
    if (!copies) return refuse(copies_, "The number of copies must be from 1 to " + std::to_string(kMostCopies) + ".");
    c.mode.copies = *copies;
    c.all_pages = !checked(pages_);
    if (!c.all_pages) {
      std::optional<int> from = number_in(from_, 1, kMostPage), to = number_in(to_, 1, kMostPage);
      if (!from) return refuse(from_, "The first page must be a number from 1 to " + std::to_string(kMostPage) + ".");
      if (!to || *to < *from) return refuse(to_, "The last page must be a number from the first page on.");
      c.from_page = *from;
      c.to_page = *to;
    }
    choice_ = c;
    return true;
  }

  bool refuse(HWND control, const std::string& why) {
    window::Message(why, "Print", "", window::kButtonOk);
    ModalDialog::focus(control);
    return false;
  }

  DEVNAMES current_;
  DEVMODE mode_;
  std::vector<DEVNAMES> printers_;
  ModalDialog* dialog_ = nullptr;
  HWND copies_ = nullptr, all_ = nullptr, pages_ = nullptr, from_ = nullptr, to_ = nullptr;
  PrintChoice choice_;
};

}  // namespace

std::optional<PrintChoice> print_dialog(const DEVNAMES& current, const DEVMODE& mode) {
  return PrintDialog(current, mode).run();
}

}  // namespace vrt::report
