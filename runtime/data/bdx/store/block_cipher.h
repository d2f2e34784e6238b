// The cipher of encrypted BDX files: every 64-byte block of the file is
// enciphered before it is written and deciphered after it is read, with a
// state set up from the owner string when the file is opened.
//
// The cipher works on each block alone, whatever its place in the file, so
// a page's shadow copy can be copied home as it stands. It is a keyed
// Even-Mansour construction, E(x) = P(x ^ K1) ^ K2, over a fixed invertible
// permutation P of 64 bytes (ten double rounds of add-rotate-xor mixing);
// K1 and K2 come from the owner string through the same permutation.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vrt::data {

inline constexpr size_t kCipherBlock = 64;

class BlockCipher {
 public:
  explicit BlockCipher(std::string_view owner);

  // Whole blocks in place; size must be a multiple of kCipherBlock.
  void encipher(uint8_t* bytes, size_t size) const;
  void decipher(uint8_t* bytes, size_t size) const;

 private:
  uint32_t k1_[16];
  uint32_t k2_[16];
};

}  // namespace vrt::data
