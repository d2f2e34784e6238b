#include "runtime/core/expression/regex_matcher.h"

#include <algorithm>
#include <bitset>
#include <map>
#include <vector>

#include "runtime/core/base/settings.h"

namespace vrt::core {

namespace {

constexpr size_t kMaxPattern = 1 << 16;
constexpr int kMaxGroupDepth = 100;
constexpr size_t kMaxDfaStates = 4096;

using ByteSet = std::bitset<256>;

// The automaton's instructions. Every instruction names its successors, so
// a fragment is built once and never copied or moved: compiling is linear
// in the pattern, however its repetitions and alternatives nest.
struct Inst {
  enum Kind : uint8_t { Set, Split, Jump, Bol, Eol, Match } kind;
  uint32_t x = 0, y = 0;  // successors: x for all but Match, y for Split
  uint32_t set = 0;       // index of a Set's byte set
};

struct Program {
  std::vector<Inst> code;
  std::vector<ByteSet> sets;
  uint32_t start = 0;
};

// A piece of the automaton under construction: where it begins, and the
// successor fields still to be pointed at whatever follows it (2 * pc for an
// instruction's x, 2 * pc + 1 for a Split's y).
struct Fragment {
  uint32_t start = 0;
  std::vector<uint32_t> outs;
};

// Recursive descent over groups only (bounded by kMaxGroupDepth); the
// alternatives and items of one group are read in loops.
class Compiler {
 public:
  Compiler(std::string_view p, bool no_case) : p_(p), no_case_(no_case) {}

  bool compile(Program* out) {
    if (p_.size() > kMaxPattern) return false;
    prog_.code.reserve(2 * p_.size() + 4);  // at most two a pattern byte
    Fragment f;
    if (!alternation(0, &f) || pos_ != p_.size()) return false;
    patch(f, emit({Inst::Match}));
    prog_.start = f.start;
    *out = std::move(prog_);
    return true;
  }

 private:
  uint32_t emit(Inst i) {
    prog_.code.push_back(i);
    return static_cast<uint32_t>(prog_.code.size() - 1);
  }
  Inst& at(uint32_t pc) { return prog_.code[pc]; }

  void patch(Fragment& f, uint32_t to) {
    for (uint32_t out : f.outs) {
      Inst& i = at(out / 2);
      (out % 2 ? i.y : i.x) = to;
    }
    f.outs.clear();
  }
  static void append_outs(Fragment& to, Fragment& from) {
    to.outs.insert(to.outs.end(), from.outs.begin(), from.outs.end());
  }

  // An empty piece: a jump whose target comes later.
  Fragment empty() {
    uint32_t j = emit({Inst::Jump});
    return {j, {2 * j}};
  }

  uint32_t set_index(const ByteSet& s) {
    prog_.sets.push_back(s);
    return static_cast<uint32_t>(prog_.sets.size() - 1);
  }

  // Case folding happens here, once: a byte is in the set when its upper
  // case is the upper case of a member.
  ByteSet fold(const ByteSet& s) const {
    if (!no_case_) return s;
    ByteSet upper_members;
    for (int c = 0; c < 256; ++c)
      if (s[c]) upper_members.set(to_upper(static_cast<uint8_t>(c)));
    ByteSet out;
    for (int c = 0; c < 256; ++c)
      if (upper_members[to_upper(static_cast<uint8_t>(c))]) out.set(c);
    return out;
  }

  // a|b|c: Split(a, Split(b, c)), every branch's end left open.
  bool alternation(int depth, Fragment* out) {
    if (depth > kMaxGroupDepth) return false;
    if (!concatenation(depth, out)) return false;
    while (pos_ < p_.size() && p_[pos_] == '|') {
      ++pos_;
      Fragment next;
      if (!concatenation(depth, &next)) return false;
      uint32_t split = emit({Inst::Split});
      at(split).x = out->start;
      at(split).y = next.start;
      out->start = split;
      append_outs(*out, next);
    }
    return true;
  }

  bool concatenation(int depth, Fragment* out) {
    bool first = true;
    while (pos_ < p_.size() && p_[pos_] != '|' && p_[pos_] != '}') {
      char c = p_[pos_];
      if ((c == '?' || c == '+' || c == '*') && first) return false;
      Fragment item;
      if (!atom(depth, &item)) return false;
      while (pos_ < p_.size() && (p_[pos_] == '?' || p_[pos_] == '+' || p_[pos_] == '*')) repeat(&item, p_[pos_++]);
      if (first) {
        *out = std::move(item);
      } else {
        patch(*out, item.start);
        out->outs = std::move(item.outs);
      }
      first = false;
    }
    if (first) *out = empty();
    return true;
  }

