// The largest Install run the tables allow, timed against a plain copy of
// the same bytes, plus the catalogue readers on their own.
//
//   quorvane-bench [--data DIR] [--rounds N] [google-benchmark flags]
//
// Prints the engine's time for the whole run next to the time that cp and
// cat need for the same texture files and text files, their ratio, the
// same run as a user meets it (quorvane-cli install as a process of its
// own, started, run and ended, beside the copy as processes), the peak
// memory of the run, how the cost grows with the number of airlines and
// with the size of Aircraft.cfg (--no-scaling leaves that out), and then
// the Google Benchmark figures of FillAirlineList and LookupAirline over
// 1024 sections, of LookAtFolders on the files of that install and of the
// dry run's diff.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/KeptCatalogue.h"
#include "commands/InstallCommand.h"
#include "install/Folders.h"
#include "run/InstallRun.h"
#include "text/UnifiedDiff.h"
#include "BenchTree.h"
#include "RealShapes.h"
#include "TestSupport.h"

using namespace engine;

namespace {

BenchTree g_tree;
// The one run object of the process, as a front end keeps it.
InstallRun g_run;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakRssKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Current resident size, which unlike the peak can be taken before the run.
long CurrentRssKiB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

double CpuSeconds(int who = RUSAGE_SELF) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One whole Install command over every airline; the elapsed seconds, and
// in *cpu the processor time it took (the rest is waiting for the disk).
double TimeEngineRun(BenchTree& tree, int round, InstallOutcome* outcome, double* cpu) {
  PrepareRound(&tree, "engine" + std::to_string(round));
  sync();  // no run pays for writing out what was prepared before it
  FakeHost host;  // every airline selected
  host.fsFolder = tree.fs;
  host.squawkBoxFolder = tree.squawkBox;
  g_run.SetCatalogueFolder(tree.catalogue.c_str());
  FillAirlineList(g_run.CatalogueFolder(), &host.entries);
  host.SelectAll();
  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  *outcome = OnInstall(g_run, host.Request(), host);
  const double elapsed = Seconds(start);
  *cpu = CpuSeconds() - cpuStart;
  return elapsed;
}

// The same bytes moved by the system's tools: every texture copied into
// its folder, both text files read and written once.
double TimeCopyRun(BenchTree& tree, int round) {
  PrepareRound(&tree, "copy" + std::to_string(round));
  sync();
  const std::string command = "cp -r " + Quoted(tree.staging) + "/. " + Quoted(tree.csl) + " && cat " +
                              Quoted(tree.templateConfig) + " > " + Quoted(tree.config) + " && cat " +
                              Quoted(tree.templateModels) + " > " + Quoted(tree.models);
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "quorvane-bench: the copy failed\n");
    std::exit(1);
  }
  return Seconds(start);
}

// The same install as a user runs it: quorvane-cli as a process of its
// own, from its start to its end; in *cpu the processor time it took.
double TimeProcessRun(BenchTree& tree, int round, double* cpu) {
  PrepareRound(&tree, "process" + std::to_string(round));
  sync();
  const std::string command = Quoted(QUORVANE_CLI) + " install --catalogue " + Quoted(tree.catalogue) + " --fs " +
                              Quoted(tree.fs) + " --squawkbox " + Quoted(tree.squawkBox) +
                              " --yes </dev/null >/dev/null 2>&1";
  const double cpuStart = CpuSeconds(RUSAGE_CHILDREN);
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "quorvane-bench: quorvane-cli install did not complete\n");
    std::exit(1);
  }
  const double elapsed = Seconds(start);
  *cpu = CpuSeconds(RUSAGE_CHILDREN) - cpuStart;
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Timing {
  double engine = 0, engineCpu = 0, copy = 0;
  // With withProcess only: the process's median, its ratio to the median
  // of all copies, and the ratio of the fastest process to the fastest
  // copy (the least the machine's other work added to either).
  double process = 0, processCpu = 0, processRatio = 0, fastestRatio = 0;
};

