// What a browse asks of a form and what the form answers: the thread's
// global request variables. The browse sets the request and clears the
// navigation request, calls the form, and reads the response and the
// navigation request (the number of the frame toolbar button the user
// saved with: kInsert, kLastPage ... kPriorRecord of frame_commands.h).
#pragma once
#include <cstdint>

#include "app/dictionary/dictionary.h"

namespace marlock {

enum FormRequest : int32_t { kNoRequest = 0, kInsertRecord = 1, kChangeRecord = 2, kDeleteRecord = 3 };
enum FormResponse : int32_t { kNoResponse = 0, kRequestCompleted = 1, kRequestCancelled = 2 };

struct GlobalRequest {
  int32_t request = kNoRequest;
  int32_t response = kNoResponse;
  int32_t navigation = 0;
};
// This thread's.
GlobalRequest& global_request();

// Runs the file's form on this thread for global_request().request. The
// record to change or delete is in this thread's record buffer of the file,
// read under WATCH by the caller; for an insert the caller has cleared the
// buffer (and a child list has set the linking field), and the form primes
// the rest.
void update_form(FileId id);

}  // namespace marlock
