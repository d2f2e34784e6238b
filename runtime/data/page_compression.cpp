#include "runtime/data/page_compression.h"

#include <cstring>

namespace vrt::data {

namespace {

void put_count(std::vector<uint8_t>* out, size_t n) {
  while (n >= 128) {
    out->push_back(static_cast<uint8_t>(0x80 | (n & 0x7F)));
    n >>= 7;
  }
  out->push_back(static_cast<uint8_t>(n));
}

// Reads a count; at most four bytes (28 bits) are accepted.
bool get_count(const uint8_t* in, size_t size, size_t* pos, size_t* n) {
  size_t v = 0;
  for (int shift = 0; shift < 28; shift += 7) {
    if (*pos >= size) return false;
    uint8_t b = in[(*pos)++];
    v |= static_cast<size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) {
      *n = v;
      return true;
    }
  }
  return false;
}

}  // namespace

bool compress_body(const uint8_t* body, size_t size, std::vector<uint8_t>* out) {
  std::vector<uint8_t> coded;
  coded.reserve(size);
  size_t literal_start = 0, p = 0;
  bool any_run = false;
  while (p < size) {
    size_t n = 1;
    while (p + n < size && body[p + n] == body[p]) ++n;
    if (n < 4) {
      p += n;
      continue;
    }
    any_run = true;
    put_count(&coded, p - literal_start + 1);
    coded.insert(coded.end(), body + literal_start, body + p + 1);
    put_count(&coded, n - 1);
    p += n;
    literal_start = p;
  }
  if (!any_run) return false;
  put_count(&coded, size - literal_start);
  coded.insert(coded.end(), body + literal_start, body + size);
  *out = std::move(coded);
  return true;
}

bool decompress_body(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size) {
  size_t pos = 0, done = 0;
  while (done < out_size) {
    size_t literals, repeats;
    if (!get_count(in, in_size, &pos, &literals)) return false;
    if (literals > out_size - done || literals > in_size - pos) return false;
    std::memcpy(out + done, in + pos, literals);
    done += literals;
    pos += literals;
    if (done == out_size) break;
    if (!get_count(in, in_size, &pos, &repeats)) return false;
    if (repeats > out_size - done || (repeats > 0 && done == 0)) return false;
    uint8_t last = done ? out[done - 1] : 0;
    std::memset(out + done, last, repeats);
    done += repeats;
  }
  return true;
}

}  // namespace vrt::data
