// Crashes and file-system faults that tests inject into updates.
//
// A crash point is a place in an update where a test can make the process
// stop as if it had crashed there: by failing the operation (the process
// lives on and its file is left as a crash would leave it), or by killing
// the process.
#pragma once

namespace vrt::data {

enum class CrashPoint : int {
  kNone = 0,
  // The safe update of one file: after step 1 to 4, after the first page
  // copied home (5), after the header copied home (6).
  kAfterStep1 = 1,
  kAfterStep2 = 2,
  kAfterStep3 = 3,
  kAfterStep4 = 4,
  kAfterFirstHomeCopy = 5,
  kAfterHeaderHome = 6,
  // A commit across files.
  kControlRecordsWritten = 10,  // every control file holds the record
  kFirstFilePrepared = 11,      // one file's update is bracketed
  kAllFilesPrepared = 12,       // just before the commit point
  kCommitPointPassed = 13,      // the control records are deleted
  kFirstFileFinished = 14,      // one file's update is home
};

// Pause holds the update at the point, with its locks, until resume_update.
enum class CrashMode { Fail, Kill, Pause };

// The next time the update passes the point, it stops there.
void crash_next_at(CrashPoint point, CrashMode mode = CrashMode::Fail);

// Called by the update at each point; fails the operation (a DriverFailure
// that posts nothing new), kills the process or pauses when armed for it.
void crash_point(CrashPoint point);
bool update_paused();
void resume_update();

// File-system faults: the nth write of a store from now moves only half its
// bytes, or the nth flush fails. The store asks before each write or flush.
enum class Fault { ShortWrite, FailingFlush };
void inject_fault(Fault fault, int nth);
bool fault_now(Fault fault);

}  // namespace vrt::data
