// Runs one operation of a table on its file's store: begin (header, change
// count, recovery), the work, then the safe update or, on any failure, the
// update forgotten. Failures inside become error codes here.
#pragma once
#include <mutex>
#include <new>

#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/bdx/store/page_store.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/bdx/store/record_tree.h"

namespace vrt::data {

template <typename Work>
int run_on_store(PageStore& store, bool update, Work&& work) {
  std::lock_guard<std::mutex> guard(store.mutex());
  try {
    store.begin_operation(update);
    // A transaction rolled forward by recovery left its pending record.
    if (update && store.stale_pending_record()) RecordTree(store).erase(std::string(1, static_cast<char>(kKindPending)));
    int code = work();
    store.end_operation(code == kOk);
    return code;
  } catch (const DriverFailure& failure) {
    store.end_operation(false);
    return failure.code;
  } catch (const std::bad_alloc&) {
    store.end_operation(false);
    return kInsufficientMemory;
  }
}

}  // namespace vrt::data
