#include "runtime/core/expression/match.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <regex>

#include "runtime/core/base/environment.h"
#include "runtime/core/expression/evaluate.h"
#include "runtime/core/expression/regex_matcher.h"
#include "runtime/core/base/settings.h"
#include "runtime/core/text/sound_code.h"

namespace vrt::core {
namespace {

TEST(MatchExact, LengthAndCase) {
  EXPECT_TRUE(Match("abc", "abc", kMatchExact));
  EXPECT_FALSE(Match("abc ", "abc", kMatchExact));
  EXPECT_FALSE(Match("ABC", "abc", kMatchExact));
  EXPECT_TRUE(Match("ABC", "abc", kMatchExact | kMatchNoCase));
  EXPECT_FALSE(Match("abc", "abc", 7));  // unknown kinds never match
}

TEST(MatchWildcard, StarsAndQuestionMarks) {
  EXPECT_TRUE(Match("abc", "a*"));
  EXPECT_TRUE(Match("abc", "*c"));
  EXPECT_TRUE(Match("abc", "a?c"));
  EXPECT_TRUE(Match("abc", "*"));
  EXPECT_TRUE(Match("", "*"));
  EXPECT_FALSE(Match("", "?"));
  EXPECT_TRUE(Match("abcbcd", "a*bcd"));  // backtracking over the star
  EXPECT_TRUE(Match("mississippi", "m*iss*ppi"));
  EXPECT_FALSE(Match("mississippi", "m*iss*ppx"));
  EXPECT_FALSE(Match("abcd", "*bc"));
  EXPECT_TRUE(Match("xxAByy", "*ab*", kMatchWild | kMatchNoCase));
  EXPECT_TRUE(Match("abc", "**?**"));
}

TEST(MatchWildcard, LeadingStarChecksTheTailFirst) {
  // Fails at once on the tail: a value of any length ends in a different
  // character, so the backtracking never starts.
  std::string long_value(100000, 'a');
  EXPECT_FALSE(Match(long_value, "*a*a*a*a*a*a*b"));
  EXPECT_TRUE(Match(long_value + "b", "*a*a*b"));
  EXPECT_FALSE(Match("ab", "*abc"));  // tail longer than the value
}

struct RegexCase {
  const char* pattern;
  const char* text;
  bool matches;
};

TEST(MatchRegular, Syntax) {
  const RegexCase cases[] = {
      {"b.d", "abcdef", true},   {"b.e", "abcdef", false},     {"^ab", "abc", true},
      {"^b", "abc", false},      {"bc$", "abc", true},        {"b$", "abc", false},
      {"^$", "", true},          {"^$", "a", false},          {"", "anything", true},
      {"[a-c]x", "zzbx", true},  {"[a-c]x", "zzdx", false},   {"[^a-c]x", "bxdx", true},
      {"[~a-c]x", "axbx", false}, {"[]]", "a]b", true},       {"[-a]", "x-y", true},
      {"[a-]", "x-y", true},     {"{ab}+c", "ababc", true},   {"x{ab}*y", "xy", true},
      {"x{ab}*y", "xaby", true}, {"x{ab}*y", "xaay", false},  {"colou?r", "color", true},
      {"colou?r", "colouur", false}, {"a|b", "xxb", true},    {"^a|b$", "xb", true},
      {"^{a|b}c$", "bc", true},  {"^{a|b}c$", "abc", false},  {"\\.", "a.b", true},
      {"\\.", "ab", false},      {"a\\*", "a*", true},         {"a+", "baaa", true},
      {"^a+$", "aab", false},    {"{}x", "x", true},
      // Invalid patterns match nothing.
      {"[z-a]", "z", false},     {"[abc", "a", false},        {"{ab", "ab", false},
      {"ab}", "ab", false},      {"*a", "a", false},          {"{+a}", "a", false},
      {"a|*b", "b", false},      {"a\\", "a", false},
  };
  for (const RegexCase& c : cases)
    EXPECT_EQ(Match(c.text, c.pattern, kMatchRegular), c.matches) << c.pattern << " in " << c.text;
}

TEST(MatchRegular, NoCaseGoesThroughTheCaseTable) {
  EXPECT_TRUE(Match("HELLO", "^hel+o$", kMatchRegular | kMatchNoCase));
  EXPECT_FALSE(Match("HELLO", "^hel+o$", kMatchRegular));
  EXPECT_TRUE(Match("ABC", "[a-c]+", kMatchRegular | kMatchNoCase));
  EXPECT_FALSE(Match("A", "[^a]", kMatchRegular | kMatchNoCase));
  reset_settings();
  set_environment_value("ZORCASE", "\xC4,\xE4");
  EXPECT_TRUE(Match("\xC4rger", "^\xE4r", kMatchRegular | kMatchNoCase));
  reset_settings();
}

TEST(MatchRegular, CachedPatternFollowsTheCaseFlag) {
  EXPECT_FALSE(Match("ABC", "abc", kMatchRegular));
  EXPECT_TRUE(Match("ABC", "abc", kMatchRegular | kMatchNoCase));
  EXPECT_FALSE(Match("ABC", "abc", kMatchRegular));
}

TEST(MatchRegular, AgreesWithAnotherEngineOnRandomCases) {
  // Patterns built from a small alphabet, checked against the standard
  // library's extended syntax (same meaning once {} become ()).
  uint32_t x = 7;
  auto draw = [&](uint32_t n) {
    x = x * 1664525u + 1013904223u;
    return (x >> 8) % n;
  };
  const char* atoms[] = {"a", "b", ".", "[ab]", "[^a]", "{a|b}", "{ab}"};
  const char* posts[] = {"", "", "*", "+", "?"};
  for (int round = 0; round < 400; ++round) {
    std::string ours, theirs;
    if (draw(4) == 0) ours += "^", theirs += "^";
    for (uint32_t k = 1 + draw(4); k > 0; --k) {
      std::string atom = atoms[draw(7)];
      std::string post = posts[draw(5)];
      ours += atom + post;
      std::string t = atom;
      for (char& c : t) c = c == '{' ? '(' : c == '}' ? ')' : c;
      theirs += t + post;
    }
    if (draw(4) == 0) ours += "$", theirs += "$";
    std::regex re(theirs, std::regex::extended);
    for (int t = 0; t < 8; ++t) {
      std::string text;
      for (uint32_t n = draw(7); n > 0; --n) text += "abc"[draw(3)];
      ASSERT_EQ(Match(text, ours, kMatchRegular), std::regex_search(text, re)) << ours << " on " << text;
    }
  }
}

TEST(MatchRegular, ManyStatesStayCorrect) {
  // (a|b)*a(a|b){12}: a deterministic form needs thousands of states, so
  // the cache of states fills and starts again during the scan.
  std::string pattern = "{a|b}*a";
  for (int i = 0; i < 12; ++i) pattern += "{a|b}";
  pattern += "$";
  std::string text;
  uint32_t x = 1;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245 + 12345;
    text += (x >> 16) & 1 ? 'a' : 'b';
  }
  bool expected = text[text.size() - 13] == 'a';
  EXPECT_EQ(Match(text, pattern, kMatchRegular), expected);
  text[text.size() - 13] = expected ? 'b' : 'a';
  EXPECT_EQ(Match(text, pattern, kMatchRegular), !expected);
}

// Runs `body` on a thread with a small stack, as a procedure thread has.
template <typename Body>
void on_small_stack(Body body) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  pthread_t thread;
  auto run = [](void* arg) -> void* {
    (*static_cast<Body*>(arg))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, &body), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST(MatchRegular, ManyAlternativesNeedNoDeepStack) {
  std::string pattern;
  for (int i = 0; i < 30000; ++i) pattern += "a|";
  pattern += "x";
  bool found = false, missing = true, in_evaluate = false;
  on_small_stack([&] {
    found = Match("x", pattern, kMatchRegular);
    missing = Match("y", pattern, kMatchRegular);
    Expression e;
    ExprValue v;
    in_evaluate = e.compile("MATCH('zxz', '" + pattern + "', 2)") && e.evaluate(&v) && v.as_text() == "1";
  });
  EXPECT_TRUE(found);
  EXPECT_FALSE(missing);
  EXPECT_TRUE(in_evaluate);
}

TEST(MatchRegular, RepeatedRepetitionsCompileAndMatch) {
  // Each "*" once copied the growing body: 65,000 of them took seconds.
  std::string pattern = "^a" + std::string(65000, '*') + "$";
  EXPECT_TRUE(Match("aaaa", pattern, kMatchRegular));
  EXPECT_TRUE(Match("", pattern, kMatchRegular));
  EXPECT_FALSE(Match("ab", pattern, kMatchRegular));
  EXPECT_TRUE(Match("ab", "^{a|}+b$", kMatchRegular));  // an empty alternative under a loop
  EXPECT_TRUE(Match("abab", "^{ab}*{}$", kMatchRegular));
}

TEST(MatchRegular, GroupsNestOnlyAsDeepAsTheBound) {
  EXPECT_TRUE(Match("a", std::string(100, '{') + "a" + std::string(100, '}'), kMatchRegular));
  EXPECT_FALSE(Match("a", std::string(5000, '{') + "a" + std::string(5000, '}'), kMatchRegular));
}

TEST(SoundCode, Examples) {
  EXPECT_EQ(sound_code("Jackson"), "J500");
  EXPECT_EQ(sound_code("Lloyd"), "L300");
  EXPECT_EQ(sound_code("Robert"), "R130");
  EXPECT_EQ(sound_code("Ashcraft"), "A226");  // a vowel first: every digit counts
  EXPECT_EQ(sound_code("  12smith"), "S530");
  EXPECT_EQ(sound_code("1234"), "!000");
  EXPECT_EQ(sound_code(""), "!000");
  EXPECT_EQ(sound_code("a"), "A000");
  EXPECT_TRUE(Match("Smith", "Smyth", kMatchSoundex));
  EXPECT_FALSE(Match("Smith", "Jones", kMatchSoundex));
}

}  // namespace
}  // namespace vrt::core
