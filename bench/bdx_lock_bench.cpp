// The cost of sharing: one durable ADD and one durable PUT on a shared file,
// and a two-file COMMIT, against the latency of one flush of the same disk
// (a safe update needs four); the system calls of each; and the reads per
// second of four reader processes, alone and while one process writes.
//
//   bdx_lock_bench [UPDATES]     (default 2000)
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/core/base/error_state.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/driver/declaration_text.h"
#include "runtime/data/driver/record_layout.h"
#include "runtime/data/driver/statements.h"
#include "runtime/platform/os/file.h"

namespace {

using Clock = std::chrono::steady_clock;
using vrt::data::FileBlock;

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('CUSTOMER'),THREAD
CUS:BYNAME KEY(+CUS:NAME),NOCASE
CUS:BYID KEY(+CUS:CUSID),PRIMARY
RECORD
CUS:CUSID LONG
CUS:NAME STRING(20)
CUS:SUBURB STRING(20)
CUS:EMAIL STRING(100)
END
END
)";

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void must(const char* what) {
  if (vrt::core::error_code() == 0) return;
  std::fprintf(stderr, "%s failed: %s\n", what, vrt::core::error_text().c_str());
  std::exit(1);
}

void make_block(FileBlock& f, const std::string& path) {
  vrt::data::FileDeclaration d;
  std::string message;
  if (!vrt::data::parse_declaration(kDeclaration, &d, &message)) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
  }
  d.name = path;
  vrt::data::make_bdx_file_block(f, std::move(d));
}

void set_field(FileBlock& f, const char* label, const void* bytes, size_t size, char fill) {
  const auto& field =
      f.declaration.fields[static_cast<size_t>(vrt::data::find_field(f.declaration, label) - 1)];
  std::memset(f.record.data() + field.offset, fill, field.size);
  std::memcpy(f.record.data() + field.offset, bytes, std::min<size_t>(size, field.size));
}

void customer(FileBlock& f, int32_t id) {
  set_field(f, "CUS:CUSID", &id, 4, 0);
  std::string name = "Name" + std::to_string(id);
  set_field(f, "CUS:NAME", name.data(), name.size(), ' ');
  std::string suburb = "Suburb" + std::to_string(id % 50);
  set_field(f, "CUS:SUBURB", suburb.data(), suburb.size(), ' ');
  std::string email = name + "@example.org";
  set_field(f, "CUS:EMAIL", email.data(), email.size(), ' ');
}

void create_with(const std::string& path, int count) {
  FileBlock f;
  make_block(f, path);
  vrt::data::Create(f);
  must("CREATE");
  vrt::data::Open(f, vrt::data::kReadWrite | vrt::data::kDenyAll);
  vrt::data::Stream(f);
  for (int i = 1; i <= count; ++i) {
    customer(f, i);
    vrt::data::Append(f);
  }
  vrt::data::Flush(f);
  vrt::data::Build(f);
  must("BUILD");
  vrt::data::Close(f);
}

// One 4 KB write and a flush, over the same bytes or growing the file: the
// median of 300, which a shared machine's occasional long flush leaves alone.
double flush_us(const std::string& path, bool grow) {
  auto file =
      vrt::platform::File::open(path, vrt::platform::Access::ReadWrite, vrt::platform::Share::DenyNone,
                                vrt::platform::Disposition::CreateAlways);
  std::vector<char> block(4096, 'x');
  std::vector<double> times;
  for (int i = 0; i < 300; ++i) {
    auto t = Clock::now();
    file->write_at(grow ? uint64_t{4096} * static_cast<uint64_t>(i) : 0, block.data(), block.size());
    file->flush();
    times.push_back(seconds_since(t) * 1e6);
  }
  std::nth_element(times.begin(), times.begin() + 150, times.end());
  return times[150];
}

struct Figure {
  double us;
  double calls;
};

template <typename Work>
Figure measure(int count, Work&& work) {
  uint64_t calls = vrt::platform::file_system_calls();
  auto t = Clock::now();
  for (int i = 0; i < count; ++i) work(i);
  return {seconds_since(t) * 1e6 / count, double(vrt::platform::file_system_calls() - calls) / count};
}

