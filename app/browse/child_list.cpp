#include "app/browse/child_list.h"

#include "app/browse/browse_list.h"
#include "app/dictionary/record_fields.h"
#include "app/integrity/file_use.h"

namespace marlock {

namespace {

class BrowseChildList : public ChildList {
 public:
  BrowseChildList(vrt::window::WindowObject& form, const BrowseSpec& spec, vrt::data::FileBlock& parent,
                  int32_t list_field)
      : form_(form), spec_(spec), parent_(parent), use_(spec.file),
        list_(use_ ? std::make_unique<BrowseList>(form, spec, *use_.get(), list_field) : nullptr) {}

  bool pass() override {
    if (!list_ || !form_.is_open()) return false;
    // The list follows the parent's linking field: a new value (the form
    // opened, or the field was changed) starts it again at its first page.
    list_->set_range(RecordFields(parent_).get_long(spec_.range->parent_field));
    return list_->take(form_.event, form_.field);
  }

 private:
  vrt::window::WindowObject& form_;
  const BrowseSpec& spec_;
  vrt::data::FileBlock& parent_;
  FileUse use_;
  std::unique_ptr<BrowseList> list_;
};

}  // namespace

std::unique_ptr<ChildList> make_child_list(vrt::window::WindowObject& form, FileId parent, int32_t list_field) {
  const BrowseSpec* spec = child_browse_spec(parent);
  vrt::data::FileBlock* parent_file = use_file(parent);
  if (!spec || !parent_file) return nullptr;
  release_file(parent);  // the form holds its own use of the parent
  return std::make_unique<BrowseChildList>(form, *spec, *parent_file, list_field);
}

}  // namespace marlock
