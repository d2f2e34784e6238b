// Conversion between the OEM code page (437) and the ANSI code page (1252),
// as the system's OemToChar and CharToOem do: a character without an equal
// in the other page becomes the nearest plain letter or sign.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrt::platform {

uint8_t oem_to_ansi(uint8_t c);
uint8_t ansi_to_oem(uint8_t c);
void OemToCharBuff(const char* source, char* dest, size_t length);
void CharToOemBuff(const char* source, char* dest, size_t length);

// ANSI text as UTF-8 for the drawing and display libraries, and back
// (characters outside the ANSI page become "?").
std::string ansi_to_utf8(std::string_view ansi);
std::string utf8_to_ansi(std::string_view utf8);

// The system's view of ANSI characters: letters, upper case, lower-case form.
bool IsCharAlpha(uint8_t c);
bool IsCharUpper(uint8_t c);
uint8_t CharLower(uint8_t c);
// The system's ordering of one-character strings (negative, 0, positive).
int CompareChar(uint8_t a, uint8_t b);

}  // namespace vrt::platform
