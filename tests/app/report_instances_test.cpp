// The report table against the frame's menu, the dictionary and the report
// layouts: a column bound to a field of another type or size would print
// garbage, a key out of step with the menu would print in the wrong order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "app/dictionary/dictionary.h"
#include "app/frame/menu_actions.h"
#include "app/report/report_instances.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/window/resource/structure_finder.h"

namespace marlock {
namespace {

using vrt::window::RecordType;
using vrt::window::ResourceBuffer;
using vrt::window::VariableDescriptor;

// Every value control of the report's bands, by field number.
std::map<int32_t, VariableDescriptor> report_values(const std::string& module) {
  vrt::window::FoundStructure found = vrt::window::find_structure(module, "P1$REPORT");
  std::map<int32_t, VariableDescriptor> out;
  if (!found) return out;
  const ResourceBuffer& b = *found.buffer;
  for (uint32_t band = b.field(found.offset, "children"); band; band = b.next(band))
    for (uint32_t c = b.field(band, "children"); c; c = b.next(c))
      if (b.type(c) == static_cast<uint8_t>(RecordType::VarString)) out[b.field_number(c)] = b.descriptor(b.field(c, "var"));
  return out;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

TEST(ReportInstances, EveryReportMenuItemStartsAReportOfItsFileAndOrder) {
  int reports_in_menu = 0;
  for (int32_t field = 200; field < 260; ++field) {
    const frame::MenuAction* a = frame::menu_action(field);
    if (!a || a->action != frame::Action::Report) continue;
    ++reports_in_menu;
    const ReportSpec* r = report_for_menu(field);
    ASSERT_NE(r, nullptr) << a->item;
    EXPECT_EQ(r->file, a->file) << r->module;
    const FileSpec& file = file_spec(r->file);
    if (r->key < 0) {
      EXPECT_EQ(std::string(a->order), "") << r->module;
      continue;
    }
    ASSERT_LT(static_cast<size_t>(r->key), file.keys.size()) << r->module;
    const KeySpec& key = file.keys[static_cast<size_t>(r->key)];
    EXPECT_EQ(std::string(key.shown), a->order) << r->module;
    // The title names the key as the declaration does, in its own case.
    std::string title = r->title, declared = key.declaration;
    EXPECT_EQ(upper(title.substr(title.rfind(' ') + 1)), declared.substr(0, declared.find(' '))) << r->module;
  }
  EXPECT_EQ(reports_in_menu, 17);
  EXPECT_EQ(reports().size(), 17u);
}

TEST(ReportInstances, EveryLayoutHasATitleThePageNumberAndTheFilesColumnsInTheirTypes) {
  for (const ReportSpec& r : reports()) {
    std::map<int32_t, VariableDescriptor> values = report_values(r.module);
    ASSERT_FALSE(values.empty()) << r.module << " has no report";
    ASSERT_TRUE(values.count(kReportTitle)) << r.module;
    EXPECT_GE(values[kReportTitle].size, std::string(r.title).size()) << r.module;
    ASSERT_TRUE(values.count(kReportPageNumber)) << r.module;
    EXPECT_EQ(values[kReportPageNumber].type, 6) << r.module << ": the page number is a LONG";

    vrt::data::FileBlock file;
    make_file_block(file, r.file);
    int32_t field = kReportFirstColumn;
    for (const FieldSpec& f : file_spec(r.file).fields) {
      if (!*f.heading) continue;
      ASSERT_TRUE(values.count(field)) << r.module << " shows no column for " << f.label;
      const vrt::data::FieldDescriptor& d =
          file.declaration.fields[static_cast<size_t>(vrt::data::find_field(file.declaration, f.label) - 1)];
      EXPECT_EQ(values[field].type, d.type) << r.module << " " << f.label;
      EXPECT_EQ(values[field].size, d.size) << r.module << " " << f.label;
      values.erase(field++);
    }
    values.erase(kReportTitle);
    values.erase(kReportPageNumber);
    EXPECT_TRUE(values.empty()) << r.module << " has a value no column fills: field " << values.begin()->first;
  }
}

}  // namespace
}  // namespace marlock