// Reader processes reading random records by id for the given time; the
// total of their reads per second.
double readers_per_second(const std::string& path, int readers, int records, double seconds,
                          bool with_writer) {
  int pipes[2];
  if (pipe(pipes) != 0) std::exit(1);
  std::vector<pid_t> children;
  for (int r = 0; r < readers; ++r) {
    pid_t pid = fork();
    if (pid == 0) {
      FileBlock f;
      make_block(f, path);
      vrt::data::Open(f, vrt::data::kReadOnly | vrt::data::kDenyNone);
      std::mt19937 random(static_cast<unsigned>(r + 1));
      long reads = 0;
      auto t = Clock::now();
      while (seconds_since(t) < seconds) {
        customer(f, static_cast<int32_t>(random() % static_cast<unsigned>(records)) + 1);
        vrt::data::Get(f, f.declaration.keys[1]);
        if (vrt::core::error_code() == 0) ++reads;
      }
      if (write(pipes[1], &reads, sizeof reads) != sizeof reads) _exit(1);
      _exit(0);
    }
    children.push_back(pid);
  }
  pid_t writer = 0;
  if (with_writer) {
    writer = fork();
    if (writer == 0) {
      FileBlock f;
      make_block(f, path);
      vrt::data::Open(f);
      for (int32_t id = 10'000'000;; ++id) {
        customer(f, id);
        vrt::data::Add(f);
      }
    }
  }
  long total = 0;
  for (pid_t pid : children) {
    long reads = 0;
    if (read(pipes[0], &reads, sizeof reads) == sizeof reads) total += reads;
    waitpid(pid, nullptr, 0);
  }
  if (writer) {
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
  }
  close(pipes[0]);
  close(pipes[1]);
  return total / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  int updates = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int records = 10000;
  std::string dir = vrt::platform::temp_directory() + "bdx_lock_bench_" + std::to_string(getpid());
  if (mkdir(dir.c_str(), 0700) != 0) return 1;
  std::string a_path = dir + "/A.BDX", b_path = dir + "/B.BDX";
  create_with(a_path, records);
  create_with(b_path, records);

  double overwrite = flush_us(dir + "/flush.probe", false);
  double grow = flush_us(dir + "/grow.probe", true);
  std::printf("flush of 4 KB (median): %.0f us over written bytes, %.0f us growing the file\n\n", overwrite,
              grow);
  std::printf("%-34s %10s %14s %13s\n", "durable update (shared file)", "us each", "x flush", "calls each");

  // Readers in other processes start from a file nobody here has open.
  double alone = readers_per_second(a_path, 4, records, 2.0, false);
  double beside_writer = readers_per_second(a_path, 4, records, 2.0, true);

  FileBlock a, b;
  make_block(a, a_path);
  make_block(b, b_path);
  vrt::data::Open(a);
  vrt::data::Open(b);
  must("OPEN");
  Figure add = measure(updates, [&](int i) {
    customer(a, 20'000'000 + i);
    vrt::data::Add(a);
    must("ADD");
  });
  std::mt19937 random(7);
  Figure put = measure(updates, [&](int) {
    customer(a, static_cast<int32_t>(random() % records) + 1);
    vrt::data::Get(a, a.declaration.keys[1]);
    std::string suburb = "Moved" + std::to_string(random() % 1000);
    set_field(a, "CUS:SUBURB", suburb.data(), suburb.size(), ' ');
    vrt::data::Put(a);
    must("PUT");
  });
  Figure commit = measure(updates / 4, [&](int i) {
    vrt::data::Logout(1, {&a, &b});
    customer(a, 30'000'000 + i);
    vrt::data::Add(a);
    customer(b, 30'000'000 + i);
    vrt::data::Add(b);
    vrt::data::Commit();
    must("COMMIT");
  });
  vrt::data::Close(a);
  vrt::data::Close(b);

  auto row = [&](const char* what, Figure f) {
    std::printf("%-34s %10.0f %14.2f %13.1f\n", what, f.us, f.us / overwrite, f.calls);
  };
  row("ADD", add);
  row("PUT", put);
  row("COMMIT of an ADD in each of 2 files", commit);
  std::printf("\n4 reader processes, GET by id: %.0f reads/s alone, %.0f reads/s beside a writer (%.2f)\n",
              alone, beside_writer, beside_writer / alone);

  for (const char* name : {"/A.BDX", "/B.BDX", "/brindlex.tcf", "/flush.probe", "/grow.probe"})
    std::remove((dir + name).c_str());
  rmdir(dir.c_str());
  return 0;
}
