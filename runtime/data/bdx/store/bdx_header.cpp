#include "runtime/data/bdx/store/bdx_header.h"

#include <cstring>

#include "runtime/data/bdx/store/byte_order.h"

namespace vrt::data {

namespace {
constexpr char kSignature[4] = {'w', 'R', 'a', 'Q'};
constexpr size_t kStartsAt = 32, kEndsAt = 272;
static_assert(kEndsAt + 4 * kPageClasses == kHeaderSize, "header layout fills 512 bytes");
}  // namespace

uint32_t BdxHeader::units_end() const {
  uint32_t end = area_end[0];
  for (int k = 1; k <= kMaxPageUnits; ++k)
    if (area_end[k] > area_start[k] && area_end[k] > end) end = area_end[k];
  return end;
}

int BdxHeader::class_of(uint32_t unit) const {
  for (int k = 1; k <= kMaxPageUnits; ++k)
    if (area_start[k] <= unit && unit < area_end[k]) return k;
  return 0;
}

void encode_header(const BdxHeader& h, uint8_t out[kHeaderSize]) {
  std::memset(out, 0, kHeaderSize);
  store_le32(out + 0, h.reserved0);
  store_le16(out + kStoredSizeAt, h.header_size);
  store_le32(out + kCommittedEndAt, h.committed_end);
  store_le32(out + kShadowEndAt, h.shadow_end);
  std::memcpy(out + kSignatureAt, kSignature, 4);
  store_le16(out + 18, h.reserved18);
  std::memcpy(out + 20, h.last_number, 4);
  store_le32(out + 24, h.change_count);
  store_le32(out + 28, static_cast<uint32_t>(h.root));
  for (int k = 0; k < kPageClasses; ++k) {
    store_le32(out + kStartsAt + 4 * k, h.area_start[k]);
    store_le32(out + kEndsAt + 4 * k, h.area_end[k]);
  }
}

bool decode_header(const uint8_t* in, size_t size, BdxHeader* h) {
  if (size < kHeaderSize || std::memcmp(in + kSignatureAt, kSignature, 4) != 0) return false;
  BdxHeader r;
  r.reserved0 = load_le32(in);
  r.header_size = load_le16(in + kStoredSizeAt);
  r.committed_end = load_le32(in + kCommittedEndAt);
  r.shadow_end = load_le32(in + kShadowEndAt);
  r.reserved18 = load_le16(in + 18);
  std::memcpy(r.last_number, in + 20, 4);
  r.change_count = load_le32(in + 24);
  r.root = static_cast<int32_t>(load_le32(in + 28));
  for (int k = 0; k < kPageClasses; ++k) {
    r.area_start[k] = load_le32(in + kStartsAt + 4 * k);
    r.area_end[k] = load_le32(in + kEndsAt + 4 * k);
  }
  // Every area holds whole pages of its class, lies within the addressable
  // units and overlaps no other.
  if (r.area_start[0] != 0 || r.area_end[0] > 1) return false;
  for (int k = 1; k <= kMaxPageUnits; ++k) {
    uint32_t s = r.area_start[k], e = r.area_end[k];
    if (s != e && s < r.area_end[0]) return false;  // over the key block
    if (s > e || e > kMaxUnits || (e - s) % static_cast<uint32_t>(k) != 0) return false;
    if (s == e) continue;
    for (int j = k + 1; j <= kMaxPageUnits; ++j)
      if (r.area_start[j] < r.area_end[j] && r.area_start[j] < e && s < r.area_end[j]) return false;
  }
  if (r.root != kNoRoot && (r.root < 0 || r.class_of(static_cast<uint32_t>(r.root)) == 0)) return false;
  if (r.shadow_end < r.committed_end) return false;
  *h = r;
  return true;
}

bool take_next_number(uint8_t n[4], uint32_t* number) {
  uint8_t next[4];
  std::memcpy(next, n, 4);
  for (int i = 3; i >= 0; --i)
    if (++next[i] != 0) break;
  if (next[0] >= 254) return false;
  std::memcpy(n, next, 4);
  *number = load_be32(n);
  return true;
}

}  // namespace vrt::data
