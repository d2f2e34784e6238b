// The XTS layer against the standard's AES-256 vector, and the rules the
// file relies on: images decipher wherever they lie, equal blocks at
// different places encipher differently, the home stays in clear.
#include "runtime/data/bdx/store/xts_cipher.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <vector>

#include "runtime/data/bdx/store/byte_order.h"

namespace vrt::data {
namespace {

std::vector<uint8_t> from_hex(const std::string& h) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < h.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoi(h.substr(i, 2), nullptr, 16)));
  return out;
}

// IEEE 1619-2007 vector 10: AES-256 keys from e and pi, data unit 0xff of
// 512 bytes 00 01 ... ff 00 01 ... ff.
const char* kKey10 =
    "2718281828459045235360287471352662497757247093699959574966967627"
    "3141592653589793238462643383279502884197169399375105820974944592";
const char* kCipherText10 =
    "1c3b3a102f770386e4836c99e370cf9bea00803f5e482357a4ae12d414a3e63b5d31e276f8fe4a8d66b317f9ac683f44680a86ac35adfc33"
    "45befecb4bb188fd5776926c49a3095eb108fd1098baec70aaa66999a72a82f27d848b21d4a741b0c5cd4d5fff9dac89aeba122961d03a75"
    "7123e9870f8acf1000020887891429ca2a3e7a7d7df7b10355165c8b9a6d0a7de8b062c4500dc4cd120c0f7418dae3d0b5781c34803fa754"
    "21c790dfe1de1834f280d7667b327f6c8cd7557e12ac3a0f93ec05c52e0493ef31a12d3d9260f79a289d6a379bc70c50841473d1a8cc81ec"
    "583e9645e07b8d9670655ba5bbcfecc6dc3966380ad8fecb17b6ba02469a020a84e18e8f84252070c13e9f1f289be54fbc481457778f6160"
    "15e1327a02b140f1505eb309326d68378f8374595c849d84f4c333ec4423885143cb47bd71c5edae9be69a2ffeceb1bec9de244fbe15992b"
    "11b77c040f12bd8f6a975a44a0f90c29a9abc3d4d893927284c58754cce294529f8614dcd2aba991925fedc4ae74ffac6e333b93eb4aff04"
    "79da9a410e4450e0dd7ae4c6e2910900575da401fc07059f645e8b7e9bfdef33943054ff84011493c27b3429eaedb4ed5376441a77ed4385"
    "1ad77f16f541dfd269d50d6a5f14fb0aab1cbb4c1550be97f7ab4066193c4caa773dad38014bd2092fa755c824bb5e54c4f36ffda9fcea70"
    "b9c6e693e148c151";

std::vector<uint8_t> counting(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i);
  return v;
}

TEST(XtsCipher, MatchesTheStandardVectorBothWays) {
  XtsCipher cipher(from_hex(kKey10).data());
  std::vector<uint8_t> data = counting(512);
  ASSERT_TRUE(cipher.encipher_unit(0xff, data.data(), data.size()));
  EXPECT_EQ(data, from_hex(kCipherText10));
  ASSERT_TRUE(cipher.decipher_unit(0xff, data.data(), data.size()));
  EXPECT_EQ(data, counting(512));
  // A unit shorter than one AES block cannot be enciphered.
  EXPECT_FALSE(cipher.encipher_unit(1, data.data(), 15));
}

std::vector<uint8_t> image_at(uint32_t home, size_t size) {
  std::vector<uint8_t> v(size, 0x41);
  store_le32(v.data(), home);
  return v;
}

TEST(XtsCipher, ImagesKeepTheirHomeInClearAndHideEqualBlocks) {
  XtsCipher cipher(from_hex(kKey10).data());
  std::vector<uint8_t> a = image_at(768, 256), b = image_at(1024, 256);
  ASSERT_TRUE(cipher.seal_image(a.data(), a.size()));
  ASSERT_TRUE(cipher.seal_image(b.data(), b.size()));
  EXPECT_EQ(load_le32(a.data()), 768u);
  EXPECT_EQ(load_le32(b.data()), 1024u);
  // Equal plain blocks: within an image and across images.
  auto block = [](const std::vector<uint8_t>& v, size_t i) {
    return std::vector<uint8_t>(v.begin() + 64 * i, v.begin() + 64 * i + 64);
  };
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_NE(block(a, i), block(b, i)) << i;
    if (i > 1) {
      EXPECT_NE(block(a, 1), block(a, i)) << i;
    }
  }
  // The first units of an image decipher alone, as recovery reads them,
  // and the whole image comes back.
  std::vector<uint8_t> first(a.begin(), a.begin() + 128);
  ASSERT_TRUE(cipher.open_image(first.data(), first.size()));
  EXPECT_EQ(first, image_at(768, 128));
  ASSERT_TRUE(cipher.open_image(a.data(), a.size()));
  EXPECT_EQ(a, image_at(768, 256));
  EXPECT_FALSE(cipher.seal_image(a.data(), 100));  // not whole blocks
}

// The library's XTS, one call per data unit, as the reference for the
// cipher's own passes over many blocks.
void library_xts(const uint8_t* key, uint64_t tweak, uint8_t* bytes, size_t size) {
  uint8_t iv[16] = {};
  for (int i = 0; i < 8; ++i) iv[i] = static_cast<uint8_t>(tweak >> (8 * i));
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  int n = 0;
  ASSERT_EQ(EVP_EncryptInit_ex(ctx, EVP_aes_256_xts(), nullptr, key, iv), 1);
  ASSERT_EQ(EVP_EncryptUpdate(ctx, bytes, &n, bytes, static_cast<int>(size)), 1);
  EVP_CIPHER_CTX_free(ctx);
}

TEST(XtsCipher, AnImageIsOneXtsUnitPerBlockTweakedByItsHome) {
  std::vector<uint8_t> key = from_hex(kKey10);
  std::vector<uint8_t> image = image_at(1280, 4 * 256), expected = image;
  for (size_t i = 0; i < image.size(); ++i) image[i] = expected[i] = static_cast<uint8_t>(i * 31 + 7);
  store_le32(image.data(), 1280);
  store_le32(expected.data(), 1280);
  library_xts(key.data(), 1280 / 64, expected.data() + 4, 60);
  for (size_t b = 1; b < expected.size() / 64; ++b) library_xts(key.data(), 1280 / 64 + b, expected.data() + 64 * b, 64);
  XtsCipher cipher(key.data());
  ASSERT_TRUE(cipher.seal_image(image.data(), image.size()));
  EXPECT_EQ(image, expected);
}

TEST(XtsCipher, AnotherKeyReadsNothing) {
  std::vector<uint8_t> key = from_hex(kKey10), other = key;
  other[5] ^= 1;
  std::vector<uint8_t> a = image_at(0, 512);
  XtsCipher(key.data()).seal_image(a.data(), a.size());
  XtsCipher(other.data()).open_image(a.data(), a.size());
  EXPECT_NE(a, image_at(0, 512));
}

}  // namespace
}  // namespace vrt::data
