// The first picture of the 1,000,000-vertex, 2,000,000-triangle torus, whole processes at 800 x 800:
// `ostrel-render` on the ".tm" and the binary PLY, each run on the PLY paired with `f3d --output` on
// the same file when f3d is installed and a display is set (run under xvfb-run; f3d needs one). Counters:
// wall seconds min and median of both programs and of their ratio, the same of their processor time
// (which a busy machine disturbs less), the most resident memory of each process
// (MiB, from the kernel), and every stage that `ostrel-render --verbose` times (ms).
#include "bench/geometry/TorusMeshFile.h"
#include "geometry/MeshExport.h"
#include "geometry/TriMesh.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const std::string folder = "/tmp/ostrel-first-picture-" + std::to_string(getpid());

// The torus as ".tm" and binary ".ply", written once and removed when the program ends.
std::string torusFile(const std::string& extension) {
  static const bool written = [] {
    mkdir(folder.c_str(), 0755);
    writeTorusMeshFile(folder + "/torus.tm", 1000, 1000);
    const TriMesh<float> mesh(folder + "/torus.tm");
    writePlyFile<float>({&mesh}, folder + "/torus.ply");
    std::atexit([] {
      for (const char* name : {"torus.tm", "torus.ply", "picture.png", "output.txt"})
        std::remove((folder + "/" + name).c_str());
      rmdir(folder.c_str());
    });
    return true;
  }();
  (void)written;
  return folder + "/torus." + extension;
}

struct Run {
  double seconds = 0;
  double processorSeconds = 0; // user and system, all threads
  double peakMiB = 0;
  std::string output; // standard output
  bool ok = false;
};

// Runs the program with these arguments (no shell), its output in a file; wall time and peak memory.
Run run(const std::vector<std::string>& arguments) {
  const std::string outputFile = folder + "/output.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  Run result;
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.processorSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                              1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    result.peakMiB = double(usage.ru_maxrss) / 1024.0;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  posix_spawn_file_actions_destroy(&actions);
  std::ifstream file(outputFile);
  std::stringstream text;
  text << file.rdbuf();
  result.output = text.str();
  return result;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void addMinAndMedian(benchmark::State& state, const std::string& name, const std::vector<double>& values) {
  if (values.empty()) return;
  state.counters[name + "_min"] = *std::min_element(values.begin(), values.end());
  state.counters[name + "_median"] = median(values);
}

bool f3dAvailable() {
  return std::getenv("DISPLAY") != nullptr && access("/usr/bin/f3d", X_OK) == 0;
}

// The argument names the file: 0 ".tm", 1 binary ".ply".
void BM_FirstPicture(benchmark::State& state) {
  const std::string file = torusFile(state.range(0) == 0 ? "tm" : "ply");
  const std::string picture = folder + "/picture.png";
  const std::regex stageLine("stage ([^:]+): ([0-9.]+) ms, processor ([0-9.]+) ms");
  std::vector<double> own, ownProcessor, peak, other, ratio, processorRatio;
  std::map<std::string, std::vector<double>> stages;
  for (auto _ : state) {
    const Run render = run({OSTREL_RENDER, "--verbose", "-o", picture, file});
    if (!render.ok) state.SkipWithError("ostrel-render failed");
    own.push_back(render.seconds);
    ownProcessor.push_back(render.processorSeconds);
    peak.push_back(render.peakMiB);
    for (std::sregex_iterator it(render.output.begin(), render.output.end(), stageLine), end; it != end;
         ++it) {
      stages[(*it)[1].str() + "_ms"].push_back(std::stod((*it)[2].str()));
      stages[(*it)[1].str() + "_cpu_ms"].push_back(std::stod((*it)[3].str()));
    }
    if (state.range(0) == 1 && f3dAvailable()) {
      const Run f3d = run({"f3d", "--output", picture, "--resolution", "800,800", file});
      other.push_back(f3d.seconds);
      ratio.push_back(render.seconds / f3d.seconds);
      processorRatio.push_back(render.processorSeconds / f3d.processorSeconds);
      state.counters["f3d_peak_MiB"] = f3d.peakMiB;
    }
    state.SetIterationTime(render.seconds);
  }
  state.SetLabel(state.range(0) == 0 ? "tm" : "ply");
  addMinAndMedian(state, "s", own);
  addMinAndMedian(state, "peak_MiB", peak);
  addMinAndMedian(state, "f3d_s", other);
  addMinAndMedian(state, "ratio", ratio);
  addMinAndMedian(state, "cpu_s", ownProcessor);
  addMinAndMedian(state, "cpu_ratio", processorRatio);
  for (const auto& [name, values] : stages) addMinAndMedian(state, name, values);
}
BENCHMARK(BM_FirstPicture)->Arg(0)->Arg(1)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
