// The key of an encrypted BDX file, drawn from the owner text by scrypt
// with a random salt of the file's own, and the key block that keeps the
// salt, the scrypt parameters and a check value in clear.
//
// The key block is unit 0 of an encrypted file (offset 512, 256 bytes);
// the header's area entry 0 (unused by pages) reserves it as [0, 1), so
// no page area starts below unit 1. Files without an owner have entry 0
// empty and no key block: their bytes are as they always were.
//
//   OFFSET  SIZE  MEANING
//        0     4  signature "wRaK"
//        4     1  version, 1: AES-256-XTS keyed by scrypt
//        5     1  scrypt cost: N = 2^this
//        6     1  scrypt block size r
//        7     1  scrypt parallelism p
//        8    16  salt
//       24    16  check value: scrypt output bytes 64..79 (the key is 0..63)
//       40   216  zero
//
// A wrong owner shows as a check value that differs, before any other read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/data/bdx/store/xts_cipher.h"

namespace vrt::data {

inline constexpr uint64_t kKeyBlockAt = 512;
inline constexpr size_t kKeyBlockSize = 256;
inline constexpr size_t kSaltSize = 16;
inline constexpr size_t kCheckSize = 16;

struct KeyParameters {
  uint8_t log2_n = 15;
  uint8_t r = 8;
  uint8_t p = 1;
  uint8_t salt[kSaltSize] = {};
  uint8_t check[kCheckSize] = {};
};

// Parameters for a new file: today's cost and a fresh random salt; false
// when the system has no random bytes to give.
bool new_key_parameters(KeyParameters* params);

void encode_key_block(const KeyParameters& params, uint8_t out[kKeyBlockSize]);
// From untrusted bytes: false when they are no key block or ask for more
// work or memory than any file of ours does.
bool decode_key_block(const uint8_t* bytes, size_t size, KeyParameters* params);

// Draws the key and check value from the owner text. With `set_check` the
// check value is stored into params; otherwise it must match the stored one
// (false: a wrong owner). The key is wiped from *key on failure.
bool derive_owner_key(const std::string& owner, KeyParameters* params, bool set_check,
                      uint8_t key[kCipherKeySize]);

// How many derivations this process made, for tests and benchmarks that
// check opening and operations do not each pay for one.
uint64_t owner_key_derivations();

// scrypt itself (RFC 7914), for known-answer tests.
bool scrypt_bytes(const std::string& password, const uint8_t* salt, size_t salt_size, uint64_t n, uint64_t r,
                  uint64_t p, uint8_t* out, size_t out_size);

}  // namespace vrt::data
