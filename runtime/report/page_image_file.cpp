#include "runtime/report/page_image_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "runtime/platform/os/system_error.h"

namespace vrt::report {

using namespace vrt::platform;

namespace {

constexpr size_t kMetafileHeaderBytes = 18;

uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t get32(const uint8_t* p) { return get16(p) | (uint32_t{get16(p + 2)} << 16); }
void put16(std::vector<uint8_t>& b, size_t at, int v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
bool fits16(int v) { return v >= -32768 && v <= 32767; }

std::nullopt_t refuse() {
  SetLastError(kErrorInvalidData);
  return std::nullopt;
}

// The metafile header agrees with the bytes: its size is theirs, and every
// record stays inside them and within the largest size the header gives.
bool sound_metafile(const uint8_t* b, size_t size) {
  if (size < kMetafileHeaderBytes + 6 || size % 2 != 0) return false;
  uint16_t type = get16(b), header_words = get16(b + 2), version = get16(b + 4);
  if ((type != 1 && type != 2) || header_words != 9 || (version != 0x0300 && version != 0x0100)) return false;
  if (size_t{get32(b + 6)} * 2 != size) return false;
  uint32_t largest = get32(b + 12);
  for (size_t at = kMetafileHeaderBytes; at + 6 <= size;) {
    uint32_t words = get32(b + at);
    if (words < 3 || words > (size - at) / 2 || words > largest) return false;
    if (get16(b + at + 4) == META_EOF) return true;
    at += size_t{words} * 2;
  }
  return false;  // no end record
}

}  // namespace

std::vector<uint8_t> placeable_header(const RECT& bounds, int units_per_inch) {
  std::vector<uint8_t> head(kPlaceableHeaderBytes, 0);
  put16(head, 0, kPlaceableKey & 0xFFFF);
  put16(head, 2, kPlaceableKey >> 16);
  put16(head, 6, bounds.left);
  put16(head, 8, bounds.top);
  put16(head, 10, bounds.right);
  put16(head, 12, bounds.bottom);
  put16(head, 14, units_per_inch);
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= get16(head.data() + i);
  put16(head, 20, sum);
  return head;
}

bool write_page_image(const std::string& file, HMETAFILE metafile, const RECT& bounds, int units_per_inch) {
  if (!metafile || !fits16(bounds.left) || !fits16(bounds.top) || !fits16(bounds.right) || !fits16(bounds.bottom) ||
      units_per_inch <= 0 || units_per_inch > 0xFFFF) {
    SetLastError(kErrorInvalidData);
    return false;
  }
  std::vector<uint8_t> bytes = placeable_header(bounds, units_per_inch);
  const std::vector<uint8_t>& bits = metafile->bits();
  bytes.insert(bytes.end(), bits.begin(), bits.end());
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    set_last_error_from_errno();
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      set_last_error_from_errno();
      ::close(fd);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    set_last_error_from_errno();
    return false;
  }
  return true;
}

std::optional<PageImage> parse_page_image(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kPlaceableHeaderBytes || get32(bytes.data()) != kPlaceableKey) return refuse();
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= get16(bytes.data() + i);
  if (sum != get16(bytes.data() + 20)) return refuse();
  PageImage image;
  const uint8_t* h = bytes.data();
  auto s16 = [&](size_t at) { return static_cast<int16_t>(get16(h + at)); };
  image.bounds = RECT{s16(6), s16(8), s16(10), s16(12)};
  image.units_per_inch = get16(h + 14);
  if (image.bounds.empty() || image.units_per_inch == 0) return refuse();
  const uint8_t* metafile = bytes.data() + kPlaceableHeaderBytes;
  size_t size = bytes.size() - kPlaceableHeaderBytes;
  if (!sound_metafile(metafile, size)) return refuse();
  HMETAFILE mf = SetMetaFileBits(std::vector<uint8_t>(metafile, metafile + size));
  if (!mf) return refuse();
  image.metafile.reset(mf);
  return image;
}

std::optional<PageImage> read_page_image(const std::string& file) {
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    set_last_error_from_errno();
    return std::nullopt;
  }
  std::vector<uint8_t> bytes;
  uint8_t buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      set_last_error_from_errno();
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<size_t>(n) > kLargestPageImage) {
      ::close(fd);
      return refuse();
    }
    bytes.insert(bytes.end(), buf, buf + n);
  }
  ::close(fd);
  return parse_page_image(bytes);
}

}  // namespace vrt::report
