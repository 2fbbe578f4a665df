#include "mkdemo/planet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "mkdemo/imgwrite.h"

namespace {

constexpr double degrees = 3.14159265358979323846 / 180;

using point = std::array<double, 3>;
using colour = std::array<double, 3>;  // 0..1 per channel

// Value noise in space (so the globe has no seam), 0..1.
double corner(int x, int y, int z, int seed) {
  uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(z) * 83492791u ^ uint32_t(seed) * 2654435761u;
  h ^= h >> 15, h *= 2246822519u, h ^= h >> 13, h *= 3266489917u, h ^= h >> 16;
  return double(h & 0xFFFFFF) / double(0xFFFFFF);
}

double noise(const point& p, int seed) {
  int cell[3];
  double f[3];
  for (int k = 0; k < 3; ++k) {
    const double fl = std::floor(p[size_t(k)]);
    cell[k] = int(fl);
    const double t = p[size_t(k)] - fl;
    f[k] = t * t * (3 - 2 * t);
  }
  auto at = [&](int i, int j, int k) { return corner(cell[0] + i, cell[1] + j, cell[2] + k, seed); };
  auto mix = [](double a, double b, double t) { return a + (b - a) * t; };
  const double x00 = mix(at(0, 0, 0), at(1, 0, 0), f[0]), x10 = mix(at(0, 1, 0), at(1, 1, 0), f[0]);
  const double x01 = mix(at(0, 0, 1), at(1, 0, 1), f[0]), x11 = mix(at(0, 1, 1), at(1, 1, 1), f[0]);
  return mix(mix(x00, x10, f[1]), mix(x01, x11, f[1]), f[2]);
}

// Octaves of noise, each twice as fine and half as strong; still 0..1.
double fractal(const point& p, double scale, int octaves, int seed) {
  double sum = 0, weight = 0, amp = 1;
  for (int o = 0; o < octaves; ++o, amp *= 0.5, scale *= 2) {
    sum += amp * noise({p[0] * scale, p[1] * scale, p[2] * scale}, seed + o);
    weight += amp;
  }
  return sum / weight;
}

double smoothstep(double a, double b, double x) {
  const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

colour blend(const colour& a, const colour& b, double t) {
  return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

// The point on the unit sphere (y to the north pole, z to longitude 0),
// pushed about by noise so that coasts wander instead of following cells.
point warped(double lat, double lon) {
  const point p{std::cos(lat) * std::sin(lon), std::sin(lat), std::cos(lat) * std::cos(lon)};
  point q = p;
  for (int k = 0; k < 3; ++k) q[size_t(k)] += 0.5 * (fractal(p, 1.5, 3, 11 + 7 * k) - 0.5);
  return q;
}

constexpr double sea_level = 0.485;
const colour deep_sea{0.02, 0.07, 0.25}, shallow_sea{0.07, 0.27, 0.48}, forest{0.13, 0.30, 0.10},
    grass{0.33, 0.42, 0.18}, desert{0.76, 0.64, 0.42}, tundra{0.42, 0.40, 0.33}, rock{0.45, 0.41, 0.37},
    ice{0.92, 0.95, 0.98};

colour land(const point& q, double h, double lat) {
  const double wet = fractal(q, 2.5, 4, 40);
  const double tropic = std::exp(-std::pow((std::fabs(lat) - 24 * degrees) / (14 * degrees), 2));
  const double arid = tropic * smoothstep(0.62, 0.42, wet);
  colour c = blend(forest, grass, smoothstep(0.45, 0.65, wet + 0.2 * h));
  c = blend(c, desert, arid);
  c = blend(c, tundra, smoothstep(50 * degrees, 65 * degrees, std::fabs(lat)));
  c = blend(c, rock, smoothstep(0.3, 0.5, h));
  return blend(c, ice, smoothstep(0.55, 0.65, h));
}

colour surface(double lat, double lon) {
  const point q = warped(lat, lon);
  const double e = fractal(q, 1.2, 6, 1);
  const double polar = 71 * degrees + 30 * degrees * (fractal(q, 2, 4, 60) - 0.5);
  if (std::fabs(lat) > polar) return ice;
  if (e < sea_level) return blend(shallow_sea, deep_sea, smoothstep(0.0, 0.035, sea_level - e));
  return land(q, (e - sea_level) / (1 - sea_level), lat);
}

// Cloud cover 0..1: bands of weather at the equator and in the middle
// latitudes, clear skies over the subtropics.
double cloud_cover(double lat, double lon) {
  const point q = warped(lat, lon + 0.4);
  const double bands = 0.08 * std::cos(6 * lat) + 0.04 * std::cos(2 * lat);
  return smoothstep(0.49, 0.69, fractal(q, 2.5, 5, 80) + bands);
}

rgba_image new_image(int w, int h) { return rgba_image{w, h, std::vector<uint8_t>(size_t(w) * size_t(h) * 4)}; }

uint8_t to_byte(double x) { return uint8_t(std::lround(std::clamp(x, 0.0, 1.0) * 255)); }

void put(rgba_image& img, int x, int y, const colour& c, double alpha) {
  uint8_t* p = &img.pixels[(size_t(y) * size_t(img.width) + size_t(x)) * 4];
  p[0] = to_byte(c[0]), p[1] = to_byte(c[1]), p[2] = to_byte(c[2]), p[3] = to_byte(alpha);
}

// A ring seen across its band: many fine ringlets, one wide gap.
rgba_image ring_image() {
  rgba_image img = new_image(128, 8);
  for (int x = 0; x < img.width; ++x) {
    const double u = (x + 0.5) / img.width;
    const double ringlets = 0.55 + 0.35 * fractal({u * 6, 0.5, 0.5}, 4, 4, 90);
    const double alpha = u > 0.58 && u < 0.64 ? 0 : ringlets * smoothstep(0, 0.08, u) * smoothstep(1, 0.9, u);
    for (int y = 0; y < img.height; ++y) put(img, x, y, {0.80, 0.72, 0.58}, alpha);
  }
  return img;
}

// The globe painted once at the finest texel spacing the patches use
// (a quarter turn in 256 texels); every image samples it.
struct globe_map {
  static constexpr int width = 1024, height = 512;
  std::vector<std::array<float, 4>> texels;  // red, green, blue, alpha, rows from the north pole
};

globe_map paint_globe(bool clouds) {
  globe_map m;
  m.texels.resize(size_t(globe_map::width) * globe_map::height);
  for (int y = 0; y < globe_map::height; ++y) {
    const double lat = (90 - 180 * (y + 0.5) / globe_map::height) * degrees;
    for (int x = 0; x < globe_map::width; ++x) {
      const double lon = (-180 + 360 * (x + 0.5) / globe_map::width) * degrees;
      const colour c = clouds ? colour{1, 1, 1} : surface(lat, lon);
      m.texels[size_t(y) * globe_map::width + size_t(x)] = {float(c[0]), float(c[1]), float(c[2]),
                                                             float(clouds ? cloud_cover(lat, lon) : 1)};
    }
  }
  return m;
}

// Bilinear between the four nearest map texels, round the globe in longitude.
std::array<double, 4> sample(const globe_map& m, double lat_deg, double lon_deg) {
  const double fx = (lon_deg + 180) / 360 * globe_map::width - 0.5;
  const double fy = std::clamp((90 - lat_deg) / 180 * globe_map::height - 0.5, 0.0, globe_map::height - 1.0);
  const int x0 = int(std::floor(fx)), y0 = std::min(int(fy), globe_map::height - 2);
  const double tx = fx - x0, ty = fy - y0;
  auto at = [&](int x, int y) {
    return m.texels[size_t(y) * globe_map::width + size_t((x % globe_map::width + globe_map::width) % globe_map::width)];
  };
  std::array<double, 4> out{};
  for (size_t k = 0; k < 4; ++k) {
    const double top = at(x0, y0)[k] + (at(x0 + 1, y0)[k] - at(x0, y0)[k]) * tx;
    const double low = at(x0, y0 + 1)[k] + (at(x0 + 1, y0 + 1)[k] - at(x0, y0 + 1)[k]) * tx;
    out[k] = top + (low - top) * ty;
  }
  return out;
}

rgba_image paint_patch(const planet_patch& p, const globe_map& m) {
  rgba_image img = new_image(p.width, p.height);
  for (int y = 0; y < p.height; ++y) {
    const double lat = p.top + (p.bottom - p.top) * (y + 0.5) / p.height;
    for (int x = 0; x < p.width; ++x) {
      const auto t = sample(m, lat, p.west + (p.east - p.west) * (x + 0.5) / p.width);
      put(img, x, y, {t[0], t[1], t[2]}, t[3]);
    }
  }
  return img;
}

// The images of every patch one after another, each a whole DDS file.
bytes sequence(const globe_map& m, dxt_format f) {
  bytes out;
  for (const planet_patch& p : planet_layout()) {
    const bytes one = encode_dds(paint_patch(p, m), f);
    out.insert(out.end(), one.begin(), one.end());
  }
  return out;
}

}  // namespace

std::vector<planet_patch> planet_layout() {
  std::vector<planet_patch> l;
  for (int k = 0; k < 3; ++k) l.push_back({k + 1, -180, 180, 90, -90, 64 << k, 32 << k});
  for (int k = 0; k < 2; ++k) l.push_back({4, -180.0 + 180 * k, 180.0 * k, 90, -90, 256, 256});
  for (int hemi : {1, -1})
    for (int k = 0; k < 4; ++k) l.push_back({5, -180.0 + 90 * k, -90.0 + 90 * k, 90.0 * hemi, 0, 256, 256});
  for (int hemi : {1, -1})
    for (int band = 0; band < 3; ++band)
      for (int k = 0; k < 4; ++k)
        l.push_back({6, -180.0 + 90 * k, -90.0 + 90 * k, hemi * (90.0 - 30 * band), hemi * (60.0 - 30 * band), 256, 128});
  return l;
}

void write_demo_planets(const std::string& root) {
  write_file_bytes(root + "/Textures/Earth.tex", sequence(paint_globe(false), dxt1));
  write_file_bytes(root + "/Textures/Earth_cloud.tex", sequence(paint_globe(true), dxt5));
  const bytes ring = encode_dds(ring_image(), dxt5);
  write_file_bytes(root + "/Textures/Ringed_ring.tex", ring);
}
