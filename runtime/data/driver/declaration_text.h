// A FILE declaration in its source form, as the driver's declaration dump
// writes it and as the bdx tool reads it back:
//
//   FILE,DRIVER('BRINDLEX'),NAME('CUSTOMER'),CREATE,THREAD
//   CUS:BYNAME KEY(+CUS:NAME),NOCASE,OPT        (the key's label is optional)
//   MEMO(1000),NAME('NOTES'),BINARY
//   RECORD
//   CUS:CUSID LONG
//   CUS:NAME STRING(20)
//   CUS:AMOUNT DECIMAL(9,2), DIM(4)
//   END
//   END
#pragma once
#include <string>

#include "runtime/data/driver/file_block.h"

namespace vrt::data {

// Parses the text into a laid-out declaration. On failure returns false and
// sets *message to "line N: what is wrong".
bool parse_declaration(const std::string& text, FileDeclaration* declaration, std::string* message);

// Writes the declaration in source form. With labels, key and memo lines
// begin with their labels so that the text can be read back; the OWNER
// password is never written, only ",OWNER(******)".
std::string write_declaration(const FileDeclaration& declaration, bool with_labels);

}  // namespace vrt::data
