// How long the program takes to unpack a payload of the shipped size, against `unzip -q` of the
// same three archives into an empty folder, on the Linux host files. Prints both times, their
// ratio (the goal is at most 1.5) and the peak memory of one extraction and of the largest unzip
// process (ru_maxrss).
//
//   payload_extraction_bench [benchmark options]   e.g. --benchmark_repetitions=5
//   payload_extraction_bench --extract-once ROOT   one extraction below ROOT, nothing else
//
// The second form is what the first runs in a child process to measure the extraction's peak
// memory apart from the memory spent preparing the payload.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "payload/payload_extraction.h"
#include "platform/posix/file_security_posix.h"
#include "platform/posix/files_posix.h"
#include "tests/bench/shipped_payload.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/tools/pack/driver_tree.h"

namespace kestrava::bench {
namespace {

namespace fs = std::filesystem;

// Runs a program and waits for it; true when it exited with 0.
bool Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The peak resident set of a program in KiB, or -1. Measured by /usr/bin/time: a child spawned
// from this process would report this process's own peak, which its address space inherits
// until it executes the program.
long PeakKiB(std::vector<std::string> args, const fs::path& report) {
  args.insert(args.begin(), {"/usr/bin/time", "-f", "%M", "-o", report.string()});
  if (!Run(args)) return -1;
  long kib = -1;
  if (FILE* in = std::fopen(report.c_str(), "r")) {
    if (std::fscanf(in, "%ld", &kib) != 1) kib = -1;
    std::fclose(in);
  }
  return kib;
}

const WString kWorkingFolder = u"C:\\Program Files (x86)\\Kestrava V8.11\\";

struct Extraction {
  explicit Extraction(const fs::path& root) : files(root.string()) {
    process.programFilePath = kProgramPath;
  }
  PosixFiles files;
  FakeSystemInfo system;
  FakeProcess process;
  PosixFileSecurity security;
  PayloadExtraction extraction{files, system, process, security, kWorkingFolder};
};

void ExtractPayload(benchmark::State& state, const ShippedPayload* payload) {
  Extraction subject(payload->root);
  const fs::path working = subject.files.HostPath(kWorkingFolder);
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(working);
    subject.process.standardOutput.clear();
    state.ResumeTiming();
    if (subject.extraction.ExtractPayload() != kPayloadOk) {
      state.SkipWithError("the extraction failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload->unpackedBytes));
}

std::vector<std::string> UnzipCommand(const ShippedPayload& payload, size_t index,
                                      const fs::path& target) {
  return {"unzip", "-q", payload.archives[index].string(), "-d",
          (target / payload.platforms[index]).string()};
}

void UnzipReference(benchmark::State& state, const ShippedPayload* payload, fs::path target) {
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(target);
    fs::create_directories(target);
    state.ResumeTiming();
    for (size_t i = 0; i < payload->archives.size(); ++i) {
      if (!Run(UnzipCommand(*payload, i, target))) {
        state.SkipWithError("unzip failed");
        break;
      }
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload->unpackedBytes));
}

// Keeps the real time per iteration of every run, by benchmark, in milliseconds, and the median
// of the repetitions when the library reports it (--benchmark_repetitions).
class CapturingReporter : public benchmark::ConsoleReporter {
 public:
  CapturingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Iteration) {
        times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
      } else if (run.aggregate_name == "median") {
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Median(const std::string& name) {
    if (medians_.count(name) != 0) return medians_[name];
    std::vector<double>& list = times_[name];
    if (list.empty()) return 0;
    std::sort(list.begin(), list.end());
    return list[list.size() / 2];
  }

 private:
  std::map<std::string, std::vector<double>> times_;
  std::map<std::string, double> medians_;
};

int Main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--extract-once") == 0) {
    Extraction subject{fs::path(argv[2])};
    return subject.extraction.ExtractPayload() == kPayloadOk ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

  packtest::TempFolder temp;
  const ShippedPayload payload = WriteShippedPayload(temp.path());
  benchmark::RegisterBenchmark("ExtractPayload", ExtractPayload, &payload)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("UnzipReference", UnzipReference, &payload, temp.path() / "unzip")
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  CapturingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const double extract = reporter.Median("ExtractPayload");
  const double unzip = reporter.Median("UnzipReference");
  const fs::path report = temp.path() / "peak.txt";
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const long extractKiB = PeakKiB({self, "--extract-once", payload.root.string()}, report);
  long unzipKiB = 0;
  for (size_t i = 0; i < payload.archives.size(); ++i) {
    fs::remove_all(temp.path() / "peak");
    fs::create_directories(temp.path() / "peak");
    unzipKiB = std::max(unzipKiB, PeakKiB(UnzipCommand(payload, i, temp.path() / "peak"), report));
  }
  std::printf("payload: archives of");
  for (uint64_t size : payload.archiveSizes)
    std::printf(" %llu", static_cast<unsigned long long>(size));
  std::printf(" bytes, %llu bytes unpacked\n",
              static_cast<unsigned long long>(payload.unpackedBytes));
  std::printf(
      "ExtractPayload %.2f ms, unzip -q of the same archives %.2f ms: ratio %.2f "
      "(goal <= 1.50)\n",
      extract, unzip, unzip > 0 ? extract / unzip : 0.0);
  std::printf("peak memory (maximum resident set): one extraction %ld KiB, largest unzip %ld KiB\n",
              extractKiB, unzipKiB);
  return extract > 0 && unzip > 0 && extractKiB > 0 && unzipKiB > 0 ? 0 : 1;
}

}  // namespace
}  // namespace kestrava::bench

int main(int argc, char** argv) {
  return kestrava::bench::Main(argc, argv);
}
