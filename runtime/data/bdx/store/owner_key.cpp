#include "runtime/data/bdx/store/owner_key.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <atomic>
#include <cstring>

namespace vrt::data {

namespace {

constexpr char kKeySignature[4] = {'w', 'R', 'a', 'K'};
constexpr uint8_t kKeyVersion = 1;
// Bounds on what a key block may ask for, so that a forged one cannot make
// an opener spend minutes or gigabytes.
constexpr uint8_t kMinLog2N = 10, kMaxLog2N = 20;
constexpr uint8_t kMaxR = 32, kMaxP = 16;
constexpr uint64_t kMaxMemory = uint64_t{1} << 30;

std::atomic<uint64_t> g_derivations{0};

uint64_t memory_of(uint64_t n, uint64_t r, uint64_t p) { return 128 * r * (n + p + 2); }

}  // namespace

bool new_key_parameters(KeyParameters* params) {
  *params = KeyParameters{};
  return RAND_bytes(params->salt, kSaltSize) == 1;
}

void encode_key_block(const KeyParameters& k, uint8_t out[kKeyBlockSize]) {
  std::memset(out, 0, kKeyBlockSize);
  std::memcpy(out, kKeySignature, 4);
  out[4] = kKeyVersion;
  out[5] = k.log2_n;
  out[6] = k.r;
  out[7] = k.p;
  std::memcpy(out + 8, k.salt, kSaltSize);
  std::memcpy(out + 24, k.check, kCheckSize);
}

bool decode_key_block(const uint8_t* in, size_t size, KeyParameters* k) {
  if (size < kKeyBlockSize || std::memcmp(in, kKeySignature, 4) != 0 || in[4] != kKeyVersion) return false;
  KeyParameters r;
  r.log2_n = in[5];
  r.r = in[6];
  r.p = in[7];
  if (r.log2_n < kMinLog2N || r.log2_n > kMaxLog2N || r.r < 1 || r.r > kMaxR || r.p < 1 || r.p > kMaxP ||
      memory_of(uint64_t{1} << r.log2_n, r.r, r.p) > kMaxMemory)
    return false;
  std::memcpy(r.salt, in + 8, kSaltSize);
  std::memcpy(r.check, in + 24, kCheckSize);
  *k = r;
  return true;
}

bool scrypt_bytes(const std::string& password, const uint8_t* salt, size_t salt_size, uint64_t n, uint64_t r,
                  uint64_t p, uint8_t* out, size_t out_size) {
  return EVP_PBE_scrypt(password.data(), password.size(), salt, salt_size, n, r, p, 2 * memory_of(n, r, p), out,
                        out_size) == 1;
}

bool derive_owner_key(const std::string& owner, KeyParameters* k, bool set_check, uint8_t key[kCipherKeySize]) {
  uint8_t out[kCipherKeySize + kCheckSize];
  ++g_derivations;
  bool ok = scrypt_bytes(owner, k->salt, kSaltSize, uint64_t{1} << k->log2_n, k->r, k->p, out, sizeof out);
  const uint8_t* check = out + kCipherKeySize;
  if (ok && set_check) std::memcpy(k->check, check, kCheckSize);
  else if (ok) ok = CRYPTO_memcmp(k->check, check, kCheckSize) == 0;
  if (ok) std::memcpy(key, out, kCipherKeySize);
  else OPENSSL_cleanse(key, kCipherKeySize);
  OPENSSL_cleanse(out, sizeof out);
  return ok;
}

uint64_t owner_key_derivations() { return g_derivations.load(); }

}  // namespace vrt::data
