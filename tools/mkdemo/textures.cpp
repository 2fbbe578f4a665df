#include "mkdemo/textures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

#include "mkdemo/imgwrite.h"

namespace {

using rgba = std::array<double, 4>;  // 0..1 per channel
using painter = std::function<rgba(double u, double v)>;

// Smooth value noise in 0..1 from a hash of the lattice corners.
double lattice(int x, int y, int seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return double((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double noise(double u, double v, int cells, int seed) {
  const double x = u * cells, y = v * cells;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto smooth = [](double t) { return t * t * (3 - 2 * t); };
  auto at = [&](int i, int j) { return lattice((x0 + i) % cells, (y0 + j) % cells, seed); };
  const double a = at(0, 0) + (at(1, 0) - at(0, 0)) * smooth(fx);
  const double b = at(0, 1) + (at(1, 1) - at(0, 1)) * smooth(fx);
  return a + (b - a) * smooth(fy);
}

double fractal(double u, double v, int seed) {
  return 0.5 * noise(u, v, 4, seed) + 0.3 * noise(u, v, 8, seed + 1) + 0.2 * noise(u, v, 16, seed + 2);
}

rgba_image paint(int w, int h, const painter& p) {
  rgba_image img{w, h, std::vector<uint8_t>(size_t(w) * h * 4)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const rgba c = p((x + 0.5) / w, (y + 0.5) / h);
      for (int k = 0; k < 4; ++k)
        img.pixels[(size_t(y) * w + x) * 4 + k] = uint8_t(std::lround(std::clamp(c[k], 0.0, 1.0) * 255));
    }
  return img;
}

// Distance in texels' worth of u or v from the nearest of n evenly spaced lines.
double near_line(double t, int n) {
  const double f = t * n - std::floor(t * n);
  return std::min(f, 1 - f) / n;
}

rgba hull(double u, double v) {
  const double grime = 0.08 * fractal(u, v, 1);
  const double seam = near_line(u, 4) < 0.004 || near_line(v, 6) < 0.004 ? 0.25 : 0;
  const double g = 0.86 - grime - seam;
  return {g, g, g * 1.02, 1};
}

rgba wing(double u, double v) {
  const double stripe = v > 0.82 && v < 0.9 ? 1 : 0;
  const double g = 0.78 - 0.1 * fractal(u, v, 5) - (near_line(u, 8) < 0.003 ? 0.2 : 0);
  return {g + stripe * 0.15, g - stripe * 0.3, g - stripe * 0.4, 0.6 + 0.4 * fractal(v, u, 6)};
}

rgba fin(double u, double v) {
  const bool band = v > 0.1 && v < 0.25;
  const double g = 0.8 - 0.12 * fractal(u, v, 9);
  return {band ? 0.75 : g, band ? 0.12 : g, band ? 0.1 : g, band ? 1.0 : 0.7 + 0.3 * u};
}

rgba engine(double u, double v) {
  const double r = std::hypot(u - 0.5, v - 0.5);
  const double ring = 0.5 + 0.5 * std::cos(r * 60);
  const double g = 0.3 + 0.25 * ring;
  return {g, g * 0.95, g * 0.9, 1};
}

rgba panel(double u, double v) {
  const bool bezel = near_line(u, 5) < 0.01 || near_line(v, 4) < 0.012;
  const double g = bezel ? 0.12 : 0.22 + 0.05 * fractal(u, v, 3);
  return {g, g, g + 0.03, 1};
}

rgba canopy(double u, double v) {
  const bool frame = u < 0.05 || u > 0.95 || v < 0.05 || v > 0.95 || std::fabs(u - 0.5) < 0.02;
  return frame ? rgba{0.3, 0.3, 0.32, 1} : rgba{0.55, 0.7, 0.85, 0.35 + 0.2 * v};
}

rgba decal(double u, double v) {
  const bool letters = v > 0.3 && v < 0.7 && std::fmod(u * 9, 1.0) < 0.7 && std::fmod(v * 5 + u * 3, 1.0) < 0.6;
  const double band = std::fabs(v - 0.5) < 0.4 ? 1 : 0;
  return letters ? rgba{0.1, 0.15, 0.4, 1} : rgba{0.9, 0.9 - 0.2 * band, 0.85 - 0.6 * band, 1};
}

rgba emblem(double u, double v) {
  const double r = std::hypot(u - 0.5, v - 0.5);
  const double a = std::atan2(v - 0.5, u - 0.5);
  if (r > 0.48) return {0, 0, 0, 0};
  const bool star = r < 0.2 + 0.15 * std::cos(5 * a);
  return star ? rgba{1, 0.8, 0, 1} : rgba{0.2, 0.2, 0.6, 1};
}

rgba seat(double u, double v) {
  const double quilt = near_line(u, 4) < 0.02 || near_line(v, 6) < 0.015 ? 0.6 : 1;
  return {0.35 * quilt, 0.18 * quilt, 0.1 * quilt, 1};
}

rgba screen(double u, double v) {
  const bool trace = std::fabs(v - 0.5 - 0.25 * std::sin(u * 12)) < 0.015;
  const bool grid = near_line(u, 8) < 0.004 || near_line(v, 8) < 0.004;
  return trace ? rgba{0.2, 1, 0.3, 1} : grid ? rgba{0.05, 0.3, 0.1, 1} : rgba{0.02, 0.06, 0.03, 1};
}

// The flame atlas: a strip in the left quarter (bright along its middle,
// fading from v = 0, where the flame starts, to v = 1) and a round glow in
// the upper right quarter; the rest is clear.
rgba exhaust(double u, double v) {
  if (u < 0.25) {
    const double across = 1 - std::fabs(u * 8 - 1);
    const double a = std::pow(across, 1.5) * (1 - v);
    return {1, 0.8 + 0.2 * across, 0.5 + 0.5 * across, a};
  }
  const double r = std::min(1.0, std::hypot(u - 0.75, v - 0.25) * 4);
  const double glow = u >= 0.5 && v < 0.5 ? std::pow(1 - r, 2) : 0;
  return {1, 0.85 + 0.15 * glow, 0.6 + 0.4 * glow, glow};
}

rgba cloud(double u, double v) {
  const double c = std::clamp((fractal(u, v, 20) - 0.4) * 2.5, 0.0, 1.0);
  return {1, 1, 1, c};
}

rgba pod(double u, double v) {
  const bool stripe = std::fmod(u * 6, 1.0) < 0.15;
  return stripe ? rgba{0.9, 0.5, 0.1, 1} : rgba{0.7, 0.72, 0.7 - 0.1 * fractal(u, v, 30), 1};
}

rgba ring(double u, double v) {
  const double g = 0.55 + 0.2 * fractal(u * 2, v, 31);
  return near_line(u, 12) < 0.003 ? rgba{0.2, 0.2, 0.2, 1} : rgba{g, g, g * 1.05, 1};
}

rgba probe(double u, double v) {
  const bool cell = near_line(u, 10) > 0.006 && near_line(v, 10) > 0.006;
  return cell ? rgba{0.1, 0.15, 0.45, 1} : rgba{0.8, 0.8, 0.8, 1};
}

rgba plate(double u, double v) {
  const double g = 0.6 + 0.3 * noise(u, v, 8, 40);
  return {g, g * 0.8, g * 0.4, 1};
}

struct texture_file {
  const char* path;                                  // below Textures/
  int width, height;
  rgba (*paint)(double, double);
  std::function<bytes(const rgba_image&)> encode;
};

}  // namespace

void write_demo_textures(const std::string& root) {
  auto dds = [](dxt_format f) { return [f](const rgba_image& i) { return encode_dds(i, f); }; };
  auto raw_dds = [](int bits) { return [bits](const rgba_image& i) { return encode_dds_uncompressed(i, bits); }; };
  auto bmp = [](int bits) { return [bits](const rgba_image& i) { return encode_bmp(i, bits); }; };
  auto jpeg = [](const rgba_image& i) { return encode_jpeg(i, 88); };
  const texture_file files[] = {
    {"dg/hull.dds", 256, 256, hull, dds(dxt1)},
    {"dg/wing.dds", 256, 256, wing, dds(dxt5)},
    {"dg/fin.dds", 128, 256, fin, dds(dxt3)},
    {"dg/engine.dds", 64, 64, engine, raw_dds(32)},
    {"dg/panel.dds", 128, 128, panel, raw_dds(16)},
    {"dg/canopy.png", 128, 128, canopy, encode_png},
    {"dg/decal.jpg", 256, 128, decal, jpeg},
    {"dg/emblem.gif", 64, 64, emblem, encode_gif},
    {"dg/seat.bmp", 64, 64, seat, bmp(24)},
    {"dg/screen.bmp", 128, 128, screen, bmp(32)},
    {"Exhaust.dds", 64, 64, exhaust, dds(dxt5)},
    {"cloud1.dds", 256, 256, cloud, dds(dxt5)},
    {"Demo/pod.png", 128, 64, pod, encode_png},
    {"Demo/ring.jpg", 256, 64, ring, jpeg},
    {"Demo/probe.gif", 64, 64, probe, encode_gif},
    {"Demo/plate.bmp", 64, 64, plate, bmp(24)},
    {"Demo/tank.dds", 128, 128, pod, dds(dxt1)},
  };
  for (const texture_file& f : files)
    write_file_bytes(root + "/Textures/" + f.path, f.encode(paint(f.width, f.height, f.paint)));
}