  // x* : Split(x, next) with x back to the split; x+ : x then Split(x, next);
  // x? : Split(x, next).
  void repeat(Fragment* f, char op) {
    uint32_t split = emit({Inst::Split});
    at(split).x = f->start;
    if (op == '*') {
      patch(*f, split);
      f->start = split;
    } else if (op == '+') {
      patch(*f, split);
    } else {
      f->start = split;
    }
    f->outs.push_back(2 * split + 1);
  }

  bool atom(int depth, Fragment* out) {
    char c = p_[pos_++];
    ByteSet s;
    switch (c) {
      case '^': return single({Inst::Bol}, out);
      case '$': return single({Inst::Eol}, out);
      case '.': s.set(); break;
      case '[':
        if (!set(&s)) return false;
        break;
      case '{':
        if (!alternation(depth + 1, out) || pos_ >= p_.size() || p_[pos_] != '}') return false;
        ++pos_;
        return true;
      case '\\':
        if (pos_ >= p_.size()) return false;
        s.set(static_cast<uint8_t>(p_[pos_++]));
        s = fold(s);
        break;
      default:
        s.set(static_cast<uint8_t>(c));
        s = fold(s);
        break;
    }
    Inst i{Inst::Set};
    i.set = set_index(s);
    return single(i, out);
  }

  bool single(Inst i, Fragment* out) {
    uint32_t pc = emit(i);
    *out = {pc, {2 * pc}};
    return true;
  }

  bool set(ByteSet* out) {
    bool complement = false;
    if (pos_ < p_.size() && (p_[pos_] == '^' || p_[pos_] == '~')) {
      complement = true;
      ++pos_;
    }
    ByteSet s;
    bool first = true;
    for (;;) {
      if (pos_ >= p_.size()) return false;  // no closing "]"
      uint8_t c = static_cast<uint8_t>(p_[pos_]);
      if (c == ']' && !first) break;
      ++pos_;
      if (pos_ + 1 < p_.size() && p_[pos_] == '-' && p_[pos_ + 1] != ']' && !(c == '-' && first)) {
        uint8_t hi = static_cast<uint8_t>(p_[pos_ + 1]);
        if (hi < c) return false;
        for (int x = c; x <= hi; ++x) s.set(x);
        pos_ += 2;
      } else {
        s.set(c);
      }
      first = false;
    }
    ++pos_;
    s = fold(s);
    *out = complement ? ~s : s;
    return true;
  }

  std::string_view p_;
  bool no_case_;
  size_t pos_ = 0;
  Program prog_;
};

}  // namespace

struct Regex::Impl {
  Program prog;
  // Bytes that no set tells apart share one class.
  uint8_t byte_class[256];
  int classes = 0;

  // A deterministic state: the automaton's positions after some text.
  struct State {
    std::vector<uint32_t> pcs;  // Set and Eol instructions
    bool match = false;         // a Match was reached
    bool match_at_end = false;  // reached if the text ended here
  };
  std::vector<State> states;
  // Transitions, one row of byte classes per state; -1 not yet known. Kept
  // flat so that a text character costs one lookup.
  std::vector<int32_t> next;
  // Per state: 1 when it has matched, 2 when nothing can match any more.
  std::vector<uint8_t> decided;
  std::map<std::vector<uint32_t>, int> index;
  int start_state = -1;  // at position 0
  uint64_t generation = 0;  // counts the times the cache was started again
  std::vector<uint8_t> mark;

  void build_classes() {
    std::map<std::vector<bool>, int> seen;
    for (int c = 0; c < 256; ++c) {
      std::vector<bool> sig(prog.sets.size());
      for (size_t s = 0; s < prog.sets.size(); ++s) sig[s] = prog.sets[s][c];
      auto [it, added] = seen.emplace(std::move(sig), static_cast<int>(seen.size()));
      byte_class[c] = static_cast<uint8_t>(it->second);
    }
    classes = static_cast<int>(seen.size());
    mark.assign(prog.code.size(), 0);
  }

  // Follows jumps and splits from pc; Bol passes only at the start, Eol
  // passes only at the end.
  void closure(uint32_t pc, bool at_start, bool at_end, std::vector<uint32_t>* out, bool* match) {
    std::vector<uint32_t> stack{pc};
    while (!stack.empty()) {
      uint32_t p = stack.back();
      stack.pop_back();
      if (mark[p]) continue;
      mark[p] = 1;
      const Inst& i = prog.code[p];
      switch (i.kind) {
        case Inst::Set: out->push_back(p); break;
        case Inst::Split:
          stack.push_back(i.y);
          stack.push_back(i.x);
          break;
        case Inst::Jump: stack.push_back(i.x); break;
        case Inst::Bol:
          if (at_start) stack.push_back(i.x);
          break;
        case Inst::Eol:
          if (at_end)
            stack.push_back(i.x);
          else
            out->push_back(p);
          break;
        case Inst::Match: *match = true; break;
      }
    }
  }

