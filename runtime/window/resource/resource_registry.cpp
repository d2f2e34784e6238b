#include "runtime/window/resource/resource_registry.h"

#include <algorithm>
#include <cctype>

#include "runtime/platform/os/mutex.h"

namespace vrt::window {

namespace {

struct Entry {
  std::string image, name, type;
  std::span<const uint8_t> bytes;
};

struct Registry {
  platform::Mutex mutex;
  std::vector<Entry> entries VRT_GUARDED_BY(mutex);  // registration order
};

Registry& registry() {
  static Registry r;  // built on first use: registrations run before main
  return r;
}

bool same_name(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
  });
}

}  // namespace

void register_resource(std::string_view image, std::string_view name, std::string_view type,
                       std::span<const uint8_t> bytes) {
  Registry& r = registry();
  platform::MutexLock lock(r.mutex);
  r.entries.push_back({std::string(image), std::string(name), std::string(type), bytes});
}

void unregister_image(std::string_view image) {
  Registry& r = registry();
  platform::MutexLock lock(r.mutex);
  std::erase_if(r.entries, [&](const Entry& e) { return e.image == image; });
}

std::vector<std::string> resource_images() {
  Registry& r = registry();
  platform::MutexLock lock(r.mutex);
  std::vector<std::string> images;
  for (const Entry& e : r.entries)
    if (std::ranges::find(images, e.image) == images.end()) images.push_back(e.image);
  return images;
}

std::optional<std::span<const uint8_t>> find_resource(std::string_view image, std::string_view name,
                                                      std::string_view type) {
  Registry& r = registry();
  platform::MutexLock lock(r.mutex);
  for (const Entry& e : r.entries)
    if (e.image == image && same_name(e.name, name) && same_name(e.type, type)) return e.bytes;
  return std::nullopt;
}

ResourceRegistration::ResourceRegistration(const char* image, const char* name, const uint8_t* bytes, size_t size) {
  register_resource(image, name, "DABDUMP", {bytes, size});
}

}  // namespace vrt::window
