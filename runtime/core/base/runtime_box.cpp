#include "runtime/core/base/runtime_box.h"

#include <cstdio>

namespace vrt::core {

namespace {

BoxAnswer box_to_stderr(const BoxRequest& r) {
  std::fprintf(stderr, "[%s] %s\n", r.caption.c_str(), r.text.c_str());
  std::fflush(stderr);
  return r.default_answer;
}

RuntimeBoxHandler g_handler = nullptr;

}  // namespace

BoxAnswer show_runtime_box(const BoxRequest& request) {
  return (g_handler ? g_handler : box_to_stderr)(request);
}

RuntimeBoxHandler set_runtime_box_handler(RuntimeBoxHandler handler) {
  RuntimeBoxHandler old = g_handler;
  g_handler = handler;
  return old;
}

}  // namespace vrt::core
