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

// The automaton's instructions.
struct Inst {
  enum Kind : uint8_t { Set, Split, Jump, Bol, Eol, Match } kind;
  uint32_t x = 0, y = 0;  // targets of Split and Jump; set index of Set
};

struct Program {
  std::vector<Inst> code;
  std::vector<ByteSet> sets;
};

// Recursive descent that emits code. Each fragment is a contiguous block of
// code; jumps are patched with absolute targets.
class Compiler {
 public:
  Compiler(std::string_view p, bool no_case) : p_(p), no_case_(no_case) {}

  bool compile(Program* out) {
    if (p_.size() > kMaxPattern) return false;
    if (!alternation(0) || pos_ != p_.size()) return false;
    emit({Inst::Match});
    *out = std::move(prog_);
    return true;
  }

 private:
  uint32_t pc() const { return static_cast<uint32_t>(prog_.code.size()); }
  uint32_t emit(Inst i) {
    prog_.code.push_back(i);
    return pc() - 1;
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

  bool alternation(int depth) {
    if (depth > kMaxGroupDepth) return false;
    uint32_t start = pc();
    if (!concatenation(depth)) return false;
    if (pos_ >= p_.size() || p_[pos_] != '|') return true;
    ++pos_;
    // start: Split(first, second); first...; Jump(end); second...
    std::vector<Inst> first(prog_.code.begin() + start, prog_.code.end());
    prog_.code.resize(start);
    uint32_t split = emit({Inst::Split});
    uint32_t first_begin = pc();
    for (Inst i : first) prog_.code.push_back(relocate(i, start, first_begin));
    uint32_t jump = emit({Inst::Jump});
    uint32_t second_begin = pc();
    if (!alternation(depth)) return false;
    prog_.code[split].x = first_begin;
    prog_.code[split].y = second_begin;
    prog_.code[jump].x = pc();
    return true;
  }

  // Moves a block of code from `from` to `to`, fixing its absolute targets.
  static Inst relocate(Inst i, uint32_t from, uint32_t to) {
    if (i.kind == Inst::Split || i.kind == Inst::Jump) {
      i.x = i.x - from + to;
      if (i.kind == Inst::Split) i.y = i.y - from + to;
    }
    return i;
  }

  bool concatenation(int depth) {
    bool first = true;
    while (pos_ < p_.size() && p_[pos_] != '|' && p_[pos_] != '}') {
      char c = p_[pos_];
      if ((c == '?' || c == '+' || c == '*') && first) return false;
      uint32_t start = pc();
      if (!atom(depth)) return false;
      while (pos_ < p_.size() && (p_[pos_] == '?' || p_[pos_] == '+' || p_[pos_] == '*')) repeat(start, p_[pos_++]);
      first = false;
    }
    return true;
  }

  // Wraps the code from `start` in a loop or an option.
  void repeat(uint32_t start, char op) {
    std::vector<Inst> body(prog_.code.begin() + start, prog_.code.end());
    prog_.code.resize(start);
    if (op == '+') {
      for (Inst i : body) prog_.code.push_back(i);
      uint32_t split = emit({Inst::Split});
      prog_.code[split].x = start;
      prog_.code[split].y = pc();
      return;
    }
    uint32_t split = emit({Inst::Split});
    uint32_t body_begin = pc();
    for (Inst i : body) prog_.code.push_back(relocate(i, start, body_begin));
    if (op == '*') {
      uint32_t jump = emit({Inst::Jump});
      prog_.code[jump].x = split;
    }
    prog_.code[split].x = body_begin;
    prog_.code[split].y = pc();
  }

  bool atom(int depth) {
    char c = p_[pos_++];
    ByteSet s;
    switch (c) {
      case '^': emit({Inst::Bol}); return true;
      case '$': emit({Inst::Eol}); return true;
      case '.': s.set(); break;
      case '[':
        if (!set(&s)) return false;
        break;
      case '{':
        if (!alternation(depth + 1) || pos_ >= p_.size() || p_[pos_] != '}') return false;
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
    emit({Inst::Set, 0, set_index(s)});
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
          if (at_start) stack.push_back(p + 1);
          break;
        case Inst::Eol:
          if (at_end)
            stack.push_back(p + 1);
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
      if (prog.code[p].kind == Inst::Eol) closure(p + 1, false, true, &ignored, &s.match_at_end);
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
    closure(0, true, false, &pcs, &match);
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
      if (i.kind == Inst::Set && prog.sets[i.y][byte]) closure(p + 1, false, false, &pcs, &match);
    }
    closure(0, false, false, &pcs, &match);
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
