// The eight forms as data: one procedure (update_form) serves them all.
#pragma once
#include <vector>

#include "app/dictionary/dictionary.h"

namespace marlock {

struct FormInstance {
  FileId file;
  const char* module;  // its window is "P1$QUICKWINDOW" there
  const char* word;    // "Adding a <word> Record", "Changing a <word> Record"
  // The key message 24 names when an insert duplicates it (its index among
  // the file's keys), or -1 for a file whose keys all allow duplicates.
  int named_key;
  // The record fields the window's entries show, in the entries' field order.
  std::vector<const char*> entries;
  // The form numbers a new record itself and adds it before the user types
  // (PEOPLE: PEO:ID through PEO:IDKEY, the file's first key).
  bool numbered;
};

const FormInstance& form_instance(FileId file);

}  // namespace marlock
