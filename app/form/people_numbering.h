// The PEOPLE form numbers a new person itself: the last PEO:ID + 1 (1 in an
// empty file), and adds the record at once so that no other station takes
// the number; the form then edits the added record.
#pragma once
#include "runtime/data/driver/file_block.h"

namespace marlock {

// Numbers the record in the buffer (kept as the caller primed it) and adds
// it; after three failed attempts the user may retry or give up. False when
// no record was added (message 35 or 25 has been shown).
bool add_numbered_person(vrt::data::FileBlock& people);

}  // namespace marlock
