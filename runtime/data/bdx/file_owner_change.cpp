#include "runtime/data/bdx/file_owner_change.h"

#include <cstring>

#include "runtime/data/bdx/store/store_operation.h"
#include "runtime/data/bdx/table_name.h"
#include "runtime/platform/os/file.h"

namespace vrt::data {

int change_file_owner(const std::string& path, const std::string& from_owner, const std::string& to_owner) {
  std::string name = full_file_name(path);
  std::string scratch = name + ".owner-change";
  if (PageStore::in_use(name)) return kAccessDenied;
  int error = kOk;
  // Nobody else may change the file meanwhile, nor have it open.
  auto source = PageStore::open(name, platform::Access::ReadWrite, platform::Share::DenyAll,
                                platform::Disposition::OpenExisting, &error, from_owner);
  if (!source) return error;
  auto target = PageStore::open(scratch, platform::Access::ReadWrite, platform::Share::DenyAll,
                                platform::Disposition::CreateAlways, &error, to_owner);
  if (!target) return error;
  int code = run_on_store(*source, false, [&] {
    return run_on_store(*target, true, [&] {
      RecordTree from(*source), to(*target);
      std::memcpy(target->header().last_number, source->header().last_number, 4);
      PageRecord r;
      bool more = from.first(&r);
      while (more) {
        if (!to.insert(r.key(), r.data())) return static_cast<int>(kInvalidDataFile);
        std::string key(r.key());
        more = from.seek(key, true, &r);
      }
      return static_cast<int>(kOk);
    });
  });
  source.reset();
  target.reset();
  if (code != kOk) {
    platform::delete_file(scratch);
    return code;
  }
  return platform::replace_file(scratch, name) ? kOk : kFileSystemError;
}

}  // namespace vrt::data
