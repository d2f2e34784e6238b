#include "runtime/platform/os/codepage.h"

#include <array>

namespace vrt::platform {

namespace {

#include "runtime/platform/os/codepage_tables.inc"

uint32_t unicode_of(const uint16_t* upper_half, uint8_t c) { return c < 128 ? c : upper_half[c - 128]; }

// The plain letter a Latin-1 accented letter is based on, or 0.
char base_letter(uint32_t u) {
  static const char* const kLatin1 =  // U+00C0 .. U+00FF
      "AAAAAAACEEEEIIII"
      "DNOOOOO*OUUUUYTs"
      "aaaaaaaceeeeiiii"
      "dnooooo/ouuuuyty";
  if (u >= 0xC0 && u <= 0xFF) return kLatin1[u - 0xC0];
  switch (u) {
    case 0x160: return 'S';
    case 0x161: return 's';
    case 0x17D: return 'Z';
    case 0x17E: return 'z';
    case 0x178: return 'Y';
    case 0x192: return 'f';
    default: return 0;
  }
}

// Box drawing and other signs without an equal: the nearest ASCII sign.
uint8_t nearest(uint32_t u) {
  if (char b = base_letter(u)) return static_cast<uint8_t>(b);
  if (u >= 0x2500 && u <= 0x257F) {
    if (u == 0x2500 || u == 0x2550) return '-';
    if (u == 0x2502 || u == 0x2551) return '|';
    return '+';
  }
  if (u >= 0x2580 && u <= 0x25A0) return '#';
  return '_';
}

struct Maps {
  std::array<uint8_t, 256> oem_to_ansi{}, ansi_to_oem{};
  Maps() {
    for (int c = 0; c < 256; ++c) {
      oem_to_ansi[c] = convert(kOemToUnicode, kAnsiToUnicode, static_cast<uint8_t>(c));
      ansi_to_oem[c] = convert(kAnsiToUnicode, kOemToUnicode, static_cast<uint8_t>(c));
    }
  }
  static uint8_t convert(const uint16_t* from, const uint16_t* to, uint8_t c) {
    if (c < 128) return c;
    uint32_t u = unicode_of(from, c);
    for (int d = 128; d < 256; ++d)
      if (u != 0 && to[d - 128] == u) return static_cast<uint8_t>(d);
    // Latin-1 letters exist in the ANSI page by their own code.
    if (to == kAnsiToUnicode && u >= 0xA0 && u <= 0xFF) return static_cast<uint8_t>(u);
    return nearest(u);
  }
};

const Maps& maps() {
  static const Maps m;
  return m;
}

}  // namespace

std::string ansi_to_utf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (unsigned char c : ansi) {
    uint32_t u = unicode_of(kAnsiToUnicode, c);
    if (u == 0 && c >= 128) u = c;  // the page's gaps stand for themselves
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

std::string utf8_to_ansi(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    uint32_t u;
    size_t len;
    if (c < 0x80) { u = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { u = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { u = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { u = c & 0x07; len = 4; }
    else { out += '?'; ++i; continue; }
    if (i + len > utf8.size()) { out += '?'; break; }
    for (size_t k = 1; k < len; ++k) u = (u << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += len;
    if (u < 0x80) { out += static_cast<char>(u); continue; }
    char found = '?';
    for (int d = 128; d < 256; ++d)
      if (kAnsiToUnicode[d - 128] == u) { found = static_cast<char>(d); break; }
    out += found;
  }
  return out;
}

uint8_t oem_to_ansi(uint8_t c) { return maps().oem_to_ansi[c]; }
uint8_t ansi_to_oem(uint8_t c) { return maps().ansi_to_oem[c]; }

void OemToCharBuff(const char* source, char* dest, size_t length) {
  for (size_t i = 0; i < length; ++i) dest[i] = static_cast<char>(oem_to_ansi(static_cast<uint8_t>(source[i])));
}

void CharToOemBuff(const char* source, char* dest, size_t length) {
  for (size_t i = 0; i < length; ++i) dest[i] = static_cast<char>(ansi_to_oem(static_cast<uint8_t>(source[i])));
}

bool IsCharAlpha(uint8_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  uint32_t u = unicode_of(kAnsiToUnicode, c);
  // The OE ligature is a letter with its own case pair, though no base
  // letter stands for it.
  if (u == 0x152 || u == 0x153) return true;
  return base_letter(u) != 0 && u != 0xD7 && u != 0xF7;
}

bool IsCharUpper(uint8_t c) {
  if (!IsCharAlpha(c)) return false;
  if (c < 128) return c >= 'A' && c <= 'Z';
  uint32_t u = unicode_of(kAnsiToUnicode, c);
  if (u == 0xDF) return false;  // sharp s has no upper case here
  return (u >= 0xC0 && u <= 0xDE) || u == 0x160 || u == 0x17D || u == 0x178 || u == 0x152;
}

uint8_t CharLower(uint8_t c) {
  if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(c + 32);
  if (!IsCharUpper(c)) return c;
  uint32_t u = unicode_of(kAnsiToUnicode, c);
  if (u >= 0xC0 && u <= 0xDE) return static_cast<uint8_t>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;  // S caron
    case 0x8C: return 0x9C;  // OE
    case 0x8E: return 0x9E;  // Z caron
    case 0x9F: return 0xFF;  // Y diaeresis
    default: return c;
  }
}

namespace {
// Signs first, then digits, then letters by their base letter with the
// lower case ahead of the upper and the plain letter ahead of accented ones.
int sort_key(uint8_t c) {
  uint32_t u = unicode_of(kAnsiToUnicode, c);
  char b = base_letter(u);
  if (!b && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) b = static_cast<char>(c);
  if (b && b != '*' && b != '/') {
    int letter = (b | 0x20) - 'a';
    bool upper = b >= 'A' && b <= 'Z';
    bool accented = c >= 128;
    return 0x10000 + letter * 0x400 + (accented ? 0x200 : 0) + (upper ? 0x100 : 0) + c;
  }
  if (c >= '0' && c <= '9') return 0x8000 + c;
  return c;
}
}  // namespace

int CompareChar(uint8_t a, uint8_t b) { return sort_key(a) - sort_key(b); }

}  // namespace vrt::platform
