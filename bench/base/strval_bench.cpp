// Number lists and decimal texts: ours against snprintf / strtod on the same values.
// Ours must keep "." whatever the locale; the peer is the locale-bound C library.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/maths.h"
#include "base/strval.h"

// Vertex-like lines "x, y, z" with one to three decimals, the same on every run.
static const std::vector<std::string>& sample_lines() {
  static std::vector<std::string> lines = [] {
    std::vector<std::string> out;
    random_seed = 1;
    for (int i = 0; i < 1000; i++) {
      std::string line;
      for (int k = 0; k < 3; k++) {
        if (k) line += ", ";
        line += decimal_to_text((random_next() - 0.5) * 200, 1 + random_below(3));
      }
      out.push_back(line);
    }
    return out;
  }();
  return lines;
}

static const std::vector<double>& sample_values() {
  static std::vector<double> values = [] {
    std::vector<double> out;
    random_seed = 2;
    for (int i = 0; i < 1000; i++) out.push_back((random_next() - 0.5) * 1e4);
    return out;
  }();
  return values;
}

static void three_numbers_ours(benchmark::State& state) {
  const auto& lines = sample_lines();
  for (auto _ : state)
    for (const std::string& l : lines) benchmark::DoNotOptimize(three_numbers(l));
  state.SetItemsProcessed(state.iterations() * lines.size());
}

static vec3 three_strtod(const std::string& l) {
  char* end;
  vec3 v;
  v.x = std::strtod(l.c_str(), &end);
  while (*end == ',' || *end == ' ') end++;
  v.y = std::strtod(end, &end);
  while (*end == ',' || *end == ' ') end++;
  v.z = std::strtod(end, &end);
  return v;
}

static void three_numbers_strtod(benchmark::State& state) {
  const auto& lines = sample_lines();
  for (auto _ : state)
    for (const std::string& l : lines) benchmark::DoNotOptimize(three_strtod(l));
  state.SetItemsProcessed(state.iterations() * lines.size());
}

static void decimal_to_text_ours(benchmark::State& state) {
  const auto& values = sample_values();
  for (auto _ : state)
    for (double v : values) benchmark::DoNotOptimize(decimal_to_text(v));
  state.SetItemsProcessed(state.iterations() * values.size());
}

// The peer gets the same decimal count, so both print the same digits.
static void decimal_to_text_snprintf(benchmark::State& state) {
  const auto& values = sample_values();
  for (auto _ : state)
    for (double v : values) {
      char buf[64];
      int n = std::snprintf(buf, sizeof buf, "%.*f", automatic_decimals(v), v);
      benchmark::DoNotOptimize(std::string(buf, n));
    }
  state.SetItemsProcessed(state.iterations() * values.size());
}

BENCHMARK(three_numbers_ours);
BENCHMARK(three_numbers_strtod);
BENCHMARK(decimal_to_text_ours);
BENCHMARK(decimal_to_text_snprintf);
BENCHMARK_MAIN();
