// peer_ratio: runs the registered benchmarks and then sets each of ours
// beside its peer: both rates, how many times faster ours is, and how much
// more (or less) time ours takes in percent (an import's cost beyond the parse).
//
// Benchmarks come in pairs named "<topic>/ours" and "<topic>/<peer>"; each
// iteration handles `units` items (vertices, pixels) for the rate.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct peer_pair {
  std::string topic;        // e.g. "mesh"
  std::string peer;         // e.g. "tinyobjloader"
  double units;             // items per iteration
  const char* unit;         // e.g. "Mvertices/s"
  double scale;             // items per unit, e.g. 1e6
};

// Keeps the seconds per iteration of every run while printing as usual.
class time_keeper : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        seconds[r.run_name.function_name] = r.real_accumulated_time / double(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
};

inline int run_with_peers(int argc, char** argv, const std::vector<peer_pair>& pairs) {
  benchmark::Initialize(&argc, argv);
  time_keeper keeper;
  benchmark::RunSpecifiedBenchmarks(&keeper);
  std::printf("\n");
  for (const peer_pair& p : pairs) {
    const auto ours = keeper.seconds.find(p.topic + "/ours"), peer = keeper.seconds.find(p.topic + "/" + p.peer);
    if (ours == keeper.seconds.end() || peer == keeper.seconds.end()) continue;
    std::printf("%-6s ours %9.2f ms %9.1f %s | %s %9.2f ms %9.1f %s | ours %.2fx as fast (%+.0f %% time)\n",
                p.topic.c_str(), ours->second * 1e3, p.units / ours->second / p.scale, p.unit, p.peer.c_str(),
                peer->second * 1e3, p.units / peer->second / p.scale, p.unit, peer->second / ours->second,
                (ours->second / peer->second - 1) * 100);
  }
  benchmark::Shutdown();
  return 0;
}
