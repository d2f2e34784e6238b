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
  result.also = module.also;
  result.resource = write_resource(module);
  return result;
}

std::vector<uint8_t> resource_of(const CompileResult& result, const std::string& module) {
  std::vector<uint8_t> out(module.begin(), module.end());
  out.push_back(0);
  out.insert(out.end(), result.resource.begin() + static_cast<std::ptrdiff_t>(result.module.size() + 1),
             result.resource.end());
  return out;
}

}  // namespace vrt::window
