// Tables that keep their text in the OEM character set store STRING,
// CSTRING (up to its zero) and PSTRING (as many characters as its length
// byte says) fields converted from ANSI, and convert them back when read.
#pragma once
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

void record_text_to_oem(const FileDeclaration& declaration, std::string* record);
void record_text_to_ansi(const FileDeclaration& declaration, std::string* record);

}  // namespace vrt::data
