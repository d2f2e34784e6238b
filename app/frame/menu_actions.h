// What each menu item of the frame starts: a table, one row an item.
#pragma once
#include <cstdint>

#include "app/dictionary/dictionary.h"

namespace marlock::frame {

enum class Action { Browse, Report, Process, TimeStamp, Login };

struct MenuAction {
  int32_t field;
  Action action;
  FileId file;        // browses, reports, the process
  const char* order;  // a report's key as shown ("CUS:ByName"), or "" for record order
  const char* item;   // the item's text, for messages
};

// The row of a menu field, or null.
const MenuAction* menu_action(int32_t field);

}  // namespace marlock::frame
