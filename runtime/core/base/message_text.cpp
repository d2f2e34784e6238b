#include "runtime/core/base/message_text.h"

#include <cstring>

#include "runtime/core/base/message_table.h"

namespace vrt::core {

namespace {
detail::Override* g_overrides = nullptr;  // newest first
}

detail::Override* detail::override_list_head() { return g_overrides; }

const std::string* find_message_override(int number) {
  for (auto* o = g_overrides; o; o = o->link)
    if (o->number == number) return &o->text;
  return nullptr;
}

void store_message_override(int number, const std::string& text) {
  for (auto* o = g_overrides; o; o = o->link)
    if (o->number == number) {
      o->text = text;
      return;
    }
  g_overrides = new detail::Override{g_overrides, number, text};
}

void clear_message_overrides() {
  while (g_overrides) {
    auto* next = g_overrides->link;
    delete g_overrides;
    g_overrides = next;
  }
}

static const char* known_text(int number) {
  if (const std::string* o = find_message_override(number)) return o->c_str();
  return runtime_message(number);
}

std::string message_text(int number) {
  if (number == 0) number = kMessageUnknownError;
  if (const char* t = known_text(number)) return t;
  const char* unknown = known_text(kMessageUnknownError);
  return std::string(unknown ? unknown : "") + " : " + std::to_string(number);
}

size_t message_text(int number, char* buffer, size_t size) {
  if (size == 0) return 0;
  std::string t = message_text(number);
  size_t n = std::min(t.size(), size - 1);
  std::memcpy(buffer, t.data(), n);
  buffer[n] = 0;
  return n;
}

}  // namespace vrt::core
