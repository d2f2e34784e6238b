// Checking a structure before anything is built from it. The walk visits
// every record once: a record reached a second time (a loop, or two lists
// sharing a tail) is damage, so the work is linear in the buffer's size.
#include <string>
#include <vector>

#include "runtime/window/resource/resource_buffer.h"

namespace vrt::window {

namespace {

class Checker {
 public:
  explicit Checker(const ResourceBuffer& b) : b_(b), seen_(b.size(), false) {}

  Damage list(uint32_t first, uint32_t depth) {
    if (depth > kMaxNesting) return {first, "records nested too deeply"};
    for (uint32_t at = first; at != 0;) {
      if (Damage d = record(at, depth)) return d;
      uint32_t next = b_.next(at);
      if (next != 0 && next <= at) return {at, "next record offset points backwards"};
      at = next;
    }
    return {};
  }
  Damage one(uint32_t at) { return record(at, 0); }

 private:
  Damage record(uint32_t at, uint32_t depth) {
    if (!b_.fits(at, kRecordHeaderSize) || at < kFirstStructureAt + 4) return {at, "record offset outside the buffer"};
    if (seen_[at]) return {at, "record reached twice"};
    seen_[at] = true;
    const RecordShape* shape = record_shape(b_.type(at));
    if (!shape) return {at, "record type " + std::to_string(b_.type(at)) + " is unknown"};
    if (!b_.fits(at, shape->size)) return {at, "record truncated"};
    for (const FieldShape& f : shape->fields)
      if (Damage d = reference(at, f, depth)) return d;
    return {};
  }

  Damage reference(uint32_t record, const FieldShape& f, uint32_t depth) {
    uint32_t target = b_.u32(record + f.at);
    if (target == 0) return {};
    switch (f.kind) {
      case FieldKind::Int:
      case FieldKind::Unsigned:
      case FieldKind::Word10:
        return {};
      case FieldKind::Text:
        return b_.text_fits(target) ? Damage{} : Damage{record, std::string(f.name) + " text outside the buffer"};
      case FieldKind::Descriptor:
        return b_.fits(target, kDescriptorSize) ? Damage{} : Damage{record, "variable descriptor outside the buffer"};
      case FieldKind::Pen:
        return b_.fits(target, kPenBlockSize) ? Damage{} : Damage{record, "pen block outside the buffer"};
      case FieldKind::Font:
        if (!b_.fits(target, kFontRecordSize)) return {record, "font record outside the buffer"};
        if (uint32_t face = b_.u32(target); face != 0 && !b_.text_fits(face))
          return {record, "typeface outside the buffer"};
        return {};
      case FieldKind::Widths:
        for (uint32_t at = target, n = 0;; at += 4, ++n) {
          if (n > kMaxStatusSegments || !b_.fits(at, 4)) return {record, "status-bar block not ended"};
          if (b_.i32(at) == 0) return {};
        }
      case FieldKind::Children:
        if (target <= record) return {record, "child list offset points backwards"};
        return list(target, depth + 1);
    }
    return {};
  }

  const ResourceBuffer& b_;
  std::vector<bool> seen_;
};

}  // namespace

Damage check_top_level(const ResourceBuffer& buffer) {
  if (!buffer.fits(kFirstStructureAt, 4)) return {0, "buffer header truncated"};
  for (uint32_t at = buffer.first_structure(); at != 0;) {
    if (!buffer.fits(at, kRecordHeaderSize) || at < kFirstStructureAt + 4)
      return {at, "structure offset outside the buffer"};
    const RecordShape* shape = record_shape(buffer.type(at));
    if (!shape || shape->placement != Placement::TopLevel) return {at, "top-level record is neither WINDOW nor REPORT"};
    if (!buffer.fits(at, shape->size)) return {at, "structure truncated"};
    if (!buffer.text_fits(buffer.field(at, "label"))) return {at, "label outside the buffer"};
    uint32_t next = buffer.next(at);
    if (next != 0 && next <= at) return {at, "next structure offset points backwards"};
    at = next;
  }
  return {};
}

Damage check_structure(const ResourceBuffer& buffer, uint32_t structure) {
  // The top-level record itself stands alone: its siblings are other
  // structures, checked when they are opened.
  Checker checker(buffer);
  return checker.one(structure);
}

}  // namespace vrt::window
