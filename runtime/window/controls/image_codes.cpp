#include "runtime/window/controls/image_codes.h"

#include <cctype>

#include "runtime/platform/gui/controls.h"
#include "runtime/platform/gui/input_api.h"

namespace vrt::window {

namespace {

using namespace vrt::platform;

enum class Source { Standard, Runtime, Name };

struct Decoded {
  Source source = Source::Name;
  int number = 0;  // n of a standard or runtime code
};

Decoded decode(std::string_view code) {
  if (code.size() >= 2 && static_cast<uint8_t>(code[0]) == 0xFF &&
      (static_cast<uint8_t>(code[1]) == 0x01 || static_cast<uint8_t>(code[1]) == 0x02)) {
    // A code cut short after its marker reads as number 0: no image.
    int n = 0;
    if (code.size() >= 4) n = static_cast<uint8_t>(code[2]) | static_cast<uint8_t>(code[3]) << 8;
    return {static_cast<uint8_t>(code[1]) == 0x01 ? Source::Standard : Source::Runtime, n};
  }
  return {};
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The icons drawn into this program go by their file names ("COPY.ICO");
// a resource name ("COPY_ICO") finds them as well.
HICON linked_icon(std::string_view name) {
  if (!name.empty() && name[0] == '~') name.remove_prefix(1);
  std::string wanted = upper(name);
  if (HICON icon = LoadIcon(wanted)) return icon;
  if (size_t last = wanted.rfind('_'); last != std::string::npos) {
    wanted[last] = '.';
    return LoadIcon(wanted);
  }
  return nullptr;
}

}  // namespace

std::string standard_image_code(int number) {
  int n = number + 1;
  return std::string{'\xFF', '\x01', static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF)};
}

std::string image_resource_name(std::string_view name) {
  if (!name.empty() && name[0] == '~') name.remove_prefix(1);
  std::string out = upper(name);
  for (char& c : out)
    if (c == '.') c = '_';
  return out;
}

HICON load_icon_code(std::string_view code) {
  Decoded d = decode(code);
  switch (d.source) {
    case Source::Standard:
    case Source::Runtime:
      // The runtime's own images are ones it draws, numbered as the
      // platform's are.
      return d.number == 0 ? nullptr : LoadIcon(static_cast<uintptr_t>(d.number - 1));
    case Source::Name: break;
  }
  if (code.empty()) return nullptr;
  std::string_view name = code;
  // An icon file's "[i]" chooses among its icons; the drawn icons have one.
  if (name.back() == ']')
    if (size_t open = name.rfind('['); open != std::string_view::npos) name = name.substr(0, open);
  return linked_icon(name);
}

HCURSOR load_cursor_code(std::string_view code) {
  Decoded d = decode(code);
  if (d.source == Source::Name) return LoadCursor(IDC_ARROW);  // no cursor images are linked in
  if (d.number == 0) return nullptr;
  if (d.number == 0x7F81) return LoadCursor(IDC_SIZEALL);
  if (d.number == 0x7F82) return LoadCursor(IDC_ARROW);
  return LoadCursor(d.number - 1);
}

}  // namespace vrt::window
