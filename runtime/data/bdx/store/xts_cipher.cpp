#include "runtime/data/bdx/store/xts_cipher.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <bit>
#include <cstring>

#include "runtime/data/bdx/store/byte_order.h"

namespace vrt::data {

namespace {

constexpr size_t kAesBlock = 16;
// Tweaks are handled as two native 64-bit words.
static_assert(std::endian::native == std::endian::little, "XTS tweaks assume a little-endian host");

EVP_CIPHER_CTX* keyed_context(const EVP_CIPHER* cipher, const uint8_t* key, int encipher) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (ctx && (EVP_CipherInit_ex(ctx, cipher, nullptr, key, nullptr, encipher) != 1 ||
              EVP_CIPHER_CTX_set_padding(ctx, 0) != 1)) {
    EVP_CIPHER_CTX_free(ctx);
    ctx = nullptr;
  }
  return ctx;
}

bool ecb(EVP_CIPHER_CTX* ctx, uint8_t* bytes, size_t size) {
  int n = 0;
  return ctx && EVP_CipherUpdate(ctx, bytes, &n, bytes, static_cast<int>(size)) == 1 &&
         static_cast<size_t>(n) == size;
}

// Multiplies the tweak (two little-endian 64-bit halves) by the primitive
// element of GF(2^128), as the XTS standard lays it out.
void times_alpha(uint64_t t[2]) {
  uint64_t carry = t[1] >> 63;
  t[1] = t[1] << 1 | t[0] >> 63;
  t[0] = t[0] << 1 ^ (carry ? 0x87 : 0);
}

void xor_words(uint8_t* bytes, const uint8_t* masks, size_t size) {
  for (size_t i = 0; i < size; i += 8) {
    uint64_t a, b;
    std::memcpy(&a, bytes + i, 8);
    std::memcpy(&b, masks + i, 8);
    a ^= b;
    std::memcpy(bytes + i, &a, 8);
  }
}

}  // namespace

XtsCipher::XtsCipher(const uint8_t key[kCipherKeySize])
    : seal_(keyed_context(EVP_aes_256_xts(), key, 1)),
      open_(keyed_context(EVP_aes_256_xts(), key, 0)),
      seal_blocks_(keyed_context(EVP_aes_256_ecb(), key, 1)),
      open_blocks_(keyed_context(EVP_aes_256_ecb(), key, 0)),
      tweaks_(keyed_context(EVP_aes_256_ecb(), key + kCipherKeySize / 2, 1)) {}

// Freeing a context wipes its key schedule.
XtsCipher::~XtsCipher() {
  for (EVP_CIPHER_CTX* ctx : {seal_, open_, seal_blocks_, open_blocks_, tweaks_}) EVP_CIPHER_CTX_free(ctx);
  OPENSSL_cleanse(masks_.data(), masks_.size());
}

bool XtsCipher::run(EVP_CIPHER_CTX* ctx, uint64_t tweak, uint8_t* bytes, size_t size) {
  if (!ctx || size < kAesBlock) return false;
  uint8_t iv[kAesBlock] = {};
  for (int i = 0; i < 8; ++i) iv[i] = static_cast<uint8_t>(tweak >> (8 * i));
  int n = 0;
  return EVP_CipherInit_ex(ctx, nullptr, nullptr, nullptr, iv, -1) == 1 &&
         EVP_CipherUpdate(ctx, bytes, &n, bytes, static_cast<int>(size)) == 1 && static_cast<size_t>(n) == size;
}

// Consecutive data units of whole AES blocks, tweaks first, first + 1, ...,
// with two passes of the block cipher over all of them instead of one
// library call per unit.
bool XtsCipher::units(EVP_CIPHER_CTX* blocks, uint64_t first, uint8_t* bytes, size_t unit, size_t count) {
  if (unit == 0 || unit % kAesBlock != 0) return false;
  std::vector<uint8_t>& m = masks_;
  m.resize(unit * count);
  std::memset(m.data(), 0, count * kAesBlock);
  size_t per_unit = unit / kAesBlock;
  for (size_t u = 0; u < count; ++u)
    for (int i = 0; i < 8; ++i) m[u * kAesBlock + i] = static_cast<uint8_t>((first + u) >> (8 * i));
  if (!ecb(tweaks_, m.data(), count * kAesBlock)) return false;
  // Spread each unit's enciphered tweak into its masks, last unit first so
  // that no tweak is overwritten before it is used.
  for (size_t u = count; u-- > 0;) {
    uint64_t t[2];
    std::memcpy(t, m.data() + u * kAesBlock, kAesBlock);
    for (size_t j = 0; j < per_unit; ++j) {
      std::memcpy(m.data() + u * unit + j * kAesBlock, t, kAesBlock);
      times_alpha(t);
    }
  }
  xor_words(bytes, m.data(), m.size());
  if (!ecb(blocks, bytes, m.size())) return false;
  xor_words(bytes, m.data(), m.size());
  return true;
}

bool XtsCipher::encipher_unit(uint64_t tweak, uint8_t* bytes, size_t size) {
  std::lock_guard<std::mutex> guard(mutex_);
  return size % kAesBlock == 0 ? units(seal_blocks_, tweak, bytes, size, 1) : run(seal_, tweak, bytes, size);
}

bool XtsCipher::decipher_unit(uint64_t tweak, uint8_t* bytes, size_t size) {
  std::lock_guard<std::mutex> guard(mutex_);
  return size % kAesBlock == 0 ? units(open_blocks_, tweak, bytes, size, 1) : run(open_, tweak, bytes, size);
}

bool XtsCipher::image(bool seal, uint8_t* bytes, size_t size) {
  if (size == 0 || size % kCipherBlock != 0) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  uint64_t first = load_le32(bytes) / kCipherBlock;
  // The first block without its clear home is 60 bytes: the library's XTS
  // steals cipher text for its last partial AES block.
  if (!run(seal ? seal_ : open_, first, bytes + kClearHomeBytes, kCipherBlock - kClearHomeBytes)) return false;
  size_t rest = size / kCipherBlock - 1;
  return rest == 0 || units(seal ? seal_blocks_ : open_blocks_, first + 1, bytes + kCipherBlock, kCipherBlock, rest);
}

bool XtsCipher::seal_image(uint8_t* bytes, size_t size) { return image(true, bytes, size); }
bool XtsCipher::open_image(uint8_t* bytes, size_t size) { return image(false, bytes, size); }

}  // namespace vrt::data
