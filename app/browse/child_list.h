// The list of a record's children inside its form (the Goods of a customer,
// the Classes of a teacher, the Accounts of a person): a browse limited to
// the children of the record in the parent's buffer, with its own Insert,
// Change and Delete buttons.
#pragma once
#include <cstdint>
#include <memory>

#include "app/dictionary/dictionary.h"
#include "runtime/window/controls/window_object.h"

namespace marlock {

class ChildList {
 public:
  virtual ~ChildList() = default;
  // One pass of the form's loop, before the form handles the event: follows
  // the parent's linking field (a new value starts the list again at its
  // first page) and serves the list's own events. True when the event was
  // the list's, which the form then leaves alone.
  virtual bool pass() = 0;
};

// The child list of the parent's form, whose window holds the list at
// `list_field` and its Insert, Change and Delete buttons at the three
// field numbers after it. Null for a file without children shown.
std::unique_ptr<ChildList> make_child_list(vrt::window::WindowObject& form, FileId parent, int32_t list_field);

}  // namespace marlock
