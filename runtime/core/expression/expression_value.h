// The values an evaluated expression passes around: an integer, a real or a
// text, with the type codes of the built-in table (1, 2, 4).
#pragma once
#include <cstdint>
#include <string>

namespace vrt::core {

enum class ExprType : uint8_t { Integer = 1, Real = 2, String = 4 };

struct ExprValue {
  ExprType type = ExprType::Integer;
  int64_t integer = 0;
  double real = 0;
  std::string text;

  static ExprValue of_integer(int64_t v) { return {ExprType::Integer, v, 0, {}}; }
  static ExprValue of_real(double v) { return {ExprType::Real, 0, v, {}}; }
  static ExprValue of_string(std::string v) { return {ExprType::String, 0, 0, std::move(v)}; }

  double as_real() const;
  int64_t as_integer() const;  // reals truncate toward zero
  std::string as_text() const;
  // Numbers are true when non-zero, texts when something other than
  // trailing blanks is left.
  bool truth() const;
};

}  // namespace vrt::core