  int intern(std::vector<uint32_t> pcs, bool match) {
    std::sort(pcs.begin(), pcs.end());
    // A state is its positions and whether it has matched.
    std::vector<uint32_t> key = pcs;
    key.push_back(match ? 1 : 0);
    auto found = index.find(key);
    if (found != index.end()) return found->second;
    if (states.size() >= kMaxDfaStates) {
      // The cache is full: start it again; the caller's state is rebuilt.
      states.clear();
      next.clear();
      decided.clear();
      index.clear();
      start_state = -1;
      ++generation;
    }
    State s;
    s.pcs = pcs;
    s.match = match;
    // Would the text ending here match? Follow the pending Eol positions.
    std::fill(mark.begin(), mark.end(), 0);
    std::vector<uint32_t> ignored;
    for (uint32_t p : pcs)
      if (prog.code[p].kind == Inst::Eol) closure(prog.code[p].x, false, true, &ignored, &s.match_at_end);
    s.match_at_end = s.match_at_end || match;
    next.insert(next.end(), static_cast<size_t>(classes), -1);
    decided.push_back(match ? 1 : s.pcs.empty() ? 2 : 0);
    states.push_back(std::move(s));
    int id = static_cast<int>(states.size() - 1);
    index.emplace(std::move(key), id);
    return id;
  }

  int make_start() {
    std::vector<uint32_t> pcs;
    bool match = false;
    std::fill(mark.begin(), mark.end(), 0);
    closure(prog.start, true, false, &pcs, &match);
    return intern(std::move(pcs), match);
  }

  // The state after one more byte; the search may begin again at every
  // position, so the start closure joins every step.
  int step(int from, uint8_t byte) {
    std::vector<uint32_t> pcs;
    bool match = false;
    std::fill(mark.begin(), mark.end(), 0);
    const std::vector<uint32_t> current = states[static_cast<size_t>(from)].pcs;
    for (uint32_t p : current) {
      const Inst& i = prog.code[p];
      if (i.kind == Inst::Set && prog.sets[i.set][byte]) closure(i.x, false, false, &pcs, &match);
    }
    closure(prog.start, false, false, &pcs, &match);
    uint64_t before = generation;
    int to = intern(std::move(pcs), match);
    // Interning may have started the cache again, and `from` is gone then.
    if (before == generation) next[static_cast<size_t>(from) * static_cast<size_t>(classes) + byte_class[byte]] = to;
    return to;
  }

  bool search(std::string_view text) {
    if (start_state < 0) start_state = make_start();
    int s = start_state;
    if (decided[static_cast<size_t>(s)]) return decided[static_cast<size_t>(s)] == 1;
    const size_t stride = static_cast<size_t>(classes);
    for (unsigned char c : text) {
      int n = next[static_cast<size_t>(s) * stride + byte_class[c]];
      if (n < 0) n = step(s, c);
      s = n;
      if (decided[static_cast<size_t>(s)]) return decided[static_cast<size_t>(s)] == 1;
    }
    return states[static_cast<size_t>(s)].match_at_end;
  }
};

Regex::Regex(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Regex::~Regex() = default;

std::unique_ptr<Regex> Regex::compile(std::string_view pattern, bool no_case) {
  auto impl = std::make_unique<Impl>();
  if (!Compiler(pattern, no_case).compile(&impl->prog)) return nullptr;
  impl->build_classes();
  return std::unique_ptr<Regex>(new Regex(std::move(impl)));
}

bool Regex::search(std::string_view text) { return impl_->search(text); }

namespace {
struct LastPattern {
  std::string text;
  bool no_case = false;
  bool valid = false;
  std::unique_ptr<Regex> regex;
};
thread_local LastPattern t_last;
}  // namespace

bool regex_search(std::string_view text, std::string_view pattern, bool no_case) {
  if (!t_last.valid || t_last.no_case != no_case || t_last.text != pattern) {
    t_last.text.assign(pattern);
    t_last.no_case = no_case;
    t_last.regex = Regex::compile(pattern, no_case);
    t_last.valid = true;
  }
  return t_last.regex && t_last.regex->search(text);
}

}  // namespace vrt::core
