// MATCH in regular-expression mode against std::regex and POSIX regexec on
// the same patterns and texts, and EVALUATE of a typical view filter.
// Prints each figure and the ratios.
#include <regex.h>

#include <chrono>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "runtime/core/expression/evaluate.h"
#include "runtime/core/expression/match.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Case {
  const char* ours;   // our syntax
  const char* posix;  // the same pattern in extended POSIX syntax
};

const Case kCases[] = {
    {"^Sm.th", "^Sm.th"},
    {"son$", "son$"},
    {"[0-9][0-9][0-9]-[0-9][0-9][0-9][0-9]", "[0-9][0-9][0-9]-[0-9][0-9][0-9][0-9]"},
    {"{Lon|Par|Ber}[a-z]+", "(Lon|Par|Ber)[a-z]+"},
    {"a.*b.*c", "a.*b.*c"},
};

std::vector<std::string> texts() {
  const char* words[] = {"Smith", "Smyth", "Jackson", "London", "Paris", "Berlin", "call 555-1234 now",
                         "abacus brings cake", "nothing here at all", "Johnson and son"};
  std::vector<std::string> out;
  uint32_t x = 3;
  for (int i = 0; i < 2000; ++i) {
    std::string t;
    for (int w = 0; w < 4; ++w) {
      x = x * 1103515245 + 12345;
      t += words[(x >> 16) % 10];
      t += ' ';
    }
    out.push_back(t);
  }
  return out;
}

template <typename F>
double seconds(F&& f) {
  auto start = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
  const std::vector<std::string> corpus = texts();
  const int rounds = 20;
  double ours_total = 0, stdre_total = 0, posix_total = 0;
  std::printf("%-40s %12s %12s %12s\n", "pattern", "MATCH/s", "std::regex/s", "regexec/s");
  for (const Case& c : kCases) {
    long hits_ours = 0, hits_std = 0, hits_posix = 0;
    double t_ours = seconds([&] {
      for (int r = 0; r < rounds; ++r)
        for (const std::string& t : corpus) hits_ours += vrt::core::Match(t, c.ours, vrt::core::kMatchRegular);
    });
    std::regex re(c.posix, std::regex::extended);
    double t_std = seconds([&] {
      for (int r = 0; r < rounds; ++r)
        for (const std::string& t : corpus) hits_std += std::regex_search(t, re);
    });
    regex_t preg;
    regcomp(&preg, c.posix, REG_EXTENDED | REG_NOSUB);
    double t_posix = seconds([&] {
      for (int r = 0; r < rounds; ++r)
        for (const std::string& t : corpus) hits_posix += regexec(&preg, t.c_str(), 0, nullptr, 0) == 0;
    });
    regfree(&preg);
    if (hits_ours != hits_std || hits_ours != hits_posix)
      std::printf("  results differ: %ld %ld %ld\n", hits_ours, hits_std, hits_posix);
    double n = double(rounds) * corpus.size();
    std::printf("%-40s %12.0f %12.0f %12.0f\n", c.ours, n / t_ours, n / t_std, n / t_posix);
    ours_total += t_ours;
    stdre_total += t_std;
    posix_total += t_posix;
  }
  std::printf("MATCH is %.1fx std::regex and %.1fx regexec\n", stdre_total / ours_total, posix_total / ours_total);

  // A typical filter: two bound fields compared, joined by AND.
  std::string name = "Smith";
  int32_t id = 0;
  vrt::core::Bind("CUS:NAME", [&] { return vrt::core::ExprValue::of_string(name); });
  vrt::core::Bind("CUS:ID", [&] { return vrt::core::ExprValue::of_integer(id); });
  vrt::core::Expression filter;
  filter.compile("CUS:NAME >= 'Sm' AND CUS:ID < 500000");
  const int evaluations = 2000000;
  long passed = 0;
  double t_eval = seconds([&] {
    for (int i = 0; i < evaluations; ++i) {
      id = i;
      passed += filter.test();
    }
  });
  const int parses = 200000;
  double t_parse = seconds([&] {
    for (int i = 0; i < parses; ++i) passed += !vrt::core::Evaluate("CUS:NAME >= 'Sm' AND CUS:ID < 500000").empty();
  });
  std::printf("compiled filter: %.0f evaluations/s; EVALUATE from text: %.0f/s (%ld)\n", evaluations / t_eval,
              parses / t_parse, passed);
  return 0;
}
