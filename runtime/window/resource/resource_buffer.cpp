// Reading the resource buffer; the byte layout is in resource_format.h.
#include "runtime/window/resource/resource_buffer.h"

#include <cstring>

namespace vrt::window {

std::optional<ResourceBuffer> ResourceBuffer::from_resource(std::span<const uint8_t> resource) {
  const void* nul = std::memchr(resource.data(), 0, resource.size());
  if (!nul) return std::nullopt;
  size_t name_length = static_cast<const uint8_t*>(nul) - resource.data();
  // The buffer must stay addressable by u32 offsets.
  if (resource.size() - name_length - 1 > UINT32_MAX - kBufferPrefix) return std::nullopt;
  ResourceBuffer b;
  b.module_.assign(reinterpret_cast<const char*>(resource.data()), name_length);
  b.bytes_.assign(kBufferPrefix, 0);
  b.bytes_.insert(b.bytes_.end(), resource.begin() + name_length + 1, resource.end());
  return b;
}

uint8_t ResourceBuffer::u8(uint32_t offset) const { return fits(offset, 1) ? bytes_[offset] : 0; }

uint16_t ResourceBuffer::u16(uint32_t offset) const {
  if (!fits(offset, 2)) return 0;
  return static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
}

uint32_t ResourceBuffer::u32(uint32_t offset) const {
  if (!fits(offset, 4)) return 0;
  const uint8_t* p = bytes_.data() + offset;
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool ResourceBuffer::text_fits(uint32_t offset) const {
  return offset < bytes_.size() && std::memchr(bytes_.data() + offset, 0, bytes_.size() - offset) != nullptr;
}

std::string_view ResourceBuffer::text(uint32_t offset) const {
  if (offset == 0 || !text_fits(offset)) return {};
  return reinterpret_cast<const char*>(bytes_.data() + offset);
}

uint32_t ResourceBuffer::field(uint32_t record, std::string_view name, int index) const {
  const RecordShape* shape = record_shape(type(record));
  if (!shape) return 0;
  for (const FieldShape& f : shape->fields) {
    if (name != f.name || index >= f.count) continue;
    if (f.kind == FieldKind::Word10) return u16(record + f.at + 2 * index) * 10u;
    return u32(record + f.at + 4 * index);
  }
  return 0;
}

VariableDescriptor ResourceBuffer::descriptor(uint32_t offset) const {
  if (offset == 0 || !fits(offset, kDescriptorSize)) return {};
  return {u8(offset), u32(offset + 1), u32(offset + 5)};
}

FontRecord ResourceBuffer::font(uint32_t offset) const {
  if (offset == 0 || !fits(offset, kFontRecordSize)) return {};
  return {std::string(text(u32(offset))), u32(offset + 4), i32(offset + 8), i32(offset + 12)};
}

std::vector<int32_t> ResourceBuffer::widths(uint32_t offset) const {
  std::vector<int32_t> out;
  for (uint32_t at = offset; offset != 0 && fits(at, 4) && out.size() < kMaxStatusSegments; at += 4) {
    int32_t w = i32(at);
    if (w == 0) break;
    out.push_back(w);
  }
  return out;
}

}  // namespace vrt::window
