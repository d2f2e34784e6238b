// A resource buffer read as untrusted bytes. Every read is bounds-checked;
// check_structure() walks a whole structure once (every record, every
// reference, every child list) so that damage is found where the structure
// is opened, not half-way through creating its controls.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/resource/resource_format.h"

namespace vrt::window {

struct VariableDescriptor {
  uint8_t type = 0;
  uint32_t size = 0;
  uint32_t places = 0;
};

struct FontRecord {
  std::string typeface;
  uint32_t points = 0;
  int32_t colour = -1;
  int32_t style = -1;
};

class ResourceBuffer {
 public:
  // Splits a resource into its module name and buffer; nullopt when the
  // name has no terminating NUL.
  static std::optional<ResourceBuffer> from_resource(std::span<const uint8_t> resource);

  const std::string& module() const { return module_; }
  uint32_t size() const { return static_cast<uint32_t>(bytes_.size()); }
  std::span<const uint8_t> bytes() const { return bytes_; }

  bool fits(uint32_t offset, uint32_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  // Reads outside the buffer give 0 (callers check first; this only keeps
  // a mistake from reading past the end).
  uint8_t u8(uint32_t offset) const;
  uint16_t u16(uint32_t offset) const;
  uint32_t u32(uint32_t offset) const;
  int32_t i32(uint32_t offset) const { return static_cast<int32_t>(u32(offset)); }
  // The NUL-terminated text at an offset; empty for 0 or an unterminated one.
  std::string_view text(uint32_t offset) const;
  bool text_fits(uint32_t offset) const;

  // Record fields.
  uint8_t type(uint32_t record) const { return u8(record + kTypeAt); }
  uint32_t next(uint32_t record) const { return u32(record + kNextAt); }
  uint32_t flags(uint32_t record) const { return u32(record + kFlagsAt); }
  int32_t field_number(uint32_t record) const { return i32(record + kFieldAt); }
  uint32_t first_structure() const { return u32(kFirstStructureAt); }
  // A field by the name of the record type's shape (0 when it has none).
  uint32_t field(uint32_t record, std::string_view name, int index = 0) const;
  VariableDescriptor descriptor(uint32_t offset) const;
  FontRecord font(uint32_t offset) const;
  std::vector<int32_t> widths(uint32_t offset) const;

 private:
  std::string module_;
  std::vector<uint8_t> bytes_;
};

// What check_structure found, or "" when the structure is sound.
struct Damage {
  uint32_t at = 0;
  std::string what;
  explicit operator bool() const { return !what.empty(); }
};

// Walks the top-level list (labels readable, next offsets forward).
Damage check_top_level(const ResourceBuffer& buffer);
// Walks one structure with all it refers to. Records may be reached once
// only, next offsets point forward, nesting is limited.
Damage check_structure(const ResourceBuffer& buffer, uint32_t structure);

}  // namespace vrt::window
