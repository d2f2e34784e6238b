// bdx import of a generated CSV, timed from outside as a user runs it:
// records a second through the real tool on a real file, durable updates
// and all.
//
//   bdx_import_bench [ROWS] [DIRECTORY]   (default 100000 rows, the system's
//                                          temporary directory)
//
// It prints the rows, the seconds and the rows a second; the bdx tool is
// the one built beside this benchmark (../tools/bdx).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

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

int run(const std::string& command) { return std::system(command.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  long rows = argc > 1 ? std::atol(argv[1]) : 100000;
  std::filesystem::path dir = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");
  std::string bdx = (self.parent_path().parent_path() / "tools" / "bdx").string();
  std::filesystem::path work = dir / ("bdx-import-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  std::ofstream(work / "decl.txt") << kDeclaration;
  {
    std::ofstream csv(work / "rows.csv");
    csv << "CUSID,NAME,SUBURB,AMOUNT\n";
    for (long i = 1; i <= rows; ++i)
      csv << i << ",Name" << (i * 7919) % rows << ",Suburb" << i % 97 << "," << i % 10000 << "." << i % 100 << "\n";
  }
  std::string file = (work / "C.BDX").string();
  if (run(bdx + " create " + file + " " + (work / "decl.txt").string()) != 0) return 1;
  auto start = std::chrono::steady_clock::now();
  int status = run(bdx + " import " + file + " " + (work / "rows.csv").string() + " > /dev/null");
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::filesystem::remove_all(work);
  if (status != 0) {
    std::fprintf(stderr, "import failed\n");
    return 1;
  }
  std::printf("bdx import: %ld rows in %.2f s, %.0f rows/s\n", rows, seconds, rows / seconds);
  return 0;
}
