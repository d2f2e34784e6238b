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

}  // namespace vrt::data
