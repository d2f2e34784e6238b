#include "runtime/data/bdx/transaction.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/bdx/store/byte_order.h"
#include "runtime/data/bdx/store/crash_points.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/bdx/store/record_tree.h"
#include "runtime/data/bdx/store/store_operation.h"
#include "runtime/platform/os/clock.h"
#include "runtime/platform/os/mutex.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::data {

namespace {

const std::string kPendingKey(1, static_cast<char>(kKindPending));

struct TransactionState {
  std::vector<BdxTable*> tables;
  std::vector<std::shared_ptr<PageStore>> stores;  // distinct, in order of enlisting
  std::vector<std::string> control_files;          // distinct names
  int broken = kOk;                                // a table went away while enlisted: COMMIT fails so
  bool resolved = false;                           // the first COMMIT or ROLLBACK has done the work
  int result = kOk;                                // and this was its result
};

platform::Mutex g_mutex;
TransactionState g_state VRT_GUARDED_BY(g_mutex);
std::string g_control_name VRT_GUARDED_BY(g_mutex);  // set with the TCF command

std::string directory_of(const std::string& file) {
  size_t slash = file.find_last_of('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string number_key(uint32_t number) {
  std::string k(4, '\0');
  store_le32(reinterpret_cast<uint8_t*>(k.data()), number);
  return k;
}

// Runs a failing piece of work and gives its error code.
template <typename Work>
int guarded(Work&& work) {
  try {
    work();
    return kOk;
  } catch (const DriverFailure& failure) {
    return failure.code;
  } catch (const std::bad_alloc&) {
    return kInsufficientMemory;
  }
}

std::shared_ptr<PageStore> open_control_file(const std::string& name, int* error) {
  return PageStore::open(name, platform::Access::ReadWrite, platform::Share::DenyNone,
                         platform::Disposition::OpenAlways, error);
}

// One update or lookup of a control file's records.
int control_record(PageStore& control, uint32_t number, bool add, bool erase, bool* present) {
  return run_on_store(control, add || erase, [&] {
    RecordTree tree(control);
    std::string key = number_key(number);
    if (present) *present = tree.find_ref(key).has_value();
    if (add && !tree.insert(key, {})) return static_cast<int>(kDuplicateKey);
    if (erase) tree.erase(key);
    return static_cast<int>(kOk);
  });
}

void end_transaction(TransactionState& t) {
  for (auto& store : t.stores) {
    std::lock_guard<std::mutex> guard(store->mutex());
    store->set_enlisted(false);
    store->drop_held_updates();  // and the writer byte
  }
  t.stores.clear();
  t.control_files.clear();
  t.broken = kOk;
}

// COMMIT with changes in two or more files (the stores' mutexes are held).
int commit_across(TransactionState& t, const std::vector<PageStore*>& changed) VRT_REQUIRES(g_mutex) {
  std::vector<std::string> names;
  if (!g_control_name.empty())
    names.push_back(g_control_name);
  else
    names = t.control_files;
  // The control file the pending records name. Files of one directory name
  // their own directory's; files of several directories all name the first
  // control file, so that deleting one record is the one commit point.
  std::string stored = g_control_name;
  if (stored.empty()) {
    bool one_directory = std::all_of(changed.begin(), changed.end(), [&](PageStore* s) {
      return directory_of(s->name()) == directory_of(changed.front()->name());
    });
    stored = one_directory ? kDirectoryControlMarker : names.front();
  }
  std::string deciding =
      stored == kDirectoryControlMarker ? directory_of(changed.front()->name()) + kControlFileName : stored;
  std::stable_partition(names.begin(), names.end(), [&](const std::string& n) { return n == deciding; });

  std::vector<std::shared_ptr<PageStore>> controls;
  for (const std::string& name : names) {
    int error = kOk;
    auto control = open_control_file(name, &error);
    if (!control) return error;
    controls.push_back(std::move(control));
  }

  // The transaction number: the time, or the next free number.
  uint32_t number = platform::tick_count();
  for (bool clash = true; clash;) {
    clash = false;
    for (auto& c : controls) {
      bool present = false;
      int code = control_record(*c, number, false, false, &present);
      if (code != kOk) return code;
      if (present) {
        ++number;
        clash = true;
        break;
      }
    }
  }
  size_t added = 0;
  int code = kOk;
  for (; added < controls.size() && code == kOk; ++added)
    code = control_record(*controls[added], number, true, false, nullptr);
  auto remove_control_records = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) control_record(*controls[i], number, false, true, nullptr);
  };
  if (code != kOk) {
    remove_control_records(0, added - 1);
    return code;
  }
  code = guarded([] { crash_point(CrashPoint::kControlRecordsWritten); });

