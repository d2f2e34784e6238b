// Compiling declarations inside a test, and capturing the runtime's boxes.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "runtime/core/base/runtime_box.h"
#include "runtime/window/resource/resource_buffer.h"
#include "tools/rescomp/resource_compiler.h"
#include "runtime/window/resource/resource_registry.h"

namespace vrt::window::test {

inline std::vector<uint8_t> compile(const std::string& text) {
  CompileResult r = compile_declarations(text, "test.wnd");
  EXPECT_TRUE(r.ok()) << (r.errors.empty() ? "" : r.errors[0]);
  return r.resource;
}

// Registered resources must outlive the registry's spans.
inline void register_compiled(const std::string& image, const std::string& text) {
  static std::deque<std::vector<uint8_t>> kept;
  CompileResult r = compile_declarations(text, "test.wnd");
  ASSERT_TRUE(r.ok()) << r.errors[0];
  kept.push_back(std::move(r.resource));
  register_resource(image, resource_name(r.module), kResourceType, kept.back());
}

// Boxes shown by the runtime while the capture lives.
class BoxCapture {
 public:
  BoxCapture() { previous_ = core::set_runtime_box_handler(&BoxCapture::handle); boxes().clear(); }
  ~BoxCapture() { core::set_runtime_box_handler(previous_); }
  static std::vector<std::string>& boxes() {
    static std::vector<std::string> b;
    return b;
  }

 private:
  static core::BoxAnswer handle(const core::BoxRequest& r) {
    boxes().push_back(r.text);
    return r.default_answer;
  }
  core::RuntimeBoxHandler previous_;
};

}  // namespace vrt::window::test
