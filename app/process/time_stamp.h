// The Customer time stamp: every customer's first time set to the clock
// time, in CUS:ByID order, under the wait cursor. The Manager's procedure
// before each browse, and the frame's Source menu.
#pragma once

namespace marlock {

// The number of records stamped; reading ends at the first error.
int stamp_customers();

}  // namespace marlock
