// Window declarations from outside: the compiler answers every text with a
// resource or with messages, and what it writes passes the loader's check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/window/resource/resource_buffer.h"
#include "tools/rescomp/resource_compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  vrt::window::CompileResult result = vrt::window::compile_declarations(text, "fuzz.wnd");
  if (!result.ok()) return 0;
  auto buffer = vrt::window::ResourceBuffer::from_resource(result.resource);
  if (!buffer || vrt::window::check_top_level(*buffer)) abort();
  for (uint32_t at = buffer->first_structure(); at != 0; at = buffer->next(at))
    if (vrt::window::check_structure(*buffer, at)) abort();
  return 0;
}
