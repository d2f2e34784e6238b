// Rounds of power cuts over BDX workloads, shared by the tests and the
// power-loss benchmark. A round runs a workload over fresh copies of its
// files under a simulated disk, cuts the power at a moment its seed picks,
// puts the files as the disk kept them, lets the next opener recover them
// (the power may fail again while it does) and looks at what is left:
//   damaged  the file does not open, its checker finds a fault, or an index
//            does not hold the records;
//   lost     a unit (update, stream, build or transaction) whose call had
//            returned is missing;
//   half     part of a unit is there: a file holds none of the states
//            between units, or two files hold different ones.
// A round is replayed by its workload, cipher and seed.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vrt::data::power_loss {

enum class Workload {
  Single,  // ADD, PUT or DELETE, each returning after its own safe update
  Stream,  // runs of updates between STREAM and FLUSH
  Build,   // updates and key rebuilds of the whole file
  Commit,  // LOGOUT over two files, updates in both, COMMIT
};
inline constexpr Workload kWorkloads[] = {Workload::Single, Workload::Stream, Workload::Build, Workload::Commit};
const char* name_of(Workload w);

struct Outcome {
  bool damaged = false;
  bool lost = false;
  bool half = false;
  bool cut_before_end = false;  // the cut came before the last unit returned
  std::string fault;            // what was found, empty when nothing
  std::string sequence;         // the units run and where the cut came
  bool sound() const { return !damaged && !lost && !half; }
};

// The starting files of one workload in a folder of their own; each round
// copies them afresh.
class Rounds {
 public:
  Rounds(const std::string& folder, Workload workload, bool encrypted);
  Outcome run(uint64_t seed);

  using Contents = std::map<int32_t, std::string>;  // id -> name

 private:
  std::string declaration() const;
  std::vector<std::string> data_files() const;

  std::string folder_;
  Workload workload_;
  bool encrypted_;
  std::map<std::string, std::string> initial_;  // path -> bytes, for every file of the round
  Contents initial_contents_;
};

}  // namespace vrt::data::power_loss
