// A file's fields as names an expression can use: each label (CUS:NAME) is
// bound to the field in the file's record buffer, read when the expression
// is evaluated, as an integer, a real or a text by its type. A view's
// filter and order are written in these names.
#pragma once
#include <vector>

#include "runtime/core/expression/expression_value.h"
#include "runtime/data/driver/file_block.h"
#include "runtime/data/view/view_key_ranges.h"

namespace vrt::data {

// A field of the record buffer (index from 0) as an expression value: an
// integer, a real or a text by its type.
core::ExprValue read_field_value(const FileBlock& file, size_t index);

// Binds every field of the file except groups, in the current scope.
void bind_record_fields(FileBlock& file);

// Names of the primary file resolve to its field numbers, names of the
// others to kOtherViewField, anything else to kNotAField.
FieldResolver view_field_resolver(const FileBlock& primary, std::vector<const FileBlock*> others = {});

}  // namespace vrt::data
