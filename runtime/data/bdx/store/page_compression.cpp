#include "runtime/data/bdx/store/page_compression.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vrt::data {

namespace {

uint8_t* put_count(uint8_t* out, size_t n) {
  while (n >= 128) {
    *out++ = static_cast<uint8_t>(0x80 | (n & 0x7F));
    n >>= 7;
  }
  *out++ = static_cast<uint8_t>(n);
  return out;
}

uint8_t* put_literals(uint8_t* out, const uint8_t* from, size_t n) {
  out = put_count(out, n);
  std::memcpy(out, from, n);
  return out + n;
}

// The first position from p on where four equal bytes begin; size when
// there is none. Eight positions are tested at a time: in the word XOR of
// the bytes with the next three, a zero byte marks a run's start.
size_t next_run(const uint8_t* body, size_t p, size_t size) {
  static_assert(std::endian::native == std::endian::little, "the first byte is the word's lowest");
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  for (; p + 11 <= size; p += 8) {
    uint64_t w[4];
    for (int i = 0; i < 4; ++i) std::memcpy(&w[i], body + p + i, 8);
    uint64_t x = (w[0] ^ w[1]) | (w[0] ^ w[2]) | (w[0] ^ w[3]);
    uint64_t zero = (x - kOnes) & ~x & kHighs;  // the lowest marked byte is exact
    if (zero) return p + static_cast<size_t>(std::countr_zero(zero) >> 3);
  }
  for (; p + 4 <= size; ++p)
    if (body[p] == body[p + 1] && body[p] == body[p + 2] && body[p] == body[p + 3]) return p;
  return size;
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
  // Every pair but the last covers at least a 4-byte run, and no count
  // takes more bytes than one for the whole size: this bounds the output,
  // which is laid out in a buffer kept for the next page.
  size_t count_bytes = 1;
  for (size_t n = size; n >= 128; n >>= 7) ++count_bytes;
  size_t bound = size + 2 * count_bytes * (size / 4 + 2);
  static thread_local std::vector<uint8_t> coded;
  if (coded.size() < bound) coded.resize(bound);
  uint8_t* at = coded.data();
  size_t literal_start = 0, p = 0;
  bool any_run = false;
  while ((p = next_run(body, p, size)) < size) {
    size_t n = 4;
    while (p + n < size && body[p + n] == body[p]) ++n;
    any_run = true;
    at = put_literals(at, body + literal_start, p - literal_start + 1);
    at = put_count(at, n - 1);
    p += n;
    literal_start = p;
  }
  if (!any_run) return false;
  at = put_literals(at, body + literal_start, size - literal_start);
  out->assign(coded.data(), at);
  return true;
}

bool BodyExpander::read_count(size_t* n) {
  if (pos_ < in_size_ && in_[pos_] < 0x80) {
    *n = in_[pos_++];
    return true;
  }
  return get_count(in_, in_size_, &pos_, n);
}

bool BodyExpander::expand_to(size_t upto, bool write) {
  upto = std::min(upto, out_size_);
  // Short literals and repeats, most of a page of padded fields, are
  // written 16 bytes at once where both buffers have the room; what lands
  // past the expanded end is written over by what comes next.
  constexpr size_t kWide = 16;
  // A count that failed its checks is not used by a later call.
  auto fail = [this] {
    failed_ = true;
    return false;
  };
  if (failed_) return false;
  while (done_ < upto) {
    if (literals_ == 0 && repeats_ == 0) {
      if (repeat_next_) {
        if (!read_count(&repeats_)) return fail();
        if (repeats_ > out_size_ - done_ || (repeats_ > 0 && done_ == 0)) return fail();
        repeat_next_ = false;
      } else {
        if (!read_count(&literals_)) return fail();
        if (literals_ > out_size_ - done_ || literals_ > in_size_ - pos_) return fail();
        repeat_next_ = true;
      }
      continue;
    }
    if (literals_) {
      size_t n = std::min(literals_, upto - done_);
      if (write) {
        if (n <= kWide && in_size_ - pos_ >= kWide && out_size_ - done_ >= kWide)
          std::memcpy(out_ + done_, in_ + pos_, kWide);
        else
          std::memcpy(out_ + done_, in_ + pos_, n);
      }
      last_ = in_[pos_ + n - 1];
      pos_ += n, done_ += n, literals_ -= n;
    } else {
      size_t n = std::min(repeats_, upto - done_);
      if (write) {
        if (n <= kWide && out_size_ - done_ >= kWide)
          std::memset(out_ + done_, last_, kWide);
        else
          std::memset(out_ + done_, last_, n);
      }
      done_ += n, repeats_ -= n;
    }
  }
  return true;
}

bool decompress_body(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size) {
  return BodyExpander(in, in_size, out, out_size).expand_to(out_size);
}

}  // namespace vrt::data
