#include "app/integrity/integrity.h"

#include <optional>

#include "app/dictionary/record_fields.h"
#include "app/integrity/file_use.h"
#include "app/integrity/saved_error.h"
#include "app/integrity/warnings.h"
#include "runtime/core/base/error_state.h"
#include "runtime/data/driver/driver_errors.h"
#include "runtime/data/driver/statements.h"

namespace marlock {

namespace {

namespace d = vrt::data;

constexpr int32_t kTransactionSeconds = 2;

// A parent and its children, as the dictionary relates them.
struct Relation {
  FileId parent, child;
  const char* parent_field;
  const char* child_field;
  size_t child_key;  // the child's key that starts with the linking field
  bool restrict_delete, cascade_update;
};

const Relation kRelations[] = {
    {FileId::Teachers, FileId::Classes, "TEA:NUMBER", "CLA:TEACHERNUMBER", 2, true, true},
    {FileId::People, FileId::Accounts, "PEO:ID", "ACC:PEO::ID", 0, true, false},
};

const Relation* relation_of(FileId parent) {
  for (const Relation& r : kRelations)
    if (r.parent == parent) return &r;
  return nullptr;
}

int error() { return vrt::core::error_code(); }

// Positions the child's key at the first child of the value and reads it:
// true with the child in the buffer, false at the end of the children (or
// on a read error, left posted for the caller).
bool first_child(d::FileBlock& child, const Relation& r, int32_t value) {
  RecordFields fields(child);
  fields.clear();  // the rest of the key at its lowest
  fields.set_long(r.child_field, value);
  d::KeyBlock& key = *child.key(r.child_key);
  d::Set(key, key);
  d::Next(child);
  if (error() != d::kOk) return false;
  return fields.get_long(r.child_field) == value;
}

// The transaction over the file and its child; message 34 when it cannot
// be framed.
bool begin(d::FileBlock& file, d::FileBlock* child, const char* action, FileId id) {
  std::vector<d::FileBlock*> files{&file};
  if (child) files.push_back(child);
  d::Logout(kTransactionSeconds, files);
  if (error() == d::kOk) return true;
  save_error();
  standard_warning(34, action, file_spec(id).label);
  return false;
}

}  // namespace

IntegrityResult integrity_delete(FileId id) {
  const Relation* r = relation_of(id);
  FileUse file(id);
  std::optional<FileUse> child;
  if (r && r->restrict_delete) child.emplace(r->child);
  if (!file || (child && !*child)) return kIntegrityFailed;
  d::FileBlock& f = *file.get();
  std::string position = d::Position(f);
  if (!begin(f, child ? child->get() : nullptr, "Delete", id)) return kIntegrityFailed;
  d::Reget(f, position);
  if (child) {
    int32_t value = RecordFields(f).get_long(r->parent_field);
    if (first_child(*child->get(), *r, value)) {
      d::Rollback();
      standard_warning(13, file_spec(r->child).label);
      return kIntegrityFailed;
    }
    if (error() != d::kOk && error() != d::kRecordNotAvailable) {
      save_error();
      standard_warning(35, file_spec(r->child).label);
      return kIntegrityFailed;
    }
  }
  d::Delete(f);
  if (error() != d::kOk) {
    save_error();
    standard_warning(17, file_spec(id).label);
    return kIntegrityFailed;
  }
  d::Commit();
  if (error() != d::kOk) {
    save_error();
    standard_warning(17, file_spec(id).label);
    return kIntegrityFailed;
  }
  return kIntegrityDone;
}

IntegrityResult integrity_update(FileId id, const std::vector<uint8_t>& before, bool ditto) {
  const Relation* r = relation_of(id);
  bool cascades = r && r->cascade_update;
  FileUse file(id);
  std::optional<FileUse> child;
  if (cascades) child.emplace(r->child);
  if (!file || (child && !*child)) return kIntegrityFailed;
  d::FileBlock& f = *file.get();
  if (!begin(f, child ? child->get() : nullptr, "Update", id)) return kIntegrityFailed;
  std::string position = d::Position(f);
  d::Put(f);
  if (error() != d::kOk) {
    bool elsewhere = error() == d::kRecordChanged;
    save_error();
    if (!elsewhere) {
      standard_warning(15, file_spec(id).label);
      return kIntegrityFailed;
    }
    standard_warning(ditto ? 38 : 15);
    // The form shows what the other station wrote.
    d::Watch(f);
    d::Reget(f, position);
    return kIntegrityChangedElsewhere;
  }
  if (cascades && before.size() == f.record.size()) {
    d::FileBlock& c = *child->get();
    std::vector<uint8_t> read_before = before;
    int32_t old_value = RecordFields(f.declaration, read_before.data()).get_long(r->parent_field);
    int32_t new_value = RecordFields(f).get_long(r->parent_field);
    // Each child is found again from the key's start: a rewritten child
    // moves within the key it is read by.
    while (old_value != new_value && first_child(c, *r, old_value)) {
      RecordFields(c).set_long(r->child_field, new_value);
      d::Put(c);
      if (error() != d::kOk) {
        save_error();
        standard_warning(15, file_spec(r->child).label);
        return kIntegrityFailed;
      }
    }
    if (error() != d::kOk && error() != d::kRecordNotAvailable) {
      save_error();
      standard_warning(35, file_spec(r->child).label);
      return kIntegrityFailed;
    }
  }
  d::Commit();
  if (error() != d::kOk) {
    save_error();
    standard_warning(15, file_spec(id).label);
    return kIntegrityFailed;
  }
  return kIntegrityDone;
}

}  // namespace marlock
