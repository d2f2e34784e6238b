#include "runtime/core/expression/expression_names.h"

#include <cstring>
#include <iterator>
#include <map>

#include "runtime/core/base/fatal_error.h"
#include "runtime/platform/os/mutex.h"

namespace vrt::core {

namespace {

using R = ExprType;
using B = Builtin;

constexpr BuiltinInfo kBuiltins[] = {
    {"MEMORY", B::Memory, 1, 0, R::Integer},   {"SUB", B::Sub, 3, 1, R::String},
    {"INSTRING", B::Instring, 4, 2, R::Integer}, {"CLIP", B::Clip, 1, 1, R::String},
    {"ALL", B::All, 2, 1, R::String},          {"CENTER", B::Center, 2, 1, R::String},
    {"CHR", B::Chr, 1, 1, R::String},          {"DEFORMAT", B::Deformat, 2, 1, R::String},
    {"FORMAT", B::Format, 2, 2, R::String},    {"LEFT", B::Left, 2, 1, R::String},
    {"LEN", B::Len, 1, 1, R::Integer},         {"LOWER", B::Lower, 1, 1, R::String},
    {"NUMERIC", B::Numeric, 1, 1, R::Integer}, {"RIGHT", B::Right, 2, 1, R::String},
    {"UPPER", B::Upper, 1, 1, R::String},      {"VAL", B::Val, 1, 1, R::Integer},
    {"ABS", B::Abs, 1, 1, R::Real},            {"INRANGE", B::Inrange, 3, 3, R::Integer},
    {"INT", B::Int, 1, 1, R::Integer},         {"LOGE", B::Loge, 1, 1, R::Real},
    {"LOG10", B::Log10, 1, 1, R::Real},        {"RANDOM", B::Random, 2, 2, R::Integer},
    {"ROUND", B::Round, 2, 2, R::Real},        {"SQRT", B::Sqrt, 1, 1, R::Real},
    {"SIN", B::Sin, 1, 1, R::Real},            {"COS", B::Cos, 1, 1, R::Real},
    {"TAN", B::Tan, 1, 1, R::Real},            {"ASIN", B::Asin, 1, 1, R::Real},
    {"ACOS", B::Acos, 1, 1, R::Real},          {"ATAN", B::Atan, 1, 1, R::Real},
    {"BAND", B::Band, 2, 2, R::Integer},       {"BOR", B::Bor, 2, 2, R::Integer},
    {"BXOR", B::Bxor, 2, 2, R::Integer},       {"BSHIFT", B::Bshift, 2, 2, R::Integer},
    {"TODAY", B::Today, 0, 0, R::Integer},     {"CLOCK", B::Clock, 0, 0, R::Integer},
    {"DATE", B::Date, 3, 3, R::Integer},       {"DAY", B::Day, 1, 1, R::Integer},
    {"MONTH", B::Month, 1, 1, R::Integer},     {"YEAR", B::Year, 1, 1, R::Integer},
    {"AGE", B::Age, 2, 1, R::String},          {"CHOOSE", B::Choose, kListArguments, 2, R::String},
    {"INLIST", B::Inlist, kListArguments, 2, R::Integer}, {"GETINI", B::Getini, 4, 2, R::String},
    {"MATCH", B::Match, 3, 2, R::Integer},     {"NULL", B::Null, 1, 1, R::Integer},
};

struct Keyword {
  const char* name;
  Op op;
};
constexpr Keyword kKeywords[] = {{"AND", Op::And}, {"NOT", Op::Not}, {"OR", Op::Or}, {"XOR", Op::Xor}};

struct Scope {
  std::map<std::string, std::shared_ptr<const Binding>> names;
  bool closed = false;
};

// The current table is the back of the stack; the stack always holds one.
platform::Mutex g_mutex;
std::vector<Scope>& scopes() VRT_REQUIRES(g_mutex) {
  static std::vector<Scope> s(1);
  return s;
}

std::string upper(const std::string& s) {
  std::string u = s;
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return u;
}

void put(const std::string& name, Binding binding) {
  platform::MutexLock lock(g_mutex);
  scopes().back().names[upper(name)] = std::make_shared<const Binding>(std::move(binding));
}

}  // namespace

const BuiltinInfo* find_builtin(const std::string& name) {
  for (const BuiltinInfo& b : kBuiltins)
    if (name == b.name) return &b;
  return nullptr;
}

Op find_keyword(const std::string& name) {
  for (const Keyword& k : kKeywords)
    if (name == k.name) return k.op;
  return Op::None;
}

void Bind(const std::string& name, std::function<ExprValue()> variable) { put(name, {std::move(variable), {}}); }

void BindProcedure(const std::string& name, std::function<ExprValue(const std::vector<ExprValue>&)> procedure) {
  put(name, {{}, std::move(procedure)});
}

void Unbind(const std::string& name) {
  platform::MutexLock lock(g_mutex);
  scopes().back().names.erase(upper(name));
}

void PushScope(bool closed) {
  platform::MutexLock lock(g_mutex);
  scopes().back().closed = closed;
  scopes().emplace_back();
}

void PopScope() {
  {
    platform::MutexLock lock(g_mutex);
    if (scopes().size() > 1) {
      scopes().pop_back();
      return;
    }
  }
  fatal_runtime_error(802, "Mismatched POPSCOPE");
}

std::shared_ptr<const Binding> find_binding(const std::string& name) {
  platform::MutexLock lock(g_mutex);
  auto& s = scopes();
  auto found = s.back().names.find(name);
  if (found != s.back().names.end()) return found->second;
  for (size_t i = s.size() - 1; i-- > 0;) {
    if (s[i].closed) break;
    found = s[i].names.find(name);
    if (found != s[i].names.end()) return found->second;
  }
  return nullptr;
}

void reset_bindings() {
  platform::MutexLock lock(g_mutex);
  scopes().assign(1, Scope{});
}

}  // namespace vrt::core
