// Run-length compression of a page body.
//
// The compressed body is a sequence of pairs: a literal count L and L
// literal bytes, then a repeat count R meaning R further copies of the last
// literal. Counts are base-128 numbers, least significant group first, the
// high bit set on every byte but the last (128 is 0x80 0x01). The last pair
// has no repeat count: decompression stops once the output is full.
//
//   body:  A B C C C C C D E          (a run of five C)
//   coded: 03 'A' 'B' 'C' 04 02 'D' 'E'
//
// Runs shorter than 4 bytes stay among the literals.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vrt::data {

// Compresses the body; false (and nothing written) when it holds no run of 4
// or more equal bytes, so that it is stored as it is.
bool compress_body(const uint8_t* body, size_t size, std::vector<uint8_t>* out);

// Decompresses untrusted bytes into exactly out_size bytes; false when the
// input ends early, a count does not fit, or a repeat has no literal before it
// or runs past the end.
bool decompress_body(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size);

// The same expansion by steps, each either written out or passed over: a
// reader that wants the keys of a page's first records expands only those.
class BodyExpander {
 public:
  BodyExpander() = default;
  BodyExpander(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size)
      : in_(in), in_size_(in_size), out_(out), out_size_(out_size) {}
  // Expands (or with write false passes over) the output up to `upto`
  // bytes, at most out_size; false as decompress_body is false. Bytes passed
  // over are left unwritten. Once false, always false.
  bool expand_to(size_t upto, bool write = true);
  size_t expanded() const { return done_; }

  // Where the expansion stands, to go on from there later over the same
  // input (into an output whose bytes before it are not read again).
  struct State {
    uint32_t pos = 0, done = 0, literals = 0, repeats = 0;
    bool repeat_next = false;
    uint8_t last = 0;
  };
  State state() const {
    return {static_cast<uint32_t>(pos_), static_cast<uint32_t>(done_), static_cast<uint32_t>(literals_),
            static_cast<uint32_t>(repeats_), repeat_next_, last_};
  }
  void restore(const State& s) {
    pos_ = s.pos, done_ = s.done, literals_ = s.literals, repeats_ = s.repeats;
    repeat_next_ = s.repeat_next, last_ = s.last;
    failed_ = false;
  }

 private:
  bool read_count(size_t* n);

  const uint8_t* in_ = nullptr;
  size_t in_size_ = 0;
  uint8_t* out_ = nullptr;
  size_t out_size_ = 0;
  size_t pos_ = 0, done_ = 0;
  // Of the pair under way: literals still to copy from pos_, repeats of
  // last_ still to make, and whether its repeat count is still to be read.
  size_t literals_ = 0, repeats_ = 0;
  bool repeat_next_ = false;
  uint8_t last_ = 0;
  bool failed_ = false;
};

}  // namespace vrt::data
