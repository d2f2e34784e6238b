#include "app/integrity/warnings.h"

#include <cstdio>
#include <cstdlib>

#include "app/integrity/saved_error.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_errors.h"

namespace marlock {

namespace {

// One catalogue entry. The text is built from pieces: a piece "\1" stands
// for P1, "\2" for P2 and "\3" for the error description.
struct Entry {
  int number;
  const char* title;
  const char* text;
  WarningIcon icon;
  int buttons;
  int default_button;
  const char* ending;
};

constexpr int kOk = kButtonOk;
constexpr int kYesNo = kButtonYes | kButtonNo;
constexpr int kYesNoCancel = kButtonYes | kButtonNo | kButtonCancel;
constexpr WarningIcon kExclamation = WarningIcon::Exclamation;
constexpr WarningIcon kQuestion = WarningIcon::Question;

const Entry kCatalogue[] = {
    {1, "Invalid File", "Error: (\3) accessing \1.  Press OK to end this application.", kExclamation, kOk, kButtonOk,
     "Invalid File!"},
    {2, "Invalid Key", "\1 key file is invalid.  Do you want to rebuild the key?", kQuestion, kYesNo, kButtonYes,
     "Invalid Key!"},
    {3, "Key Rebuild Error", "Error: (\3) repairing key for \1.  Press OK to end this application.", kExclamation,
     kOk, kButtonOk, "Error Rebuilding Key!"},
    {4, "File Creation Error", "Error: (\3) creating \1.  Press OK to end this application.", kExclamation, kOk,
     kButtonOk, "File Creation Error!"},
    {5, "File Creation Error", "Error: (\3) opening created file:\1.  Press OK to end this application.",
     kExclamation, kOk, kButtonOk, "File Creation Error!"},
    {13, "Referential Integrity Delete Error",
     "This record is referenced from the file \1.  This record cannot be deleted while these references exist.",
     kExclamation, kOk, kButtonOk, ""},
    {14, "Record Insert Error", "An error was experienced during the update of record.  Error: \3.", kExclamation,
     kOk, kButtonOk, ""},
    {15, "Update Operation Error",
     "An error (\3) was experienced when attempting to update a record from the file.  Probable Cause: \1.",
     kExclamation, kOk, kButtonOk, ""},
    {16, "Record Update Error", "An error was experienced changing this record.  Do you want to try to save again?",
     kExclamation, kYesNoCancel, kButtonCancel, ""},
    {17, "Delete Operation Error", "An error (\3) was experienced when attempting to delete a record from the file \1.",
     kExclamation, kOk, kButtonOk, ""},
    {18, "Record Update Error", "An error was experienced deleting this record.  Do you want to try to save again?",
     kExclamation, kYesNoCancel, kButtonCancel, ""},
    {24, "Duplicate Key Error", "Adding this record creates a duplicate entry for the key:\1", kExclamation, kOk,
     kButtonOk, ""},
    {25, "Auto Increment Error", "Attempts to automatically number this record have failed.  Error: \3.",
     kExclamation, kButtonRetry | kButtonCancel, kButtonCancel, ""},
    {30, "File Access Error", "File (\1) could not be opened.  Error: \3.", kExclamation, kOk, kButtonOk, ""},
    {31, "Process PUT Error", "An error was experienced when making changes to the \2 file.  Error: \3", kExclamation,
     kOk, kButtonOk, ""},
    {32, "Confirm Delete",
     "You've selected to delete the highlighted record.  Press OK to confirm deletion of this record.", kQuestion,
     kButtonOk | kButtonCancel, kButtonCancel, ""},
    {34, "Transaction Framing Error", "Error: (\3) attempting to frame the \1 transaction on \2.  \1 transaction cancelled.",
     kExclamation, kOk, kButtonOk, ""},
    {35, "Record Retrieval Error",
     "Error: (\3) attempting to access a record from the \1 file.  Returning to previous window.", kExclamation, kOk,
     kButtonOk, ""},
    {36, "View Open Error", "Error: (\3) attempting to open the current VIEW. Filter and Range Limits ignored.",
     kExclamation, kOk, kButtonOk, ""},
    {38, "Record Was Not Updated",
     "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or "
     "Ctrl+' to recall your changes.",
     kExclamation, kOk, kButtonOk, ""},
};

std::string fill(const char* text, const std::string& p1, const std::string& p2, const std::string& description) {
  std::string out;
  for (const char* c = text; *c; ++c) {
    switch (*c) {
      case '\1': out += p1; break;
      case '\2': out += p2; break;
      case '\3': out += description; break;
      default: out += *c;
    }
  }
  return out;
}

int show_on_standard_error(const Warning& w) {
  std::fprintf(stderr, "%s: %s\n", w.title.c_str(), w.text.c_str());
  return w.default_button;
}

void end_with_exit_code(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  std::exit(1);
}

MessageShower g_shower = show_on_standard_error;
ApplicationEnding g_ending = end_with_exit_code;

}  // namespace

Warning build_warning(int number, const std::string& p1, const std::string& p2, const std::string& description,
                      int error) {
  for (const Entry& e : kCatalogue) {
    if (e.number != number) continue;
    Warning w{number, e.title, fill(e.text, p1, p2, description), e.icon, e.buttons, e.default_button, e.ending};
    // The error of another station, or none, has a text of its own.
    if (number == 15 && (error == 0 || error == vrt::data::kRecordChanged))
      w.text = "This record was changed by another station.";
    if (number == 31 && p1 != "Put") {
      w.title = "Process DELETE Error";
      w.text = fill("An error was experienced when deleting a record from the \2 file.  Error: \3", p1, p2, description);
    }
    return w;
  }
  return Warning{};
}

MessageShower set_message_shower(MessageShower shower) {
  MessageShower old = g_shower;
  g_shower = shower ? shower : show_on_standard_error;
  return old;
}

ApplicationEnding set_application_ending(ApplicationEnding ending) {
  ApplicationEnding old = g_ending;
  g_ending = ending ? ending : end_with_exit_code;
  return old;
}

void end_application(const std::string& text) { g_ending(text); }

int standard_warning(int number, const std::string& p1, const std::string& p2) {
  std::string description = error_description();
  int error = saved_error().saved ? saved_error().code : vrt::core::error_code();
  clear_saved_error();
  Warning w = build_warning(number, p1, p2, description, error);
  int pressed = g_shower(w);
  bool ends = !w.ending.empty() && (number != 2 || pressed == kButtonNo);
  if (ends) g_ending(w.ending);
  return pressed;
}

}  // namespace marlock