  std::string pending = number_key(number) + stored + std::string(1, '\0');
  size_t prepared = 0;
  for (; prepared < changed.size() && code == kOk; ++prepared) {
    PageStore* s = changed[prepared];
    code = guarded([&] {
      s->add_pending_record(pending);
      s->prepare_update();
      if (prepared == 0) crash_point(CrashPoint::kFirstFilePrepared);
    });
  }
  if (code == kOk) code = guarded([] { crash_point(CrashPoint::kAllFilesPrepared); });
  // The commit point.
  if (code == kOk) code = control_record(*controls.front(), number, false, true, nullptr);
  if (code != kOk) {
    bool undone = true;
    for (size_t i = 0; i < prepared; ++i) undone = changed[i]->undo_prepared() && undone;
    // With a bracket left behind, the record keeps its rollback decided.
    if (undone) remove_control_records(0, controls.size());
    return code;
  }
  remove_control_records(1, controls.size());  // the others' records are only left-overs now
  code = guarded([] { crash_point(CrashPoint::kCommitPointPassed); });

  // Decided: the transaction stands even when a file fails to finish here.
  // That file's update stays bracketed, with no control record, and its
  // next operation rolls it forward; COMMIT must not report a failure that
  // would make the program do the work again.
  for (size_t i = 0; i < changed.size() && code == kOk; ++i) {
    PageStore* s = changed[i];
    guarded([&] {
      s->finish_update();
      s->write_held_updates();
      s->remove_pending_record();
    });
    if (i == 0) code = guarded([] { crash_point(CrashPoint::kFirstFileFinished); });
  }
  return code;
}

int commit_all(TransactionState& t) VRT_REQUIRES(g_mutex) {
  if (t.broken != kOk) return t.broken;
  std::vector<std::unique_lock<std::mutex>> locks;
  std::vector<PageStore*> changed;
  for (auto& store : t.stores) {
    locks.emplace_back(store->mutex());
    if (store->lost_held_updates()) return kUnableToLogTransaction;
    if (store->has_held_updates()) changed.push_back(store.get());
  }
  if (changed.size() == 1) return guarded([&] { changed.front()->write_held_updates(); });
  if (changed.empty()) return kOk;
  return commit_across(t, changed);
}

void forget_table(TransactionState& t, BdxTable& table) {
  t.tables.erase(std::remove(t.tables.begin(), t.tables.end(), &table), t.tables.end());
  if (t.tables.empty()) t = TransactionState{};
}

}  // namespace

