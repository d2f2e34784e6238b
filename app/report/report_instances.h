// The reports of the application: one row each, run by the one report
// procedure. Each prints one file in the order of one key; its columns are
// the file's fields that have a heading, in the dictionary's order, and its
// layout is its module's "P1$REPORT".
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "app/dictionary/dictionary.h"

namespace marlock {

struct ReportSpec {
  int32_t menu_field;  // the frame's menu item
  const char* module;  // "marlock$marlo003"
  FileId file;
  int key;            // the file's key (from 0), -1 for record order
  const char* title;  // "Print the Customer File by CUS:ByName"
};

std::span<const ReportSpec> reports();
const ReportSpec* report_for_menu(int32_t menu_field);
const ReportSpec* report_for_module(const std::string& module);

// The layout's field numbers: the title, the first column, the page number.
inline constexpr int32_t kReportTitle = 100, kReportFirstColumn = 101, kReportPageNumber = 200;

}  // namespace marlock
