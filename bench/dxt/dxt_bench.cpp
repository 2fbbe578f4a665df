// DXT decoding against libsquish: a 2048 x 2048 picture compressed once by
// libsquish in each format, then decoded whole per iteration by our decoder
// and by squish::DecompressImage. Rates are megapixels per second.
// And a texture's conversion to a DDS file (DXT5, the whole mipmap chain)
// against libsquish compressing the top level alone with the same settings.
#include <squish.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "../mesh/peer_ratio.h"
#include "mesh/ddswrite.h"
#include "mesh/dxtc.h"

namespace {

constexpr int side = 2048;
constexpr double pixels = double(side) * side;

std::vector<uint8_t> picture() {
  std::vector<uint8_t> rgba(size_t(side) * side * 4);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      uint8_t* p = &rgba[(size_t(y) * side + x) * 4];
      p[0] = uint8_t(128 + 127 * std::sin(x * 0.01));
      p[1] = uint8_t(128 + 127 * std::cos(y * 0.013));
      p[2] = uint8_t((x ^ y) & 0xFF);
      p[3] = uint8_t(128 + 127 * std::sin((x + y) * 0.02));
    }
  return rgba;
}

struct format_case {
  dxt_format ours;
  int squish_flag;
};

const std::vector<uint8_t>& blocks(const format_case& f) {
  static std::vector<uint8_t> cache[6];
  std::vector<uint8_t>& b = cache[f.ours];
  if (b.empty()) {
    b.resize(size_t(squish::GetStorageRequirements(side, side, f.squish_flag)));
    squish::CompressImage(picture().data(), side, side, b.data(), f.squish_flag | squish::kColourRangeFit);
  }
  return b;
}

void ours(benchmark::State& state, format_case f) {
  const std::vector<uint8_t>& in = blocks(f);
  std::vector<uint8_t> out(size_t(pixels) * 4);
  for (auto _ : state) {
    decode_dxt(f.ours, in.data(), side, side, out.data());
    benchmark::DoNotOptimize(out.data());
  }
}

void libsquish(benchmark::State& state, format_case f) {
  const std::vector<uint8_t>& in = blocks(f);
  std::vector<uint8_t> out(size_t(pixels) * 4);
  for (auto _ : state) {
    squish::DecompressImage(out.data(), side, side, in.data(), f.squish_flag);
    benchmark::DoNotOptimize(out.data());
  }
}

void dds_ours(benchmark::State& state) {
  const rgba_image img{side, side, picture(), image_png};
  for (auto _ : state) {
    const std::vector<uint8_t> file = encode_dds_texture(img);
    benchmark::DoNotOptimize(file.data());
  }
}

void dds_libsquish(benchmark::State& state) {
  const std::vector<uint8_t> rgba = picture();
  const int flags = squish::kDxt5 | squish::kColourClusterFit;
  std::vector<uint8_t> out(size_t(squish::GetStorageRequirements(side, side, flags)));
  for (auto _ : state) {
    squish::CompressImage(rgba.data(), side, side, out.data(), flags);
    benchmark::DoNotOptimize(out.data());
  }
}

const format_case dxt1_case{dxt1, squish::kDxt1}, dxt3_case{dxt3, squish::kDxt3}, dxt5_case{dxt5, squish::kDxt5};

}  // namespace

BENCHMARK_CAPTURE(ours, dxt1, dxt1_case)->Name("dxt1/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(libsquish, dxt1, dxt1_case)->Name("dxt1/libsquish")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, dxt3, dxt3_case)->Name("dxt3/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(libsquish, dxt3, dxt3_case)->Name("dxt3/libsquish")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, dxt5, dxt5_case)->Name("dxt5/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(libsquish, dxt5, dxt5_case)->Name("dxt5/libsquish")->Unit(benchmark::kMillisecond);

BENCHMARK(dds_ours)->Name("dds/ours")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(dds_libsquish)->Name("dds/libsquish")->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  for (const format_case& f : {dxt1_case, dxt3_case, dxt5_case}) blocks(f);  // compressed before any timing
  return run_with_peers(argc, argv, {{"dxt1", "libsquish", pixels, "MPixel/s", 1e6},
                                     {"dxt3", "libsquish", pixels, "MPixel/s", 1e6},
                                     {"dxt5", "libsquish", pixels, "MPixel/s", 1e6},
                                     {"dds", "libsquish", pixels, "MPixel/s", 1e6}});
}
