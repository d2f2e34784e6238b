// Resources linked into the program. Executables have no resource section
// here, so each compiled module resource is linked in as data and
// registers itself at start-up under the image (executable or library) it
// belongs to, its name and its type. Names are matched without regard to
// case, as resource names are.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrt::window {

void register_resource(std::string_view image, std::string_view name, std::string_view type,
                       std::span<const uint8_t> bytes);
// Removes one image's resources (a library unloaded; tests).
void unregister_image(std::string_view image);

// Images in the order of their first registration.
std::vector<std::string> resource_images();
std::optional<std::span<const uint8_t>> find_resource(std::string_view image, std::string_view name,
                                                      std::string_view type);

// A static object of this type in each generated resource source does the
// registration before main.
struct ResourceRegistration {
  ResourceRegistration(const char* image, const char* name, const uint8_t* bytes, size_t size);
};

}  // namespace vrt::window
