// Resource bytes from outside: the loader must end every damaged input in
// a Damage report, and a structure it passes must read without going out
// of bounds when every record and reference is followed.
#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/window/resource/resource_buffer.h"

namespace {

using vrt::window::FieldKind;
using vrt::window::ResourceBuffer;

void read_all(const ResourceBuffer& b, uint32_t first, uint32_t depth) {
  for (uint32_t at = first; at != 0 && depth <= vrt::window::kMaxNesting; at = b.next(at)) {
    const vrt::window::RecordShape* shape = vrt::window::record_shape(b.type(at));
    if (!shape) continue;
    for (const vrt::window::FieldShape& f : shape->fields) {
      uint32_t v = b.field(at, f.name);
      switch (f.kind) {
        case FieldKind::Text: (void)b.text(v); break;
        case FieldKind::Descriptor: (void)b.descriptor(v); break;
        case FieldKind::Font: (void)b.font(v); break;
        case FieldKind::Widths: (void)b.widths(v); break;
        case FieldKind::Children: read_all(b, v, depth + 1); break;
        default: break;
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto buffer = ResourceBuffer::from_resource(std::span<const uint8_t>(data, size));
  if (!buffer || vrt::window::check_top_level(*buffer)) return 0;
  for (uint32_t at = buffer->first_structure(); at != 0; at = buffer->next(at)) {
    if (vrt::window::check_structure(*buffer, at)) continue;
    // A sound structure: its own record, and everything below it.
    uint32_t saved = at;
    const vrt::window::RecordShape* shape = vrt::window::record_shape(buffer->type(at));
    for (const vrt::window::FieldShape& f : shape->fields)
      if (f.kind == FieldKind::Children) read_all(*buffer, buffer->field(saved, f.name), 1);
  }
  return 0;
}
