#include "runtime/window/loop/press_keys.h"

#include <cctype>
#include <deque>
#include <mutex>

#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/gui/input_api.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

struct Keystroke {
  UINT key;
  char ch;
};

std::mutex g_mutex;
std::deque<Keystroke> g_buffer;

// The key that types a character.
struct CharKey {
  char ch;
  UINT key;
};
constexpr CharKey kCharKeys[] = {{'\r', VK_RETURN}, {'\t', VK_TAB}, {'\b', VK_BACK}, {27, VK_ESCAPE}, {' ', VK_SPACE}};

Keystroke keystroke(char c) {
  for (const CharKey& k : kCharKeys)
    if (k.ch == c) return {k.key, c};
  if (std::isalnum(static_cast<unsigned char>(c))) return {static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))), c};
  return {0, c};
}

void put(std::deque<Keystroke> keys) {
  std::unique_lock lock(g_mutex);
  if (g_buffer.size() + keys.size() > kPressBufferSize) {
    lock.unlock();
    core::fatal_runtime_error(534);
    return;
  }
  g_buffer.insert(g_buffer.end(), keys.begin(), keys.end());
}

}  // namespace

void Press(std::string_view text) {
  std::deque<Keystroke> keys;
  for (char c : text) keys.push_back(keystroke(c));
  put(std::move(keys));
}

void PressKey(UINT key) { put({{key, 0}}); }

size_t pressed_keys_waiting() {
  std::lock_guard lock(g_mutex);
  return g_buffer.size();
}

bool feed_pressed_key() {
  Keystroke k;
  {
    std::lock_guard lock(g_mutex);
    if (g_buffer.empty()) return false;
    k = g_buffer.front();
    g_buffer.pop_front();
  }
  inject_key(k.key, true, k.ch);
  inject_key(k.key, false);
  return true;
}

}  // namespace vrt::window
