// The cipher of encrypted files: it undoes itself, depends on the owner,
// works block by block wherever a block stands, and hides repetition.
#include "runtime/data/bdx/store/block_cipher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace vrt::data {
namespace {

std::vector<uint8_t> sample(size_t blocks) {
  std::vector<uint8_t> v(blocks * kCipherBlock);
  for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>(i * 7 + 3);
  return v;
}

TEST(BlockCipher, DecipherUndoesEncipherForEveryOwner) {
  for (std::string owner : {std::string(), std::string("x"), std::string("Secret"), std::string(200, 'k')}) {
    BlockCipher cipher(owner);
    std::vector<uint8_t> plain = sample(5), data = plain;
    cipher.encipher(data.data(), data.size());
    EXPECT_NE(data, plain) << owner;
    cipher.decipher(data.data(), data.size());
    EXPECT_EQ(data, plain) << owner;
  }
}

TEST(BlockCipher, OwnersDifferInEveryBlockAndBlocksStandAlone) {
  std::vector<uint8_t> a = sample(2), b = a;
  BlockCipher("Secret").encipher(a.data(), a.size());
  BlockCipher("secret").encipher(b.data(), b.size());
  EXPECT_NE(std::memcmp(a.data(), b.data(), kCipherBlock), 0);
  EXPECT_NE(std::memcmp(a.data() + kCipherBlock, b.data() + kCipherBlock, kCipherBlock), 0);
  // A block enciphered alone is the same as in the middle of a page, so a
  // shadow copy may be copied home as it stands.
  std::vector<uint8_t> page = sample(4), block(page.begin() + 128, page.begin() + 192);
  BlockCipher cipher("Secret");
  cipher.encipher(page.data(), page.size());
  cipher.encipher(block.data(), block.size());
  EXPECT_EQ(std::vector<uint8_t>(page.begin() + 128, page.begin() + 192), block);
}

TEST(BlockCipher, EqualBlocksOfZerosDoNotShowThroughAsZeros) {
  std::vector<uint8_t> zeros(2 * kCipherBlock, 0);
  BlockCipher("Secret").encipher(zeros.data(), zeros.size());
  std::set<uint8_t> seen(zeros.begin(), zeros.begin() + kCipherBlock);
  EXPECT_GT(seen.size(), 32u);  // the block is spread over many byte values
}

}  // namespace
}  // namespace vrt::data
