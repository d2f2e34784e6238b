// The native driver's operations on a file as a whole (COPY, RENAME, PACK),
// on fields of the buffer (NULL, SETNULL, SETNONULL, BLOB_SIZE), BUILD's
// progress report (BUILDevent) and BUFFER, which the page cache makes a
// hint to accept and need not act on.
#include "runtime/data/bdx/bdx_file_operations.h"

#include "runtime/data/bdx/bdx_table.h"
#include "runtime/data/bdx/store/store_operation.h"
#include "runtime/data/bdx/table_name.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/field_types.h"
#include "runtime/data/driver/operation_table.h"
#include "runtime/platform/os/file.h"
#include "runtime/platform/os/system_error.h"

namespace vrt::data {

namespace {

BdxTable& table(DriverCall& c) { return *bdx_table(*c.file); }
DriverArg arg(const DriverCall& c, int i) { return c.args ? c.args[i] : 0; }

// The file a FILE's name selects, and the file a new name gives.
bool files_of(DriverCall& c, std::string* from, std::string* to) {
  const FileDeclaration& d = c.file->declaration;
  TableAddress a = split_table_name(d.name.empty() ? d.label : d.name);
  TableAddress b = split_table_name(c.strings[0]);
  *from = full_file_name(a.file);
  *to = full_file_name(b.file);
  return !a.table.empty() && !c.strings[0].empty();
}

// A system error as the driver posts it: its number plus 300.
int system_error() { return 300 + static_cast<int>(platform::GetLastError()); }

// COPY: the file's bytes as they stand between updates (a reader slot keeps
// updaters from writing meanwhile; an interrupted update is resolved
// first), to a new file or over an old one that nobody has open.
int op_copy(DriverCall& c) {
  std::string from, to;
  if (!files_of(c, &from, &to)) return kInvalidFilename;
  if (from == to || PageStore::in_use(to)) return kAccessDenied;
  const FileDeclaration& d = c.file->declaration;
  int error;
  auto source = PageStore::open(from, platform::Access::Read, platform::Share::DenyNone,
                                platform::Disposition::OpenExisting, &error, d.has_owner ? d.owner : std::string());
  if (!source) return error;
  auto target = platform::File::open(to, platform::Access::ReadWrite, platform::Share::DenyAll,
                                     platform::Disposition::CreateAlways);
  if (!target) return platform::GetLastError() == platform::kErrorSharingViolation ? kAccessDenied : system_error();
  return run_on_store(*source, false, [&] {
    int64_t size = source->file().size();
    std::vector<uint8_t> buffer(1 << 16);
    for (int64_t at = 0; at < size;) {
      size_t n = static_cast<size_t>(std::min<int64_t>(size - at, static_cast<int64_t>(buffer.size())));
      if (source->file().read_at(static_cast<uint64_t>(at), buffer.data(), n) != static_cast<int64_t>(n) ||
          target->write_at(static_cast<uint64_t>(at), buffer.data(), n) != static_cast<int64_t>(n))
        return static_cast<int>(kFileSystemError);
      at += static_cast<int64_t>(n);
    }
    return static_cast<int>(target->flush() ? kOk : kFileSystemError);
  });
}

// RENAME: only a file that nobody has open, to a name not taken.
int op_rename(DriverCall& c) {
  std::string from, to;
  if (!files_of(c, &from, &to)) return kInvalidFilename;
  if (PageStore::in_use(from)) return kAccessDenied;
  auto alone = platform::File::open(from, platform::Access::ReadWrite, platform::Share::DenyAll);
  if (!alone) {
    uint32_t e = platform::GetLastError();
    if (e == platform::kErrorSharingViolation) return kAccessDenied;
    return e == platform::kErrorFileNotFound ? kFileNotFound : system_error();
  }
  return platform::move_file(from, to) ? kOk : system_error();
}

// PACK: freed pages are reused at once and a deleted record leaves no gap
// behind, so there is nothing to squeeze out of the tree; PACK rebuilds
// every key and gives back the space past the pages.
int op_pack(DriverCall& c) {
  BdxTable& t = table(c);
  if (!t.is_open()) return kFileNotOpen;
  int code = run_on_store(t.store(), true, [&] {
    for (size_t k = 0; k < t.declaration().keys.size(); ++k) {
      if (t.declaration().keys[k].dynamic_index()) continue;
      if (int r = t.build_key(static_cast<int>(k))) return r;
    }
    return static_cast<int>(kOk);
  });
  if (code != kOk || t.store().enlisted()) return code;
  return run_on_store(t.store(), true, [&] {
    t.store().trim_shadow_area();
    return static_cast<int>(kOk);
  });
}

bool field_number(DriverCall& c, int32_t* field) {
  *field = static_cast<int32_t>(arg(c, 0));
  return *field >= 1 && static_cast<size_t>(*field) <= c.file->declaration.fields.size();
}

int op_null(DriverCall& c) {
  int32_t field;
  if (!field_number(c, &field)) return kRecordNotAvailable;
  c.result = table(c).null_fields.count(field) ? 1 : 0;
  return kOk;
}

// SETNULL leaves the field empty (blanks or zeros) as well: what is stored
// for a null field is its empty value.
int op_set_null(DriverCall& c) {
  int32_t field;
  if (!field_number(c, &field)) return kRecordNotAvailable;
  FileBlock& f = *c.file;
  const FieldDescriptor& d = f.declaration.fields[static_cast<size_t>(field - 1)];
  if (c.operation == kOpSetNonull) {
    table(c).null_fields.erase(field);
    return kOk;
  }
  if (d.type != kTypeGroup && d.offset + d.total_size() <= f.record.size())
    std::fill(f.record.begin() + d.offset, f.record.begin() + d.offset + d.total_size(),
              d.type == kTypeString ? ' ' : 0);
  table(c).null_fields.insert(field);
  return kOk;
}

int op_blob_size(DriverCall& c) {
  int32_t n = static_cast<int32_t>(arg(c, 0));
  auto& memos = c.file->declaration.memos;
  if (n < 0 || static_cast<size_t>(n) >= memos.size()) return kRecordNotAvailable;
  c.result = static_cast<int32_t>(memos[static_cast<size_t>(n)].value.size());
  return kOk;
}

int op_build_event(DriverCall& c) {
  BdxTable& t = table(c);
  t.build_progress = reinterpret_cast<BuildProgress>(arg(c, 0));
  t.build_context = reinterpret_cast<void*>(arg(c, 1));
  return kOk;
}

int op_buffer(DriverCall&) { return kOk; }

}  // namespace

void add_file_operations(OperationHandler* at) {
  at[kOpCopy] = op_copy;
  at[kOpRename] = op_rename;
  at[kOpPack] = op_pack;
  at[kOpNull] = op_null;
  at[kOpSetNull] = op_set_null;
  at[kOpSetNonull] = op_set_null;
  at[kOpBlobSize] = op_blob_size;
  at[kOpBuildEvent] = op_build_event;
  at[kOpBuffer] = op_buffer;
}

}  // namespace vrt::data
