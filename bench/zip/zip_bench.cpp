// Each input is compressed once per iteration: by the zip builder (add an
// entry and set its data: raw deflate plus CRC-32), and by compress2 alone at
// the same level. Counters: input MB/s and the ratio compressed / input.
#include <benchmark/benchmark.h>
#include <zlib.h>
#include <cstdio>
#include <string>
#include "design/designtemplate.h"
#include "generate/azip.h"
#include "generate/module_writer.h"

namespace {

// A mesh text of the simulator's kind: groups of vertex lines (position,
// normal, texture coordinates) and triangle lines, about 3 MB.
std::string mesh_text() {
  std::string s = "MSHX1\nGROUPS 40\n";
  char line[160];
  uint32_t seed = 7;
  auto next = [&] { return double((seed = seed * 1103515245 + 12345) >> 8) / double(1 << 24); };
  for (int g = 0; g < 40; ++g) {
    s += "MATERIAL 1\nTEXTURE 1\nGEOM 1200 800\n";
    for (int v = 0; v < 1200; ++v) {
      snprintf(line, sizeof line, "%.4f %.4f %.4f %.4f %.4f %.4f %.4f %.4f\n", next() * 20 - 10, next() * 4 - 2,
               next() * 30 - 15, next() * 2 - 1, next() * 2 - 1, next() * 2 - 1, next(), next());
      s += line;
    }
    for (int t = 0; t < 800; ++t) {
      snprintf(line, sizeof line, "%d %d %d\n", int(next() * 1200), int(next() * 1200), int(next() * 1200));
      s += line;
    }
  }
  return s;
}

// A 512 x 512 DXT1 texture: a 128-byte header and 8-byte blocks whose colour
// pairs vary smoothly and whose index bits are noisy, as in real skins (128 KB).
std::string texture() {
  std::string s(128, '\0');
  s.replace(0, 4, "DDS ");
  uint32_t seed = 11;
  for (int by = 0; by < 128; ++by)
    for (int bx = 0; bx < 128; ++bx) {
      uint16_t c0 = uint16_t((bx / 4) << 11 | (by / 2) << 5 | 12), c1 = uint16_t(c0 + 0x0841);
      seed = seed * 1103515245 + 12345;
      uint32_t bits = seed;
      s.append(reinterpret_cast<const char*>(&c0), 2);
      s.append(reinterpret_cast<const char*>(&c1), 2);
      s.append(reinterpret_cast<const char*>(&bits), 4);
    }
  return s;
}

std::string module_bytes() {
  vessel_design d;
  apply_template(d);
  std::vector<uint8_t> m = build_module(d);
  return std::string(m.begin(), m.end());
}

const std::string& input(int which) {
  static const std::string inputs[] = {mesh_text(), texture(), module_bytes()};
  return inputs[which];
}

const char* const input_names[] = {"mesh text", "texture", "module"};

void report(benchmark::State& state, const std::string& in, size_t compressed) {
  state.SetLabel(input_names[state.range(0)]);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
  state.counters["ratio"] = double(compressed) / double(in.size());
  state.counters["MB"] = double(in.size()) / 1e6;
}

void zip_entry(benchmark::State& state) {
  const std::string& in = input(int(state.range(0)));
  size_t compressed = 0;
  for (auto _ : state) {
    zipfile_rec z;
    zip_set_data(z, zip_add_entry(z, "entry", 0), in.data(), in.size());
    compressed = z.local[0].data.size();
    benchmark::DoNotOptimize(z.local[0].head);
  }
  report(state, in, compressed);
}

void zlib_compress2(benchmark::State& state) {
  const std::string& in = input(int(state.range(0)));
  std::string out(compressBound(uLong(in.size())), '\0');
  uLongf size = 0;
  for (auto _ : state) {
    size = uLongf(out.size());
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
              uLong(in.size()), Z_DEFAULT_COMPRESSION);
    benchmark::DoNotOptimize(out.data());
  }
  report(state, in, size);
}

}  // namespace

BENCHMARK(zip_entry)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(zlib_compress2)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
