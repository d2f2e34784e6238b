#include "runtime/data/bdx/store/block_cipher.h"

#include <cstring>

#include "runtime/data/bdx/store/byte_order.h"

namespace vrt::data {

namespace {

constexpr int kDoubleRounds = 10;

constexpr uint32_t rotl(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }
constexpr uint32_t rotr(uint32_t v, int n) { return (v >> n) | (v << (32 - n)); }

void quarter(uint32_t* s, int a, int b, int c, int d) {
  s[a] += s[b]; s[d] ^= s[a]; s[d] = rotl(s[d], 16);
  s[c] += s[d]; s[b] ^= s[c]; s[b] = rotl(s[b], 12);
  s[a] += s[b]; s[d] ^= s[a]; s[d] = rotl(s[d], 8);
  s[c] += s[d]; s[b] ^= s[c]; s[b] = rotl(s[b], 7);
}

void unquarter(uint32_t* s, int a, int b, int c, int d) {
  s[b] = rotr(s[b], 7); s[b] ^= s[c]; s[c] -= s[d];
  s[d] = rotr(s[d], 8); s[d] ^= s[a]; s[a] -= s[b];
  s[b] = rotr(s[b], 12); s[b] ^= s[c]; s[c] -= s[d];
  s[d] = rotr(s[d], 16); s[d] ^= s[a]; s[a] -= s[b];
}

constexpr int kColumns[4][4] = {{0, 4, 8, 12}, {1, 5, 9, 13}, {2, 6, 10, 14}, {3, 7, 11, 15}};
constexpr int kDiagonals[4][4] = {{0, 5, 10, 15}, {1, 6, 11, 12}, {2, 7, 8, 13}, {3, 4, 9, 14}};

void permute(uint32_t* s) {
  for (int r = 0; r < kDoubleRounds; ++r) {
    for (const auto& q : kColumns) quarter(s, q[0], q[1], q[2], q[3]);
    for (const auto& q : kDiagonals) quarter(s, q[0], q[1], q[2], q[3]);
  }
}

void unpermute(uint32_t* s) {
  for (int r = 0; r < kDoubleRounds; ++r) {
    for (const auto& q : kDiagonals) unquarter(s, q[0], q[1], q[2], q[3]);
    for (const auto& q : kColumns) unquarter(s, q[0], q[1], q[2], q[3]);
  }
}

void load_block(const uint8_t* bytes, uint32_t* s) {
  for (int i = 0; i < 16; ++i) s[i] = load_le32(bytes + 4 * i);
}

void store_block(const uint32_t* s, uint8_t* bytes) {
  for (int i = 0; i < 16; ++i) store_le32(bytes + 4 * i, s[i]);
}

}  // namespace

BlockCipher::BlockCipher(std::string_view owner) {
  // The owner's bytes are absorbed 48 at a time beside a fixed tag and
  // their length, each chunk followed by the permutation.
  uint32_t s[16] = {0x6f77'6e65, 0x722d'6b65, 0x792d'6264, 0x782d'3634};
  s[4] = static_cast<uint32_t>(owner.size());
  size_t at = 0;
  do {
    uint8_t chunk[48] = {};
    size_t n = owner.size() - at < sizeof chunk ? owner.size() - at : sizeof chunk;
    if (n) std::memcpy(chunk, owner.data() + at, n);
    for (int i = 0; i < 12; ++i) s[4 + i] ^= load_le32(chunk + 4 * i);
    permute(s);
    at += n;
  } while (at < owner.size());
  std::memcpy(k1_, s, sizeof k1_);
  s[0] ^= 1;
  permute(s);
  std::memcpy(k2_, s, sizeof k2_);
}

void BlockCipher::encipher(uint8_t* bytes, size_t size) const {
  uint32_t s[16];
  for (size_t at = 0; at + kCipherBlock <= size; at += kCipherBlock) {
    load_block(bytes + at, s);
    for (int i = 0; i < 16; ++i) s[i] ^= k1_[i];
    permute(s);
    for (int i = 0; i < 16; ++i) s[i] ^= k2_[i];
    store_block(s, bytes + at);
  }
}

void BlockCipher::decipher(uint8_t* bytes, size_t size) const {
  uint32_t s[16];
  for (size_t at = 0; at + kCipherBlock <= size; at += kCipherBlock) {
    load_block(bytes + at, s);
    for (int i = 0; i < 16; ++i) s[i] ^= k2_[i];
    unpermute(s);
    for (int i = 0; i < 16; ++i) s[i] ^= k1_[i];
    store_block(s, bytes + at);
  }
}

}  // namespace vrt::data
