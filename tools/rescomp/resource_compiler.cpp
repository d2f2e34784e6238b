#include "tools/rescomp/resource_compiler.h"

#include "tools/rescomp/declaration_tree.h"

namespace vrt::window {

CompileResult compile_declarations(std::string_view text, std::string_view file_name) {
  CompileResult result;
  DeclModule module = parse_declarations(text, file_name, result.errors);
  if (!result.ok()) return result;
  number_fields(module);
  check_field_numbers(module, file_name, result.errors);
  if (!result.ok()) return result;
  result.module = module.module;
  result.resource = write_resource(module);
  return result;
}

}  // namespace vrt::window
