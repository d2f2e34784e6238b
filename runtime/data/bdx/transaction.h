// The transaction of this process across files: LOGOUT enlists tables,
// whose files then hold their updates in memory; COMMIT writes them all or
// none, with the help of transaction control files; ROLLBACK forgets them.
//
// A commit that changed two or more files:
//   1. Each control file (the one set with the TCF command, else
//      "brindlex.tcf" in the directory of every enlisted file) gets a record
//      whose key is the transaction number (4 bytes, little-endian).
//   2. Each changed file gets a pending-transaction record (key 0xFF: data
//      the number, the control file's name, a zero byte) and its update is
//      written up to the bracket (steps 1 to 4 of the safe update).
//   3. Deleting the control record is the commit point.
//   4. Each file's update is finished and its pending record deleted.
// Recovery of a bracketed update that carries a pending record asks the
// control file: while the record is there, the update rolls back.
#pragma once
#include <string>

namespace vrt::data {

class BdxTable;

// The name a pending record stores for "brindlex.tcf in the data file's
// own directory".
inline constexpr const char* kDirectoryControlMarker = "C:\\brindleX.TCF";
inline constexpr const char* kControlFileName = "brindlex.tcf";
// At most this many distinct control files in one transaction.
inline constexpr size_t kMaxControlFiles = 100;

// LOGOUT of one table (the driver's state masks refuse a second one). On a
// shared file it takes the writer byte, waiting up to the seconds given
// (error 5 when another process keeps it), and keeps it to the end of the
// transaction: a transaction never waits for a file another one holds.
int transaction_enlist(BdxTable& table, int32_t seconds);
// COMMIT and ROLLBACK reach the driver once for each enlisted table: the
// first call does the work for every file, later calls of the same
// transaction give its result.
int transaction_commit(BdxTable& table);
int transaction_rollback(BdxTable& table);
// A table that goes away while enlisted (the state masks refuse its CLOSE):
// every held update is forgotten and the transaction can no longer commit
// (COMMIT fails with 48, as it does when a failed operation of an enlisted
// file forgot the updates it held).
void transaction_leave(BdxTable& table);

// The TCF command: the control file in force ("" for the per-directory
// files), and setting it ("" returns to the per-directory files).
std::string transaction_control_name();
void set_transaction_control_name(const std::string& name);

// Whether the transaction of a pending-transaction record (its data) found
// in a bracketed update of the data file passed its commit point: while its
// record is in the control file it did not; a control file that cannot be
// opened (missing, or not readable) cannot hold it either. Only a control
// file locked by another process is waited for, and at most this long;
// then the answer is 5 "Access Denied" and the update stays bracketed.
inline constexpr uint32_t kControlFileWait = 1000;  // hundredths of a second
int transaction_reached_commit_point(const std::string& data_file, const std::string& pending, bool* reached);

}  // namespace vrt::data
