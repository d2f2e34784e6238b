// Any bytes read as a page decode into a page or are refused; a page that
// decodes encodes again and decodes to the same records; a lookup in the
// stored bytes of a page that decodes finds what the decoded page holds,
// by a guide to the page too; a guide is made exactly for the leaves that
// decode.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "runtime/data/bdx/store/bdx_page.h"
#include "runtime/data/bdx/store/page_compression.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vrt::data;
  std::vector<uint8_t> bytes(data, data + size);
  // The decoder reads the page at unit 0: its first four bytes must say so.
  if (bytes.size() >= 4) bytes[0] = 0x00, bytes[1] = 0x02, bytes[2] = 0, bytes[3] = 0;
  Page page;
  if (decode_page(bytes.data(), bytes.size(), 0, &page) == kPageOk) {
    std::vector<uint8_t> again;
    if (encode_page(page, 0, &again)) {
      Page back;
      if (decode_page(again.data(), again.size(), 0, &back) != kPageOk) __builtin_trap();
      if (back.records.size() != page.records.size()) __builtin_trap();
      for (size_t i = 0; i < back.records.size(); ++i)
        if (back.records[i].bytes != page.records[i].bytes || back.records[i].key_length != page.records[i].key_length)
          __builtin_trap();
    }
  }
  // Lookups in the stored bytes, for a key taken from the input's tail:
  // on any bytes they end; on a leaf that decodes they agree with it.
  std::string_view key(reinterpret_cast<const char*>(data) + size / 2, size - size / 2);
  PageGuide guide;
  bool guided = guide_stored_page(bytes.data(), bytes.size(), 0, &guide) == kPageOk;
  bool decodes = decode_page(bytes.data(), bytes.size(), 0, &page) == kPageOk;
  bool leaf = decodes && page.level == 0;
  if (guided != decodes) __builtin_trap();
  // An index page sends the key to the child the decoded page does, by a
  // guide or without.
  for (const PageGuide* g : {static_cast<const PageGuide*>(nullptr), static_cast<const PageGuide*>(&guide)}) {
    IndexStep step;
    PageFault f = child_in_stored_index(bytes.data(), bytes.size(), 0, key, guided ? g : nullptr, &step);
    if (!decodes || leaf) continue;
    if (f != kPageOk) __builtin_trap();
    size_t i = page.child_for(key);
    if (step.index != i || step.child != page.children[i] || step.first != page.records[i].key()) __builtin_trap();
    if (step.has_next != (i + 1 < page.records.size())) __builtin_trap();
    if (step.has_next && step.next != page.records[i + 1].key()) __builtin_trap();
  }
  for (int round = 0; round < 4; ++round) {
    bool strictly = round % 2;
    if (round >= 2 && !leaf) break;
    PageRecord found;
    bool any = false;
    PageFault f = seek_in_stored_leaf(bytes.data(), bytes.size(), 0, key, strictly, &found, &any,
                                      round >= 2 ? &guide : nullptr);
    if (!leaf) continue;
    if (f != kPageOk) __builtin_trap();
    size_t i = page.lower_bound(key);
    if (strictly && i < page.records.size() && page.records[i].key() == key) ++i;
    if (any != (i < page.records.size())) __builtin_trap();
    if (any && (found.bytes != page.records[i].bytes || found.key_length != page.records[i].key_length))
      __builtin_trap();
  }
  // The body decoder on its own, into a small output; by steps, some passed
  // over, it fails or writes the same bytes.
  uint8_t out[512], stepped[512];
  size_t want = size ? data[0] * 2u : 0;
  bool whole = decompress_body(data, size, out, want);
  BodyExpander expander(data, size, stepped, want);
  for (size_t i = 1; expander.expanded() < want; ++i) {
    size_t from = expander.expanded();
    bool write = i % 2;
    if (!expander.expand_to(from + 1 + data[i % size] % 37, write)) {
      if (whole) __builtin_trap();
      break;
    }
    if (write && std::memcmp(out + from, stepped + from, expander.expanded() - from) != 0 && whole) __builtin_trap();
  }
  if (expander.expanded() == want && !whole) __builtin_trap();
  return 0;
}
