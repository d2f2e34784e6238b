// The parsed form of a module's declarations, between the compiler's
// reader and its writer.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "runtime/window/resource/resource_format.h"

namespace vrt::window {

struct DeclValue {
  enum Kind { Number, Text, Word } kind = Number;
  int64_t number = 0;
  std::string text;  // Text and Word
};

struct DeclNode {
  const RecordShape* shape = nullptr;
  int line = 0;
  bool application = false;  // the program's frame window
  uint32_t flags = 0;
  std::optional<int32_t> field;
  std::map<std::string, std::vector<DeclValue>> values;  // by field name
  std::vector<DeclNode> children, menubar, toolbar;
};

struct DeclModule {
  std::string module;
  std::vector<std::string> also;  // further modules with the same structures
  std::vector<DeclNode> structures;
};

// The type code of a type name ("STRING" gives 18), or -1.
int type_code_of(const std::string& name);

// Reads the text; errors are appended as "FILE:LINE: message".
DeclModule parse_declarations(std::string_view text, std::string_view file_name, std::vector<std::string>& errors);
// Numbers controls and menu entries depth first.
void number_fields(DeclModule& module);
// Two records of one structure with the same field number: an error each
// ("FILE:LINE: ..."), for the program could not tell them apart.
void check_field_numbers(const DeclModule& module, std::string_view file, std::vector<std::string>& errors);
// Writes the resource bytes: module name, NUL, structure area.
std::vector<uint8_t> write_resource(const DeclModule& module);

}  // namespace vrt::window