// Engine, copy and (withProcess) the whole process in turns, so that all
// see the same machine; medians, and the median of the rounds' ratios of
// process to copy.
Timing TimeRuns(BenchTree& tree, int rounds, bool withProcess = false) {
  std::vector<double> engine, engineCpu, copy, process, processCpu, allCopies;
  for (int r = 0; r < rounds; ++r) {
    InstallOutcome outcome;
    double cpu = 0;
    engine.push_back(TimeEngineRun(tree, r, &outcome, &cpu));
    engineCpu.push_back(cpu);
    if (outcome != InstallOutcome::Completed) {
      std::fprintf(stderr, "quorvane-bench: the install run did not complete\n");
      std::exit(1);
    }
    copy.push_back(TimeCopyRun(tree, r));
    if (withProcess) {
      double cpu = 0;
      process.push_back(TimeProcessRun(tree, r, &cpu));
      processCpu.push_back(cpu);
      // The copy again, right after: a copy before and after each process,
      // so that both meet the machine as it is.
      allCopies.push_back(copy.back());
      allCopies.push_back(TimeCopyRun(tree, rounds + r));
    }
  }
  // The rounds' folders go once every round is timed, so that later trees
  // do not run on a file system filled with earlier ones.
  for (int r = 0; r < rounds; ++r) {
    std::filesystem::remove_all(tree.root + "/engine" + std::to_string(r));
    std::filesystem::remove_all(tree.root + "/copy" + std::to_string(r));
    std::filesystem::remove_all(tree.root + "/copy" + std::to_string(rounds + r));
    std::filesystem::remove_all(tree.root + "/process" + std::to_string(r));
  }
  sync();
  Timing timing{Median(engine), Median(engineCpu), Median(copy)};
  if (withProcess) {
    timing.process = Median(process);
    timing.processCpu = Median(processCpu);
    timing.processRatio = Median(process) / Median(allCopies);
    timing.fastestRatio = *std::min_element(process.begin(), process.end()) /
                          *std::min_element(allCopies.begin(), allCopies.end());
  }
  return timing;
}

// The trees of the two scaling tables: three numbers of airlines over the
// Aircraft.cfg of the largest run, and three sizes of Aircraft.cfg under
// the largest number of airlines.
std::vector<BenchSize> ScalingSizes() {
  std::vector<BenchSize> sizes;
  for (int airlines : {256, 512}) {
    BenchSize size;
    size.airlines = airlines;
    sizes.push_back(size);
  }
  for (std::size_t lines : {12000u, 60000u}) {
    BenchSize size;
    size.configLines = lines;
    sizes.push_back(size);
  }
  return sizes;
}

void PrintScalingRow(const BenchTree& tree, const Timing& t) {
  std::printf("  %8d %12zu %10.3f s %8.0f us %10.3f s %7.2f\n", tree.airlines, tree.configLines, t.engine,
              1e6 * t.engine / tree.airlines, t.copy, t.engine / t.copy);
}

void PrintScaling(std::vector<BenchTree>& trees, const Timing& largest, int rounds) {
  std::vector<Timing> timings;
  for (BenchTree& tree : trees) timings.push_back(TimeRuns(tree, rounds));
  const char* header = "  airlines Aircraft.cfg     engine  per airline       copy   ratio\n";
  std::printf("Cost by number of airlines (median of %d rounds)\n%s", rounds, header);
  PrintScalingRow(trees[0], timings[0]);
  PrintScalingRow(trees[1], timings[1]);
  PrintScalingRow(g_tree, largest);
  std::printf("Cost by size of Aircraft.cfg\n%s", header);
  PrintScalingRow(trees[2], timings[2]);
  PrintScalingRow(g_tree, largest);
  PrintScalingRow(trees[3], timings[3]);
  std::printf("\n");
}

void BM_FillAirlineList(benchmark::State& state) {
  g_run.SetCatalogueFolder(g_tree.catalogue.c_str());
  std::vector<std::string> list;
  for (auto _ : state) {
    FillAirlineList(g_run.CatalogueFolder(), &list);
    benchmark::DoNotOptimize(list.data());
  }
  if (list.size() != 1024) state.SkipWithError("the list does not hold 1024 airlines");
}
BENCHMARK(BM_FillAirlineList)->Unit(benchmark::kMillisecond)->UseRealTime();

// The lookup searches from the highest section number down: the last
// airline is found at once, the first only after every other Descr.
void BM_LookupAirline(benchmark::State& state) {
  g_run.SetCatalogueFolder(g_tree.catalogue.c_str());
  const std::string wanted = BenchDescription(state.range(0) ? g_tree.airlines - 1 : 0);
  for (auto _ : state) {
    LookupResult result = LookupAirline(g_run.keptCatalogue, g_run.CatalogueFolder(), wanted.c_str());
    if (!result.found) state.SkipWithError("the airline is not found");
  }
}
BENCHMARK(BM_LookupAirline)->ArgName("last")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window asks before its menu shows: the folder checks, and each
// kind of copy of the files an install left read and compared whole.
void BM_LookAtFolders(benchmark::State& state) {
  InstallOutcome outcome;
  double cpu = 0;
  TimeEngineRun(g_tree, -1, &outcome, &cpu);
  InstallRequest request;
  request.fsFolder = g_tree.fs;
  request.squawkBoxFolder = g_tree.squawkBox;
  FolderChoices choices;
  for (auto _ : state) choices = LookAtFolders(request);
  if (outcome != InstallOutcome::Completed || choices.lastRun != KeptCopies::Restorable) {
    state.SkipWithError("the install left no copies to look at");
  }
}
BENCHMARK(BM_LookAtFolders)->Unit(benchmark::kMillisecond)->UseRealTime();

