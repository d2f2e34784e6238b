// The compiler of window declarations: the readable text of one module's
// windows and reports in, the module's "DABDUMP" resource out.
//
//   # comment
//   module "marlock$marlo002"
//   window "P1$QUICKWINDOW" title="Browse Customers" at=default,default,320,200
//          flags=0x800 flags2=0x3024 font="MS Sans Serif",8 timer=1 status=-1,77,25
//     prompt "&Name:" at=4,4,40,10
//     entry var=STRING,20 picture="s20" at=48,4,80,10 msg="Enter the name"
//     button "&OK" at=4,180,40,14 key=13 action=15 default
//     sheet at=4,20,300,150
//       tab "General"
//         radio "One" at=10,10,40,10
//       end
//     end
//   end
//
// A line is a record keyword, an optional quoted text (the label of a
// window or report, else the record's text), then attributes `name=value`
// (values separated by commas; `default` for a coordinate not given) and
// flag words. Records that hold others (windows, reports, menu bars, menus,
// toolbars, sheets, tabs, groups, options and bands) end with `end`.
// `application` declares the program's frame window, whose menu entries are
// numbered -1, -2 ...; every other control and menu entry is numbered 1, 2
// ... in declaration order, depth first, unless it gives `field=N`. A
// module line may name several modules: each gets the same structures.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vrt::window {

struct CompileResult {
  std::string module;
  std::vector<uint8_t> resource;    // empty when there were errors
  std::vector<std::string> also;    // further modules sharing the structures
  std::vector<std::string> errors;  // "FILE:LINE: message"
  bool ok() const { return errors.empty(); }
};

CompileResult compile_declarations(std::string_view text, std::string_view file_name);

// The resource of one of the result's modules: the structure area is the
// same, only the module name in front differs.
std::vector<uint8_t> resource_of(const CompileResult& result, const std::string& module);

}  // namespace vrt::window
