#include "tests/data/bdx/power_loss_rounds.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/os/file.h"
#include "runtime/platform/os/power_loss.h"

namespace vrt::data::power_loss {

namespace {

using Contents = Rounds::Contents;
// One state of the workload: the contents of each data file.
using State = std::vector<Contents>;

constexpr const char* kOwner = "Open Sesame";
constexpr size_t kNameSize = 40;

// POW:ID at offset 0, POW:NAME after it: the record buffer's native layout.
const char* kDeclarationHead = "FILE,DRIVER('BRINDLEX'),NAME('POWER'),THREAD";
const char* kDeclarationBody = R"(
POW:BYID KEY(+POW:ID),PRIMARY
POW:BYNAME KEY(+POW:NAME),DUP
RECORD
POW:ID LONG
POW:NAME STRING(40)
END
END
)";

std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_whole(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Puts each file as given; an absent one is removed.
void put_files(const std::map<std::string, std::optional<std::string>>& files) {
  for (const auto& [path, bytes] : files) {
    if (bytes)
      write_whole(path, *bytes);
    else
      std::remove(path.c_str());
  }
}

bool make_block(FileBlock& f, const std::string& declaration, const std::string& path) {
  FileDeclaration d;
  std::string message;
  if (!parse_declaration(declaration, &d, &message)) return false;
  d.name = path;
  make_bdx_file_block(f, std::move(d));
  return true;
}

void set_record(FileBlock& f, int32_t id, const std::string& name) {
  std::memset(f.record.data(), ' ', f.record.size());
  std::memcpy(f.record.data(), &id, 4);
  std::memcpy(f.record.data() + 4, name.data(), std::min(name.size(), kNameSize));
}

int32_t record_id(const FileBlock& f) {
  int32_t id;
  std::memcpy(&id, f.record.data(), 4);
  return id;
}

std::string record_name(const FileBlock& f) {
  std::string s(reinterpret_cast<const char*>(f.record.data() + 4), kNameSize);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string error_here(const std::string& what) {
  return what + ": " + std::to_string(core::error_code()) + " " + core::error_text();
}

// The records in record order; a fault when the key on POW:BYID does not
// hold the same.
std::string read_contents(FileBlock& f, Contents* found) {
  Contents by_record, by_key;
  Set(f);
  while (Next(f), core::error_code() == 0) by_record[record_id(f)] = record_name(f);
  Set(f.declaration.keys[0]);
  while (Next(f), core::error_code() == 0) by_key[record_id(f)] = record_name(f);
  *found = by_record;
  return by_record == by_key ? std::string() : "the key on POW:BYID does not hold the records";
}

// The workload as it runs: the files, the model of their contents, and the
// log of what was done.
struct Run {
  std::vector<FileBlock*> files;
  std::vector<std::string> names;  // "A", "B" for the log
  State model;
  std::vector<State> states;  // after each unit
  std::mt19937 rng;
  int32_t next_id = 1000;
  int started = 0, returned = 0;
  std::string log;
  std::string failure;

  bool check(const char* what) {
    if (core::error_code() == 0) return true;
    if (failure.empty()) failure = error_here(what);
    return false;
  }

  // One random ADD, PUT or DELETE of file i.
  bool update(size_t i) {
    FileBlock& f = *files[i];
    Contents& m = model[i];
    int kind = static_cast<int>(rng() % 3);
    if (kind == 0 || m.size() < 3) {
      int32_t id = next_id++;
      std::string name = "Added" + std::to_string(id);
      set_record(f, id, name);
      Add(f);
      m[id] = name;
      log += " ADD " + names[i] + std::to_string(id);
      return check("ADD");
    }
    auto it = std::next(m.begin(), static_cast<long>(rng() % m.size()));
    set_record(f, it->first, "");
    Get(f, f.declaration.keys[0]);
    if (!check("GET")) return false;
    if (kind == 1) {
      std::string name = "Put" + std::to_string(rng() % 100000);
      set_record(f, it->first, name);
      Put(f);
      log += " PUT " + names[i] + std::to_string(it->first);
      it->second = name;
      return check("PUT");
    }
    Delete(f);
    log += " DELETE " + names[i] + std::to_string(it->first);
    m.erase(it);
    return check("DELETE");
  }

  // A unit: started, run, and when it returned well, a state of its own.
  template <typename Body>
  bool unit(Body&& body) {
    ++started;
    log += " [";
    bool ok = body();
    log += " ]";
    if (!ok) return false;
    ++returned;
    states.push_back(model);
    return true;
  }
};

bool run_workload(Workload w, Run& r) {
  switch (w) {
    case Workload::Single:
      for (int i = 0; i < 4; ++i)
        if (!r.unit([&] { return r.update(0); })) return false;
      return true;
    case Workload::Stream:
      for (int i = 0; i < 2; ++i) {
        bool ok = r.unit([&] {
          Stream(*r.files[0]);
          r.log += " STREAM";
          if (!r.check("STREAM")) return false;
          int n = 2 + static_cast<int>(r.rng() % 4);
          for (int j = 0; j < n; ++j)
            if (!r.update(0)) return false;
          Flush(*r.files[0]);
          r.log += " FLUSH";
          return r.check("FLUSH");
        });
        if (!ok) return false;
      }
      return true;
    case Workload::Build:
      for (int i = 0; i < 2; ++i) {
        if (!r.unit([&] { return r.update(0); })) return false;
        bool ok = r.unit([&] {
          if (r.rng() % 2 == 0) {
            Build(*r.files[0]);
            r.log += " BUILD";
          } else {
            Build(r.files[0]->declaration.keys[1]);
            r.log += " BUILD POW:BYNAME";
          }
          return r.check("BUILD");
        });
        if (!ok) return false;
      }
      return true;
    case Workload::Commit:
      for (int i = 0; i < 2; ++i) {
        bool ok = r.unit([&] {
          Logout(1, {r.files[0], r.files[1]});
          r.log += " LOGOUT";
          if (!r.check("LOGOUT")) return false;
          for (size_t f = 0; f < 2; ++f) {
            int n = 1 + static_cast<int>(r.rng() % 2);
            for (int j = 0; j < n; ++j)
              if (!r.update(f)) {
                Rollback();
                return false;
              }
          }
          Commit();
          r.log += " COMMIT";
          if (r.check("COMMIT")) return true;
          Rollback();
          return false;
        });
        if (!ok) return false;
      }
      return true;
  }
  return false;
}

// The cut comes after a random count of changes (writes, flushes, size
// changes) up to this: a run makes about 50 (single), 30 (stream), 75
// (build) or 95 (commit), so that some cuts come after the last unit.
int cut_range(Workload w) {
  switch (w) {
    case Workload::Single: return 60;
    case Workload::Stream: return 36;
    case Workload::Build: return 90;
    case Workload::Commit: return 110;
  }
  return 60;
}

platform::PowerCut cut_kind(uint64_t seed) {
  return seed % 10 == 0   ? platform::PowerCut::KeepAll
         : seed % 10 == 1 ? platform::PowerCut::KeepNone
                          : platform::PowerCut::Random;
}

const char* name_of(platform::PowerCut how) {
  switch (how) {
    case platform::PowerCut::KeepAll: return "keep all";
    case platform::PowerCut::KeepNone: return "keep none";
    case platform::PowerCut::Random: return "random";
  }
  return "";
}

using Images = std::map<std::string, std::optional<std::string>>;

// Every file of the round as the disk keeps it at the cut: a file the disk
// records as it may have kept it, any other as it was when recording began.
Images images_at_cut(const platform::PowerLoss& disk, const Images& before, platform::PowerCut how,
                     uint64_t seed) {
  Images now;
  uint64_t salt = 0;
  for (const auto& [path, bytes] : before)
    now[path] = disk.tracks(path) ? disk.cut(path, how, seed + 7919 * ++salt) : bytes;
  return now;
}

}  // namespace

const char* name_of(Workload w) {
  switch (w) {
    case Workload::Single: return "single";
    case Workload::Stream: return "stream";
    case Workload::Build: return "build";
    case Workload::Commit: return "commit";
  }
  return "";
}

std::string Rounds::declaration() const {
  return std::string(kDeclarationHead) + (encrypted_ ? ",OWNER('" + std::string(kOwner) + "'),ENCRYPT" : "") +
         kDeclarationBody;
}

std::vector<std::string> Rounds::data_files() const {
  if (workload_ == Workload::Commit) return {folder_ + "/A.BDX", folder_ + "/B.BDX"};
  return {folder_ + "/A.BDX"};
}

Rounds::Rounds(const std::string& folder, Workload workload, bool encrypted)
    : folder_(folder), workload_(workload), encrypted_(encrypted) {
  // A key rebuild has more pages to write.
  int records = workload == Workload::Build ? 150 : 30;
  for (const std::string& path : data_files()) {
    std::remove(path.c_str());
    FileBlock f;
    make_block(f, declaration(), path);
    Create(f);
    Open(f);
    for (int32_t id = 1; id <= records; ++id) {
      set_record(f, id, "Name" + std::to_string(id));
      Add(f);
      initial_contents_[id] = "Name" + std::to_string(id);
    }
    Close(f);
    initial_[path] = read_whole(path);
  }
  if (workload == Workload::Commit) {
    std::string control = folder_ + "/brindlex.tcf";
    std::remove(control.c_str());
    initial_[control] = std::string();  // made by a round's first commit
  }
}

Outcome Rounds::run(uint64_t seed) {
  Outcome out;
  std::vector<std::string> paths = data_files();
  Images start;
  for (const auto& [path, bytes] : initial_) start[path] = bytes;
  std::mt19937 rng(static_cast<uint32_t>(seed));
  // Now and then the control file is not there yet: the commit makes it.
  std::string control = folder_ + "/brindlex.tcf";
  if (workload_ == Workload::Commit && rng() % 4 == 0) start[control] = std::nullopt;
  put_files(start);
  platform::PowerCut how = cut_kind(seed);
  int cut_at = 1 + static_cast<int>(rng() % static_cast<uint32_t>(cut_range(workload_)));

  Run r;
  r.rng.seed(static_cast<uint32_t>(rng()));
  r.model.assign(paths.size(), initial_contents_);
  r.states.push_back(r.model);
  std::vector<std::unique_ptr<FileBlock>> blocks;
  Images at_cut;
  int cut_started = 0, cut_returned = 0;
  bool cut = false;
  {
    platform::PowerLoss disk;
    auto take = [&] {
      cut = true;
      at_cut = images_at_cut(disk, start, how, seed);
      cut_started = r.started;
      cut_returned = r.returned;
      r.log += " <cut>";
    };
    for (size_t i = 0; i < paths.size(); ++i) {
      blocks.push_back(std::make_unique<FileBlock>());
      make_block(*blocks.back(), declaration(), paths[i]);
      // A key rebuild needs the file to itself.
      Open(*blocks.back(), workload_ == Workload::Build ? kReadWrite | kDenyAll : kReadWrite | kDenyNone);
      if (core::error_code() != 0) {
        out.damaged = true;
        out.fault = error_here("open before the cut");
        return out;
      }
      r.files.push_back(blocks.back().get());
      r.names.push_back(std::string(1, static_cast<char>('A' + i)));
    }
    disk.cut_after(cut_at, take);
    bool ran = run_workload(workload_, r);
    for (FileBlock* f : r.files) Close(*f);
    if (!cut) take();
    if (!ran) {
      out.damaged = true;
      out.fault = "the workload failed: " + r.failure;
    }
  }
  out.cut_before_end = cut_returned < r.returned;
  out.sequence = std::string(name_of(workload_)) + (encrypted_ ? " encrypted" : "") + " seed " +
                 std::to_string(seed) + ", " + name_of(how) + " cut after change " + std::to_string(cut_at) +
                 ":" + r.log;
  if (!out.sound()) return out;
  std::string owner = encrypted_ ? kOwner : "";

  // The next opener recovers the files; the power may fail again meanwhile.
  put_files(at_cut);
  std::string where = "cut in unit " + std::to_string(cut_started + 1) + ": ";
  {
    platform::PowerLoss disk;
    std::optional<Images> again;
    disk.cut_after(1 + static_cast<int>(rng() % 8),
                   [&] { again = images_at_cut(disk, at_cut, how, seed + 1); });
    for (const std::string& path : paths) {
      FileBlock f;
      make_block(f, declaration(), path);
      Open(f);
      if (core::error_code() != 0) {
        out.damaged = true;
        out.fault = where + error_here("open after the cut");
        return out;
      }
      Close(f);
    }
    if (again) {
      where += "cut again in recovery: ";
      put_files(*again);
    }
  }

  // What the next process finds.
  State found;
  for (const std::string& path : paths) {
    FileBlock f;
    make_block(f, declaration(), path);
    Open(f);
    if (core::error_code() != 0) {
      out.damaged = true;
      out.fault = where + error_here("open of " + path);
      return out;
    }
    Contents c;
    std::string fault = read_contents(f, &c);
    Close(f);
    std::vector<std::string> problems = check_file(path, owner);
    if (fault.empty() && !problems.empty()) fault = problems.front();
    if (!fault.empty()) {
      out.damaged = true;
      out.fault = where + path + ": " + fault;
      return out;
    }
    found.push_back(c);
  }
  if (workload_ == Workload::Commit && std::ifstream(control).good()) {
    // Its records are no table's: its tree must read, after the next
    // commit's recovery of it.
    Recovery recovery;
    FileSummary summary;
    int code = recover_file(control, &recovery);
    if (code == 0) code = summarize_file(control, &summary);
    if (code != 0 || summary.damaged) {
      out.damaged = true;
      out.fault = where + "the control file is damaged (" + std::to_string(code) + ")";
      return out;
    }
  }

  // The files hold one state from the last unit that returned to the one
  // cut short, all of them the same one.
  for (int j = cut_returned; j <= cut_started; ++j)
    if (found == r.states[static_cast<size_t>(j)]) return out;
  std::vector<int> latest(paths.size(), -1);  // the latest state each file holds
  for (size_t i = 0; i < paths.size(); ++i)
    for (int j = 0; j <= cut_started; ++j)
      if (found[i] == r.states[static_cast<size_t>(j)][i]) latest[i] = j;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (latest[i] >= 0 && latest[i] < cut_returned) {
      out.lost = true;
      out.fault = where + paths[i] + " lost unit " + std::to_string(latest[i] + 1) + ", which had returned";
      return out;
    }
  }
  out.half = true;
  out.fault = where + "the files hold no state between units " + std::to_string(cut_returned) + " and " +
              std::to_string(cut_started) + " (latest state per file:";
  for (int j : latest) out.fault += " " + std::to_string(j);
  out.fault += ")";
  return out;
}

}  // namespace vrt::data::power_loss
