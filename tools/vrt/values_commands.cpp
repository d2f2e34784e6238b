// vrt store, decimal and compare.
#include <cstdio>
#include <cstring>

#include "runtime/core/values/decimal.h"
#include "runtime/core/values/decimal_field.h"
#include "runtime/core/base/environment.h"
#include "runtime/core/base/string_compare.h"
#include "runtime/core/values/type_codes.h"
#include "runtime/core/values/value.h"
#include "tools/vrt/command.h"

namespace vrt::tool {

namespace {

constexpr int kArithmeticOverflow = 404;

struct StoreType {
  const char* name;
  core::TypeCode code;
  bool sized;  // takes SIZE and PLACES
};

constexpr StoreType kStoreTypes[] = {
    {"DECIMAL", core::TypeCode::DECIMAL, true}, {"PDECIMAL", core::TypeCode::PDECIMAL, true},
    {"BFLOAT4", core::TypeCode::BFLOAT4, false}, {"BFLOAT8", core::TypeCode::BFLOAT8, false},
    {"DATE", core::TypeCode::DATE, false},       {"TIME", core::TypeCode::TIME, false},
    {"LONG", core::TypeCode::LONG, false},       {"SHORT", core::TypeCode::SHORT, false},
};

int store_cmd(const Args& args) {
  if (args.size() != 2 && args.size() != 4) return usage_error("store");
  const StoreType* type = nullptr;
  for (const StoreType& t : kStoreTypes)
    if (args[0] == t.name) type = &t;
  if (!type || type->sized != (args.size() == 4)) return usage_error("store");
  long long size = core::fixed_storage_size(type->code), places = 0;
  if (type->sized && (!parse_int(args[2], &size) || !parse_int(args[3], &places) || size < 1 ||
                      size > core::kMaxDecimalBytes || places < 0 || places > core::kMaxDecimalPlaces))
    return usage_error("store");
  uint8_t bytes[core::kMaxDecimalBytes] = {};
  auto value = core::make_value(type->code, bytes, static_cast<uint32_t>(size), static_cast<uint8_t>(places));
  value->set_text(args[1]);
  for (long long i = 0; i < size; ++i) std::printf(i ? " %02X" : "%02X", bytes[i]);
  std::printf("\n%s\n", value->get_text().c_str());
  return 0;
}

int decimal_cmd(const Args& args) {
  if (args.size() != 3 || args[1].size() != 1 || !std::strchr("+-*/^", args[1][0])) return usage_error("decimal");
  core::Decimal a = core::decimal_from_text(args[0]);
  core::Decimal b = core::decimal_from_text(args[2]);
  core::Decimal r;
  core::DecimalStatus status;
  switch (args[1][0]) {
    case '+': status = core::decimal_add(a, b, &r); break;
    case '-': status = core::decimal_subtract(a, b, &r); break;
    case '*': status = core::decimal_multiply(a, b, &r); break;
    case '/': status = core::decimal_divide(a, b, &r); break;
    default: status = core::decimal_power(a, core::decimal_integer_part(b), &r); break;
  }
  if (status != core::DecimalStatus::kOk) return failure(kArithmeticOverflow);
  std::printf("%s\n", core::decimal_to_text(r).c_str());
  return 0;
}

int compare_cmd(const Args& in) {
  Args args = in;
  std::string env;
  bool has_env = take_option(args, "--env", &env);
  if (args.size() != 2) return usage_error("compare");
  if (has_env && !core::load_environment_file(env)) return posted_failure();
  int c = core::compare_strings(args[0], args[1]);
  std::printf("%d\n", c < 0 ? -1 : (c > 0 ? 1 : 0));
  return 0;
}

RegisterCommand r1({"store", "TYPE VALUE [SIZE PLACES]  (DECIMAL PDECIMAL BFLOAT4 BFLOAT8 DATE TIME LONG SHORT)",
                    store_cmd});
RegisterCommand r2({"decimal", "A OP B  (OP one of + - * / ^)", decimal_cmd});
RegisterCommand r3({"compare", "A B [--env FILE]", compare_cmd});

}  // namespace

}  // namespace vrt::tool
