// The error codes the driver posts (texts in the runtime's message table).
#pragma once

namespace vrt::data {

enum DriverError : int {
  kOk = 0,
  kAlreadyPosted = -1,        // the error has been posted already
  kFileNotFound = 2,          // "File Not Found"
  kPathNotFound = 3,          // "Path Not Found"
  kAccessDenied = 5,          // "Access Denied"
  kInsufficientMemory = 8,    // "Insufficient Memory"
  kFileAlreadyLocked = 32,    // "File Is Already Locked"
  kRecordNotAvailable = 33,   // "Record Not Available": no current record
  kRecordNotFound = 35,       // "Record Not Found"
  kInvalidDataFile = 36,      // "Invalid Data File": not a BDX file, or damaged
  kFileNotOpen = 37,          // "File Not Open"
  kDuplicateKey = 40,         // "Creates Duplicate Key"
  kRecordHeld = 43,           // "Record Is Already Held"
  kInvalidFilename = 45,      // "Invalid Filename"
  kKeyMustBeRebuilt = 46,     // "Key File Must Be Rebuilt": index not built
  kInvalidDeclaration = 47,   // "Invalid Record Declaration"
  kUnableToLogTransaction = 48,  // "Unable To Log Transaction"
  kFileAlreadyOpen = 52,      // "File Already Open"
  kNoCreateAttribute = 54,    // "No Create Attribute"
  kLogoutActive = 56,         // "LOGOUT Already Active"
  kExclusiveRequired = 63,    // "Exclusive Access Required"
  kUnableToRollback = 65,     // "Unable To ROLLBACK Transaction"
  kInvalidIndexString = 76,   // "Invalid Index String"
  kUnsupportedFunction = 80,  // "Unsupported File Driver Function"
  kRecordChanged = 89,        // "Record Changed By Another Station"
  kFileSystemError = 90,      // "File System Error", with the system's text
  kLogoutNotActive = 91,      // "LOGOUT Not Active"
  kBuildInProgress = 92,      // "BUILD In Progress"
  kBuildCancelled = 93,       // "BUILD Cancelled"
  kRecordLimitExceeded = 94,  // "Record Limit Exceeded"
  kServerNotFound = 95,       // "Server Not Found": no connection to the database server
};

}  // namespace vrt::data
