#include "runtime/window/resource/structure_finder.h"

#include <mutex>
#include <string>

#include "runtime/core/base/fatal_error.h"
#include "runtime/core/base/string_compare.h"
#include "runtime/platform/os/mutex.h"
#include "runtime/window/resource/resource_registry.h"

namespace vrt::window {

namespace {

// The runtime lock guards these for procedure code; the mutex keeps a
// search from a thread outside the lock (tests, tools) sound as well.
platform::Mutex g_mutex;
std::string g_last_image VRT_GUARDED_BY(g_mutex);
std::shared_ptr<const ResourceBuffer> g_current VRT_GUARDED_BY(g_mutex);

FoundStructure search_image(const std::string& image, std::string_view module, std::string_view label) {
  auto resource = find_resource(image, resource_name(module), kResourceType);
  if (!resource) return {};
  auto buffer = ResourceBuffer::from_resource(*resource);
  if (!buffer || core::compare_strings(buffer->module(), module) != 0) return {};
  FoundStructure found;
  found.buffer = std::make_shared<const ResourceBuffer>(std::move(*buffer));
  const ResourceBuffer& b = *found.buffer;
  if ((found.damage = check_top_level(b))) return found;
  for (uint32_t at = b.first_structure(); at != 0; at = b.next(at)) {
    if (core::compare_strings(b.text(b.field(at, "label")), label) != 0) continue;
    found.damage = check_structure(b, at);
    if (!found.damage) found.offset = at;
    return found;
  }
  return {};
}

}  // namespace

FoundStructure find_structure(std::string_view module, std::string_view label) {
  platform::MutexLock lock(g_mutex);
  std::vector<std::string> order = resource_images();
  if (!g_last_image.empty()) {
    std::erase(order, g_last_image);
    order.insert(order.begin(), g_last_image);
  }
  for (const std::string& image : order) {
    FoundStructure found = search_image(image, module, label);
    if (found.damage) return found;
    if (found) {
      g_last_image = image;
      g_current = found.buffer;
      return found;
    }
  }
  return {};
}

FoundStructure locate_structure(std::string_view module, std::string_view label) {
  FoundStructure found = find_structure(module, label);
  if (found.damage) {
    std::string text = resource_name(module) + " at offset " + std::to_string(found.damage.at) + ": " +
                       found.damage.what;
    core::fatal_runtime_error(502, text.c_str());
  } else if (!found) {
    core::fatal_runtime_error(502);
  }
  return found;
}

std::shared_ptr<const ResourceBuffer> current_resource_buffer() {
  platform::MutexLock lock(g_mutex);
  return g_current;
}

}  // namespace vrt::window
