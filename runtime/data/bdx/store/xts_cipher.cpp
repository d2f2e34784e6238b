#include "runtime/data/bdx/store/xts_cipher.h"

#include <openssl/evp.h>

#include "runtime/data/bdx/store/byte_order.h"

namespace vrt::data {

namespace {

EVP_CIPHER_CTX* keyed_context(const uint8_t* key, int encipher) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (ctx && EVP_CipherInit_ex(ctx, EVP_aes_256_xts(), nullptr, key, nullptr, encipher) != 1) {
    EVP_CIPHER_CTX_free(ctx);
    ctx = nullptr;
  }
  return ctx;
}

}  // namespace

XtsCipher::XtsCipher(const uint8_t key[kCipherKeySize])
    : seal_(keyed_context(key, 1)), open_(keyed_context(key, 0)) {}

// Freeing a context wipes its key schedule.
XtsCipher::~XtsCipher() {
  EVP_CIPHER_CTX_free(seal_);
  EVP_CIPHER_CTX_free(open_);
}

bool XtsCipher::run(EVP_CIPHER_CTX* ctx, uint64_t tweak, uint8_t* bytes, size_t size) {
  if (!ctx || size < 16) return false;
  uint8_t iv[16] = {};
  for (int i = 0; i < 8; ++i) iv[i] = static_cast<uint8_t>(tweak >> (8 * i));
  int n = 0;
  return EVP_CipherInit_ex(ctx, nullptr, nullptr, nullptr, iv, -1) == 1 &&
         EVP_CipherUpdate(ctx, bytes, &n, bytes, static_cast<int>(size)) == 1 && static_cast<size_t>(n) == size;
}

bool XtsCipher::encipher_unit(uint64_t tweak, uint8_t* bytes, size_t size) {
  std::lock_guard<std::mutex> guard(mutex_);
  return run(seal_, tweak, bytes, size);
}

bool XtsCipher::decipher_unit(uint64_t tweak, uint8_t* bytes, size_t size) {
  std::lock_guard<std::mutex> guard(mutex_);
  return run(open_, tweak, bytes, size);
}

bool XtsCipher::image(EVP_CIPHER_CTX* ctx, uint8_t* bytes, size_t size) {
  if (size == 0 || size % kCipherBlock != 0) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  uint64_t first = load_le32(bytes) / kCipherBlock;
  if (!run(ctx, first, bytes + kClearHomeBytes, kCipherBlock - kClearHomeBytes)) return false;
  for (size_t i = 1; i < size / kCipherBlock; ++i)
    if (!run(ctx, first + i, bytes + i * kCipherBlock, kCipherBlock)) return false;
  return true;
}

bool XtsCipher::seal_image(uint8_t* bytes, size_t size) { return image(seal_, bytes, size); }
bool XtsCipher::open_image(uint8_t* bytes, size_t size) { return image(open_, bytes, size); }

}  // namespace vrt::data
