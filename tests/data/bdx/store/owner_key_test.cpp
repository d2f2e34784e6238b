// The key drawn from the owner text: scrypt against RFC 7914's vectors, the
// key block read back and refused when forged, a wrong owner caught by the
// check value.
#include "runtime/data/bdx/store/owner_key.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vrt::data {
namespace {

std::string hex(const uint8_t* p, size_t n) {
  static const char* d = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < n; ++i) (out += d[p[i] >> 4]) += d[p[i] & 15];
  return out;
}

TEST(OwnerKey, ScryptMatchesThePublishedVectors) {
  struct Vector {
    const char* password;
    const char* salt;
    uint64_t n, r, p;
    const char* out;
  };
  const Vector vectors[] = {
      {"", "", 16, 1, 1,
       "77d6576238657b203b19ca42c18a0497f16b4844e3074ae8dfdffa3fede21442"
       "fcd0069ded0948f8326a753a0fc81f17e8d3e0fb2e0d3628cf35e20c38d18906"},
      {"password", "NaCl", 1024, 8, 16,
       "fdbabe1c9d3472007856e7190d01e9fe7c6ad7cbc8237830e77376634b373162"
       "2eaf30d92e22a3886ff109279d9830dac727afb94a83ee6d8360cbdfa2cc0640"},
      {"pleaseletmein", "SodiumChloride", 16384, 8, 1,
       "7023bdcb3afd7348461c06cd81fd38ebfda8fbba904f8e3ea9b543f6545da1f2"
       "d5432955613f0fcf62d49705242a9af9e61e85dc0d651e40dfcf017b45575887"},
  };
  for (const Vector& v : vectors) {
    uint8_t out[64];
    ASSERT_TRUE(scrypt_bytes(v.password, reinterpret_cast<const uint8_t*>(v.salt), std::strlen(v.salt), v.n, v.r,
                             v.p, out, sizeof out));
    EXPECT_EQ(hex(out, sizeof out), v.out) << v.password;
  }
}

KeyParameters cheap_parameters() {
  KeyParameters k;
  EXPECT_TRUE(new_key_parameters(&k));
  k.log2_n = 10;  // the smallest cost a block may ask, to keep the test quick
  return k;
}

TEST(OwnerKey, TheRightOwnerGetsTheKeyBackAndAWrongOneNothing) {
  KeyParameters made = cheap_parameters();
  uint8_t key[kCipherKeySize], again[kCipherKeySize];
  ASSERT_TRUE(derive_owner_key("Open Sesame", &made, true, key));
  uint8_t block[kKeyBlockSize];
  encode_key_block(made, block);

  KeyParameters read;
  ASSERT_TRUE(decode_key_block(block, sizeof block, &read));
  ASSERT_TRUE(derive_owner_key("Open Sesame", &read, false, again));
  EXPECT_EQ(std::memcmp(key, again, sizeof key), 0);
  EXPECT_FALSE(derive_owner_key("open sesame", &read, false, again));
  EXPECT_EQ(again[0] | again[17] | again[63], 0);  // wiped

  // Two files with the same owner have different salts and keys.
  KeyParameters other = cheap_parameters();
  ASSERT_TRUE(derive_owner_key("Open Sesame", &other, true, again));
  EXPECT_NE(std::memcmp(made.salt, other.salt, kSaltSize), 0);
  EXPECT_NE(std::memcmp(key, again, sizeof key), 0);
}

TEST(OwnerKey, ForgedKeyBlocksAreRefused) {
  KeyParameters k = cheap_parameters();
  uint8_t good[kKeyBlockSize];
  encode_key_block(k, good);
  struct Forgery {
    size_t at;
    uint8_t value;
  };
  // Signature, version, costs beyond what any file asks (minutes or
  // gigabytes of work), zero block size or parallelism.
  for (Forgery f : {Forgery{0, 'x'}, {4, 2}, {5, 9}, {5, 21}, {5, 63}, {6, 0}, {6, 33}, {7, 0}, {7, 17}}) {
    std::vector<uint8_t> bad(good, good + kKeyBlockSize);
    bad[f.at] = f.value;
    KeyParameters out;
    EXPECT_FALSE(decode_key_block(bad.data(), bad.size(), &out)) << f.at << " " << int(f.value);
  }
  // 2^20 x 32 x 128 bytes is over the memory bound.
  std::vector<uint8_t> big(good, good + kKeyBlockSize);
  big[5] = 20;
  big[6] = 32;
  KeyParameters out;
  EXPECT_FALSE(decode_key_block(big.data(), big.size(), &out));
  EXPECT_FALSE(decode_key_block(good, kKeyBlockSize - 1, &out));
}

}  // namespace
}  // namespace vrt::data
