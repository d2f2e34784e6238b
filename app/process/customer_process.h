// The Customer process: every Customer record, in CUS:ByID order, gets the
// clock time as its first time, 25 records on each timer event of a
// progress window the user can cancel. The Process menu runs it, and every
// browse before it opens when the Director works.
#pragma once

namespace marlock {

// The records written.
int customer_process();

}  // namespace marlock
