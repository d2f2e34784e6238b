// The cipher of encrypted BDX files: AES-256 in XTS mode, one data unit per
// 64-byte block, the tweak being the block's number at its home position.
//
// Every image the store writes (the header, a page) starts with its home
// offset in its first four bytes; those four bytes stay in clear and the
// rest of the image's first block is a data unit of 60 bytes. So a shadow
// copy, enciphered with its home's tweaks, is copied home as raw bytes,
// and recovery learns a copy's home before it can decipher it. Equal
// blocks at different places encipher differently.
//
// The whole blocks of an image go through the block cipher in two passes
// (its tweaks, then its data under their masks), not one library call per
// block; the partial first block uses the library's XTS, which steals
// cipher text for its last 12 bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

namespace vrt::data {

inline constexpr size_t kCipherBlock = 64;
inline constexpr size_t kCipherKeySize = 64;  // two AES-256 keys
inline constexpr size_t kClearHomeBytes = 4;

class XtsCipher {
 public:
  // The key is copied into the cipher contexts; the caller wipes its copy.
  explicit XtsCipher(const uint8_t key[kCipherKeySize]);
  ~XtsCipher();
  XtsCipher(const XtsCipher&) = delete;
  XtsCipher& operator=(const XtsCipher&) = delete;

  // One XTS data unit (at least 16 bytes) in place, the tweak being the
  // unit's number as a 128-bit little-endian value; false on a failure of
  // the library.
  bool encipher_unit(uint64_t tweak, uint8_t* bytes, size_t size);
  bool decipher_unit(uint64_t tweak, uint8_t* bytes, size_t size);

  // An image (or the first whole blocks of one) in place; its home is read
  // from its clear first bytes. Size must be a multiple of kCipherBlock.
  bool seal_image(uint8_t* bytes, size_t size);
  bool open_image(uint8_t* bytes, size_t size);

 private:
  bool run(EVP_CIPHER_CTX* ctx, uint64_t tweak, uint8_t* bytes, size_t size);
  bool units(EVP_CIPHER_CTX* blocks, uint64_t first, uint8_t* bytes, size_t unit, size_t count);
  bool image(bool seal, uint8_t* bytes, size_t size);

  std::mutex mutex_;  // a context holds the tweak of the unit in progress
  EVP_CIPHER_CTX* seal_ = nullptr;  // XTS, for units with a partial block
  EVP_CIPHER_CTX* open_ = nullptr;
  EVP_CIPHER_CTX* seal_blocks_ = nullptr;  // AES-256 under the data key
  EVP_CIPHER_CTX* open_blocks_ = nullptr;
  EVP_CIPHER_CTX* tweaks_ = nullptr;  // AES-256 under the tweak key
  std::vector<uint8_t> masks_;
};

}  // namespace vrt::data
