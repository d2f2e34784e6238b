#include "app/integrity/file_use.h"

#include <array>
#include <memory>

#include "app/integrity/warnings.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"

namespace marlock {

namespace {

using vrt::data::FileBlock;

struct ThreadFiles {
  std::array<std::unique_ptr<FileBlock>, kFileCount> blocks;
  std::array<int, kFileCount> uses{};
};
thread_local ThreadFiles t_files;

int error() { return vrt::core::error_code(); }

}  // namespace

bool open_and_check(FileBlock& file, bool create_allowed) {
  namespace d = vrt::data;
  const std::string name = file.display_name();
  constexpr int32_t kSharedReadWrite = d::kReadWrite | d::kDenyNone;
  d::Open(file, kSharedReadWrite);
  if (error() == d::kFileAlreadyLocked) {
    // Another process left an update unfinished: resolve it, then try again.
    d::Send(file, "Recover=10");
    d::Open(file, kSharedReadWrite);
  }
  if (error() == d::kOk || error() == d::kFileAlreadyOpen) return true;
  if (error() == d::kFileNotFound) {
    if (!create_allowed) {
      standard_warning(4, name);
      return false;
    }
    d::Create(file);
    if (error() != d::kOk) {
      standard_warning(4, name);
      return false;
    }
    d::Open(file, kSharedReadWrite);
    if (error() != d::kOk) {
      standard_warning(5, name);
      return false;
    }
    return true;
  }
  if (error() == d::kInvalidDeclaration) {
    standard_warning(1, name);
    return false;
  }
  if (error() == d::kKeyMustBeRebuilt) {
    if (standard_warning(2, name) != kButtonYes) return false;
    // The keys are rebuilt on a file opened for this alone.
    d::Open(file, d::kReadWrite | d::kDenyAll);
    if (error() == d::kOk) d::Build(file);
    if (error() != d::kOk) {
      standard_warning(3, name);
      return false;
    }
    d::Close(file);
    d::Open(file, kSharedReadWrite);
    if (error() == d::kOk) return true;
  }
  standard_warning(30, name);
  end_application("Disk Error");
  return false;
}

FileBlock* use_file(FileId id) {
  size_t i = static_cast<size_t>(id);
  if (t_files.uses[i] == 0) {
    if (!t_files.blocks[i]) {
      t_files.blocks[i] = std::make_unique<FileBlock>();
      make_file_block(*t_files.blocks[i], id);
    }
    if (!open_and_check(*t_files.blocks[i], id != FileId::Customer)) return nullptr;
  }
  ++t_files.uses[i];
  return t_files.blocks[i].get();
}

void release_file(FileId id) {
  size_t i = static_cast<size_t>(id);
  if (t_files.uses[i] == 0) return;
  if (--t_files.uses[i] == 0) vrt::data::Close(*t_files.blocks[i]);
}

int file_uses(FileId id) { return t_files.uses[static_cast<size_t>(id)]; }

}  // namespace marlock
