// Icon handles stand for icon names; the drawing layer draws them.
#include <mutex>
#include <string>
#include <vector>

#include "runtime/platform/gfx/icons.h"
#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/theme.h"

namespace vrt::platform {

namespace {

std::mutex g_mutex;
std::vector<std::string>& names() {
  static std::vector<std::string> n;
  return n;
}

}  // namespace

HICON LoadIcon(const std::string& name) {
  if (!icon_exists(name)) return nullptr;
  std::lock_guard lock(g_mutex);
  auto& n = names();
  for (size_t i = 0; i < n.size(); ++i)
    if (n[i] == name) return reinterpret_cast<HICON>(i + 1);
  n.push_back(name);
  return reinterpret_cast<HICON>(n.size());
}

HICON LoadIcon(uintptr_t id) {
  switch (id) {
    case IDI_HAND: return LoadIcon(std::string("STOP"));
    case IDI_QUESTION: return LoadIcon(std::string("QUESTION"));
    case IDI_EXCLAMATION: return LoadIcon(std::string("EXCLAMATION"));
    case IDI_ASTERISK: return LoadIcon(std::string("INFORMATION"));
    default: return LoadIcon(std::string("APPLICATION"));
  }
}

std::string icon_name(HICON icon) {
  std::lock_guard lock(g_mutex);
  size_t i = reinterpret_cast<uintptr_t>(icon);
  return i >= 1 && i <= names().size() ? names()[i - 1] : std::string();
}

bool DrawIcon(HDC dc, int x, int y, HICON icon, int size) {
  std::string name = icon_name(icon);
  if (name.empty()) return false;
  return draw_icon(dc, x, y, size > 0 ? size : GetSystemMetrics(SM_CXICON), name);
}

}  // namespace vrt::platform
