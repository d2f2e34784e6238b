// The referential integrity of the dictionary's relations, kept by one
// delete and one update procedure for every file, each inside a transaction
// with a 2-second timeout that any failure rolls back:
//
//   Teachers -> Classes   (CLA:TEACHERNUMBER = TEA:NUMBER)  delete restricted, number change cascades
//   PEOPLE   -> ACCOUNTS  (ACC:PEO::ID = PEO:ID)            delete restricted
//   Customer -> Goods     (GOD:CUSID = CUS:CUSID)           display and entry only
#pragma once
#include <cstdint>
#include <vector>

#include "app/dictionary/dictionary.h"

namespace marlock {

enum IntegrityResult { kIntegrityDone = 0, kIntegrityFailed = 1, kIntegrityChangedElsewhere = 2 };

// Deletes the current record of this thread's file (the caller has read it
// under WATCH); a parent with children is refused with message 13.
IntegrityResult integrity_delete(FileId id);

// Writes the current record of this thread's file. `before` is the record
// as it was read before editing (for the cascade of a changed linking
// field); `ditto` tells whether the calling form offers the Ditto action.
// A record changed by another station is re-read, so that the form shows
// that station's values, and the result is kIntegrityChangedElsewhere.
IntegrityResult integrity_update(FileId id, const std::vector<uint8_t>& before, bool ditto);

}  // namespace marlock
