// The price of encryption: a key-order scan and random GETs of the same
// records in a file in clear and in an encrypted one (AES-256-XTS), and the
// key derivation an OPEN pays once.
//
//   bdx_cipher_bench [ROWS] [DIRECTORY]   (default 50000 rows, the system's
//                                          temporary directory)
//
// The files are made by the bdx tool built beside this benchmark; the page
// cache keeps at most about 100 pages, so both workloads read and decipher
// most pages from the file. Goal: encrypted within 1.3 x of clear.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "runtime/core/base/error_state.h"
#include "runtime/core/startup/read_settings.h"
#include "runtime/data/bdx/bdx_driver.h"
#include "runtime/data/bdx/bdx_inspect.h"
#include "runtime/data/bdx/store/owner_key.h"
#include "runtime/data/driver/statements.h"

namespace {

using namespace vrt;

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('CUSTOMER')
CUS:BYNAME KEY(+CUS:NAME),DUP,NOCASE
CUS:BYID KEY(+CUS:CUSID),PRIMARY
RECORD
CUS:CUSID LONG
CUS:NAME STRING(20)
CUS:SUBURB STRING(20)
CUS:AMOUNT DECIMAL(9,2)
END
END
)";
const char* kOwner = "bench owner";

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Figures {
  double open = 0, scan = 0, get = 0;
};

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "%s: error %d: %s\n", what, core::error_code(), core::error_text().c_str());
  std::exit(1);
}

Figures measure(const std::string& file, const std::string& owner, long rows) {
  Figures f;
  data::FileDeclaration d;
  if (int code = data::stored_declaration(file, &d, owner)) {
    std::fprintf(stderr, "declaration: error %d\n", code);
    std::exit(1);
  }
  data::FileBlock cus;
  data::make_bdx_file_block(cus, d);
  auto start = std::chrono::steady_clock::now();
  data::Open(cus, data::kReadOnly | data::kDenyNone);
  f.open = seconds_since(start);
  if (core::error_code() != 0) fail("open");
  const int rounds = 3;
  start = std::chrono::steady_clock::now();
  for (int r = 0; r < rounds; ++r) {
    long n = 0;
    data::Set(cus.declaration.keys[0]);
    for (data::Next(cus); core::error_code() == 0; data::Next(cus)) ++n;
    if (n != rows) {
      std::fprintf(stderr, "scan read %ld of %ld\n", n, rows);
      fail("scan");
    }
  }
  f.scan = seconds_since(start) / rounds;
  std::mt19937 random(7);
  const int gets = 50000;
  size_t id_at = cus.declaration.fields[0].offset;
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < gets; ++i) {
    int32_t id = static_cast<int32_t>(random() % rows) + 1;
    std::memcpy(cus.record.data() + id_at, &id, 4);
    data::Get(cus, cus.declaration.keys[1]);
    if (core::error_code() != 0) fail("get");
  }
  f.get = seconds_since(start) / gets;
  data::Close(cus);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  long rows = argc > 1 ? std::atol(argv[1]) : 50000;
  std::filesystem::path dir = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");
  std::string bdx = (self.parent_path().parent_path() / "tools" / "bdx").string();
  std::filesystem::path work = dir / ("bdx-cipher-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  std::ofstream(work / "decl.txt") << kDeclaration;
  std::ofstream(work / "owner") << kOwner << "\n";
  {
    std::ofstream csv(work / "rows.csv");
    csv << "CUSID,NAME,SUBURB,AMOUNT\n";
    for (long i = 1; i <= rows; ++i)
      csv << i << ",Name" << (i * 7919) % rows << ",Suburb" << i % 97 << "," << i % 10000 << "." << i % 100 << "\n";
  }
  std::string clear = (work / "CLEAR.BDX").string(), secret = (work / "SECRET.BDX").string();
  std::string make = bdx + " create " + clear + " " + (work / "decl.txt").string() + " && " + bdx + " import " +
                     clear + " " + (work / "rows.csv").string() + " > /dev/null && cp " + clear + " " + secret +
                     " && " + bdx + " encrypt " + secret + " --owner-file " + (work / "owner").string();
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "making the files failed\n");
    return 1;
  }
  core::read_settings();
  Figures c = measure(clear, "", rows);
  uint64_t before = data::owner_key_derivations();
  Figures e = measure(secret, kOwner, rows);
  uint64_t derivations = data::owner_key_derivations() - before;
  std::filesystem::remove_all(work);
  std::printf("rows: %ld (file %s)\n", rows, "CUSTOMER, 2 keys");
  std::printf("open:  clear %8.2f ms   encrypted %8.2f ms (key derivation)\n", c.open * 1e3, e.open * 1e3);
  std::printf("scan:  clear %8.2f ms   encrypted %8.2f ms   ratio %.2f\n", c.scan * 1e3, e.scan * 1e3, e.scan / c.scan);
  std::printf("GET:   clear %8.2f us   encrypted %8.2f us   ratio %.2f\n", c.get * 1e6, e.get * 1e6, e.get / c.get);
  std::printf("key derivations for the encrypted open, scans and GETs: %llu (the declaration read: 1, OPEN: 1)\n",
              static_cast<unsigned long long>(derivations));
  return 0;
}
