#include "runtime/data/bdx/table_remove.h"

#include "runtime/data/bdx/store/page_store.h"
#include "runtime/data/bdx/store/record_keys.h"
#include "runtime/data/bdx/store/record_tree.h"
#include "runtime/data/bdx/store/store_operation.h"
#include "runtime/data/bdx/table_name.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/driver_failure.h"
#include "runtime/platform/os/file.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::data {

int remove_table(const FileDeclaration& d) {
  TableAddress a = split_table_name(d.name.empty() ? d.label : d.name);
  if (a.table.empty()) return kInvalidFilename;
  std::string full = full_file_name(a.file);
  if (PageStore::in_use(full)) return kAccessDenied;
  // Denying every other opener: an open elsewhere refuses this one (5), and
  // no one opens the file while its table goes.
  int error;
  auto store = PageStore::open(full, platform::Access::ReadWrite, platform::Share::DenyAll,
                               platform::Disposition::OpenExisting, &error, d.has_owner ? d.owner : std::string());
  if (!store) return error;
  bool last_table = false;
  int code = run_on_store(*store, true, [&] {
    RecordTree t(*store);
    std::string name_key = table_name_key(a.table);
    PageRecord name;
    if (!t.find(name_key, &name)) return static_cast<int>(kFileNotFound);
    if (name.data().size() != 4) fail_internal(kFailRecordShape);
    // Other tables: other name records (every name key starts with FE).
    bool others = false;
    PageRecord r;
    const std::string names = table_name_key("");
    std::string from = names;
    for (bool strictly = false; !others && t.seek(from, strictly, &r) && has_prefix(r.key(), names); strictly = true) {
      others = r.key() != name_key;
      from.assign(r.key());
    }
    if (!others) {
      last_table = true;  // the file goes whole: nothing to write
      return static_cast<int>(kOk);
    }
    std::string prefix;
    append_be32(&prefix, be32_at(name.data(), 0));
    while (t.seek(prefix, false, &r) && has_prefix(r.key(), prefix)) t.erase(r.key());
    t.erase(name_key);
    return static_cast<int>(kOk);
  });
  if (code != kOk) return code;
  // Deleted while this handle still denies others: no one is inside it.
  if (last_table && !platform::delete_file(full)) return static_cast<int>(platform::GetLastError());
  return kOk;
}

}  // namespace vrt::data
