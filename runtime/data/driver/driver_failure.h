// Failures inside the driver travel as a DriverFailure exception up to the
// driver entry, which turns them into a posted error code; they never leave
// the data layer.
#pragma once

namespace vrt::data {

struct DriverFailure {
  int code;  // the error code to post
};

// Internal failure numbers shown after "Possible data corruption in file".
enum InternalFailure : int {
  kFailPageDecode = 1,      // a page does not decode to its stated size
  kFailPageTooLarge = 2,    // a page too large to store
  kFailRecordTooLarge = 3,  // a record too large for a page
  kFailShortTransfer = 4,   // a read or write that moved fewer bytes than asked
  kFailNumberLimit = 6,     // the last-number counter at its limit
  kFailUnitOutside = 7,     // a page unit outside all areas
  kFailTreeShape = 8,       // levels, references or key order of the tree
  kFailAreaFull = 9,        // no room left to grow a page area
  kFailRecordShape = 10,    // a stored record of the wrong size or kind
  kFailTooManyControlFiles = 11,  // a transaction over too many directories
};

// Reports the internal failure through the runtime's fatal error (the text
// "Possible data corruption in file (n)", or message 0x1005's override in
// place of the first words) and, if the program goes on, fails the
// operation with error 36.
[[noreturn]] void fail_internal(int number);

// Fails the operation with the code.
[[noreturn]] inline void fail_with(int code) { throw DriverFailure{code}; }

}  // namespace vrt::data
