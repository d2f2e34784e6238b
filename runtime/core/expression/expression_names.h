// The names an expression may use: the keyword operators, the built-in
// functions and whatever the program has bound, in nested scopes.
//
// A push saves the current table (with its closed flag) and starts an empty
// one; a pop destroys the current table and brings the saved one back. A
// lookup searches the current table, then the saved ones from the innermost
// outward, and goes no further than the first closed one.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/expression/expression_value.h"

namespace vrt::core {

// Operator codes, shared by the parser, the evaluator and the filter text.
enum class Op : uint8_t {
  None = 0,
  Power = 2,
  Multiply = 3,
  Divide = 4,
  Modulus = 5,
  Negate = 6,
  Add = 7,
  Subtract = 8,
  Concat = 9,
  Equal = 10,
  NotEqual = 11,
  Less = 12,
  Greater = 13,
  LessEqual = 14,
  GreaterEqual = 15,
  Not = 16,
  And = 17,
  Or = 18,
  Xor = 19,
  Comma = 20,
  Colon = 21,
};

// The built-in functions; the code is the table's function code.
enum class Builtin : uint8_t {
  Memory = 1, Sub, Instring, Clip, All, Center, Chr, Deformat, Format, Left, Len, Lower, Numeric, Right,
  Upper, Val, Abs, Inrange, Int, Loge, Log10, Random, Round, Sqrt, Sin, Cos, Tan, Asin, Acos, Atan, Band,
  Bor, Bxor, Bshift, Today, Clock, Date, Day, Month, Year, Age, Choose, Inlist, Getini, Match, Null,
};

inline constexpr int kListArguments = 25;  // "any number" in the argument column

struct BuiltinInfo {
  const char* name;
  Builtin code;
  int max_arguments;  // kListArguments for a list
  int min_arguments;  // trailing arguments with a default may be left out
  ExprType result;
};

const BuiltinInfo* find_builtin(const std::string& upper_name);
// The keyword operators AND, NOT, OR and XOR; Op::None for other names.
Op find_keyword(const std::string& upper_name);

// What BIND attaches to a name: a variable (read each time it is used) or
// a procedure (called with the evaluated arguments).
struct Binding {
  std::function<ExprValue()> variable;
  std::function<ExprValue(const std::vector<ExprValue>&)> procedure;
};

// Names are kept and looked up in upper case.
void Bind(const std::string& name, std::function<ExprValue()> variable);
void BindProcedure(const std::string& name, std::function<ExprValue(const std::vector<ExprValue>&)> procedure);
void Unbind(const std::string& name);
void PushScope(bool closed = false);
// Fatal runtime error 802 when no scope was pushed.
void PopScope();
// The binding of a name, or null.
std::shared_ptr<const Binding> find_binding(const std::string& upper_name);

// Removes every binding and scope (for tests and shutdown).
void reset_bindings();

}  // namespace vrt::core
