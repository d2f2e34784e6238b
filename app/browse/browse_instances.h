// The browses of the application: one row each, read by the one browse
// procedure (six stand-alone windows) and by the child lists inside forms.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/dictionary/dictionary.h"

namespace marlock {

struct SortOrder {
  int key;          // the file's key (from 0), -1 for record order
  const char* tab;  // the tab's text
};

// A child list shows the records whose `child_field` equals the parent
// record's `parent_field`.
struct ChildRange {
  FileId parent;
  const char* parent_field;  // "CUS:CUSID"
  const char* child_field;   // "GOD:CUSID"
  const char* variable;      // the range's bound name, "BRW2::Sort1:Reset:CUS:CusID"
};

struct BrowseSpec {
  const char* procedure;  // "Browse Customer"
  FileId file;
  const char* module;  // "marlock$marlo002"; "" for a child list
  std::vector<SortOrder> orders;
  std::vector<const char*> columns;  // the fields shown, in column order
  const ChildRange* range;           // null for a stand-alone browse
};

// The six browses the frame's menu starts, by their procedure names.
const BrowseSpec* browse_spec(const std::string& procedure);
// The child list of a parent's form, or null.
const BrowseSpec* child_browse_spec(FileId parent);

// A browse window's fields: the list, its three buttons, the sheet of sort
// orders; Close and Help follow the tabs.
inline constexpr int32_t kBrowseList = 1;
inline constexpr int32_t kBrowseInsert = 2, kBrowseChange = 3, kBrowseDelete = 4;
inline constexpr int32_t kBrowseSheet = 5;

}  // namespace marlock