int transaction_enlist(BdxTable& table, int32_t seconds) {
  platform::MutexLock guard(g_mutex);
  TransactionState& t = g_state;
  // A transaction that was resolved but not told to all its tables ends.
  if (t.resolved) t = TransactionState{};
  PageStore& store = table.store();
  std::string control = directory_of(store.name()) + kControlFileName;
  bool listed = std::find(t.control_files.begin(), t.control_files.end(), control) != t.control_files.end();
  if (!listed && t.control_files.size() >= kMaxControlFiles)
    return guarded([] { fail_internal(kFailTooManyControlFiles); });
  bool known = false;
  for (auto& s : t.stores) known = known || s.get() == &store;
  if (!known) {
    std::lock_guard<std::mutex> store_guard(store.mutex());
    // Updates held by STREAM go out first: they are not the transaction's.
    store.hold_updates(false);
    if (store.has_held_updates()) {
      int code = guarded([&] { store.write_held_updates(); });
      if (code != kOk) return code;
    }
    if (!store.take_writer_byte(seconds)) return kAccessDenied;
    store.set_enlisted(true);
    t.stores.push_back(table.shared_store());
  }
  if (!listed) t.control_files.push_back(control);
  t.tables.push_back(&table);
  return kOk;
}

int transaction_commit(BdxTable& table) {
  platform::MutexLock guard(g_mutex);
  TransactionState& t = g_state;
  if (!t.resolved) {
    t.result = commit_all(t);
    end_transaction(t);  // a failed commit forgets every held update
    t.resolved = true;
  }
  int result = t.result;
  forget_table(t, table);
  return result;
}

int transaction_rollback(BdxTable& table) {
  platform::MutexLock guard(g_mutex);
  TransactionState& t = g_state;
  if (!t.resolved) {
    end_transaction(t);
    t.resolved = true;
    t.result = kOk;
  }
  forget_table(t, table);
  return kOk;
}

void transaction_leave(BdxTable& table) {
  platform::MutexLock guard(g_mutex);
  TransactionState& t = g_state;
  if (std::find(t.tables.begin(), t.tables.end(), &table) == t.tables.end()) return;
  if (!t.resolved) {
    end_transaction(t);
    t.broken = kUnableToLogTransaction;
  }
  forget_table(t, table);
}

std::string transaction_control_name() {
  platform::MutexLock guard(g_mutex);
  return g_control_name;
}

void set_transaction_control_name(const std::string& name) {
  platform::MutexLock guard(g_mutex);
  g_control_name = name;
}

// Recovery in the page store asks here whether a pending transaction
// committed; installed as soon as this layer is part of the program.
[[maybe_unused]] const bool g_commit_point_check_installed =
    (set_commit_point_check(transaction_reached_commit_point), true);

int transaction_reached_commit_point(const std::string& data_file, const std::string& pending, bool* reached) {
  *reached = true;
  if (pending.size() < 5) return kOk;  // not a pending record: the update stands alone
  uint32_t number = load_le32(reinterpret_cast<const uint8_t*>(pending.data()));
  std::string name = pending.substr(4, pending.find('\0', 4) - 4);
  if (name == kDirectoryControlMarker) name = directory_of(data_file) + kControlFileName;
  *reached = false;
  std::shared_ptr<PageStore> control;
  WaitClock clock(name, "another process has it locked");
  for (;;) {
    int error = kOk;
    control = PageStore::open(name, platform::Access::Read, platform::Share::DenyNone,
                              platform::Disposition::OpenExisting, &error);
    if (control) break;
    if (platform::GetLastError() != platform::kErrorSharingViolation) return kOk;
    clock.tick();
    if (clock.waited() > kControlFileWait) return kAccessDenied;
    platform::sleep_hundredths(1);
  }
  bool present = true;
  if (control_record(*control, number, false, false, &present) != kOk) return kOk;
  *reached = !present;
  return kOk;
}

// ---- the pending record in a file's held updates

void PageStore::add_pending_record(const std::string& data) {
  updating_ = true;
  RecordTree tree(*this);
  if (!tree.replace(kPendingKey, data) && !tree.insert(kPendingKey, data)) fail_internal(kFailTreeShape);
  updating_ = false;
}

void PageStore::remove_pending_record() {
  try {
    // Inside the try: a begin that fails after taking the writer byte must
    // still give it back.
    begin_operation(true);
    RecordTree(*this).erase(kPendingKey);
    end_operation(true);
  } catch (...) {
    end_operation(false);
    throw;
  }
}

}  // namespace vrt::data
