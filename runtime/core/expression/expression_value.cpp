#include "runtime/core/expression/expression_value.h"

#include <cmath>

#include "runtime/core/values/number_text.h"


namespace vrt::core {


double ExprValue::as_real() const {
  switch (type) {
    case ExprType::Integer: return static_cast<double>(integer);
    case ExprType::Real: return real;
    case ExprType::String: return text_to_real(text);
  }
  return 0;
}

int64_t ExprValue::as_integer() const {
  switch (type) {
    case ExprType::Integer: return integer;
    case ExprType::Real:
      if (!(std::fabs(real) < 9.2e18)) return 0;
      return static_cast<int64_t>(real);
    case ExprType::String: {
      double r = text_to_real(text);
      return std::fabs(r) < 9.2e18 ? static_cast<int64_t>(r) : 0;
    }
  }
  return 0;
}

std::string ExprValue::as_text() const {
  switch (type) {
    case ExprType::Integer: return std::to_string(integer);
    case ExprType::Real: return real_to_text(real);
    case ExprType::String: return text;
  }
  return {};
}

bool ExprValue::truth() const {
  switch (type) {
    case ExprType::Integer: return integer != 0;
    case ExprType::Real: return real != 0;
    case ExprType::String: return text.find_first_not_of(' ') != std::string::npos;
  }
  return false;
}

}  // namespace vrt::core