// The dry run's diff of Aircraft.cfg on the first run, which lower-cases
// every line: the file of the largest run, and that file four and sixteen
// times over, so that the figures show the cost growing with the lines,
// not with their square.
void BM_DryRunDiff(benchmark::State& state) {
  std::string once;
  {
    std::ifstream in(g_tree.templateConfig, std::ios::binary);
    once.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string before;
  for (int64_t i = 0; i < state.range(0); ++i) before += once;
  const std::string after = AsTheRemovalPassLeavesIt(before);
  for (auto _ : state) {
    const std::string diff = UnifiedDiff("Aircraft.cfg", before, "Aircraft.cfg", after);
    benchmark::DoNotOptimize(diff.data());
  }
  state.counters["lines"] = static_cast<double>(std::count(before.begin(), before.end(), '\n'));
}
BENCHMARK(BM_DryRunDiff)->ArgName("copies")->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::string data;
  int rounds = 5;
  bool scaling = true;
  std::vector<char*> rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--data") && i + 1 < argc) {
      data = argv[++i];
    } else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--no-scaling")) {
      scaling = false;
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (data.empty()) {
    const char* base = std::getenv("TMPDIR");
    data = std::string(base && *base ? base : "/tmp") + "/quorvane-bench";
  }
  data = std::filesystem::absolute(data).string();
  std::filesystem::remove_all(data);

  const long rssAtStart = CurrentRssKiB();
  g_tree = GenerateBenchTree(data + "/largest");
  std::vector<BenchTree> scalingTrees;
  if (scaling) {
    int n = 0;
    for (const BenchSize& size : ScalingSizes()) {
      scalingTrees.push_back(GenerateBenchTree(data + "/scaling" + std::to_string(n++), size));
    }
  }
  // A catalogue a user installs from was written long before the run; a
  // run keeps no parse of one written in the last two seconds.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  std::printf("Data: %s\n  %d airlines, textures of %zu KiB, Aircraft.cfg %zu lines, CSL_ICAO.csv %zu lines\n\n",
              data.c_str(), g_tree.airlines, g_tree.textureBytes / 1024, g_tree.configLines, g_tree.modelLines);

  const Timing largest = TimeRuns(g_tree, rounds, /*withProcess=*/true);
  const long peak = PeakRssKiB();
  const double tables = (4000.0 + 20000.0) * 200.0 / 1024.0 / 1024.0;

  std::printf("Whole install of %d airlines (median of %d rounds)\n", g_tree.airlines, rounds);
  std::printf("  engine (OnInstall)            %8.3f s   (processor time %.3f s)\n", largest.engine,
              largest.engineCpu);
  std::printf("  cp + cat of the same files    %8.3f s\n", largest.copy);
  std::printf("  ratio engine / copy           %8.2f   (target: at most 1.5)\n", largest.engine / largest.copy);
  std::printf("Whole install as a user runs it: quorvane-cli install, a process, on the same files\n");
  std::printf("  quorvane-cli install          %8.3f s   (processor time %.3f s)\n", largest.process,
              largest.processCpu);
  std::printf("  ratio process / copy          %8.2f   (target: at most 1.5; medians, a copy before and\n"
              "                                         after each process)\n",
              largest.processRatio);
  std::printf("  fastest process / fastest copy%8.2f\n", largest.fastestRatio);
  std::printf("Memory\n");
  std::printf("  peak resident size            %8.1f MiB\n", peak / 1024.0);
  std::printf("  resident before the first run %8.1f MiB\n", rssAtStart / 1024.0);
  std::printf("  growth over the run           %8.1f MiB  (the two tables are %.1f MiB)\n\n",
              (peak - rssAtStart) / 1024.0, tables);
  if (scaling) PrintScaling(scalingTrees, largest, rounds);
  std::fflush(stdout);

  int benchArgc = static_cast<int>(rest.size());
  benchmark::Initialize(&benchArgc, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(data);
  return 0;
}
