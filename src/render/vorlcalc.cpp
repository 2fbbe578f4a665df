// vorlcalc: planet records, resolution level, atmosphere density and sky colour.
#include "render/vorlcalc.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "render/dpringbs.h"
#include "render/dpringdraw.h"
#include "render/vorldraw.h"
#include "render/vorlutil.h"

namespace {

// Upper bounds of the circumference in pixels for levels 1, 2, 3, 5, 6, ...;
// the size rule skips level 4, which only a texture file's clamp can give.
struct level_step {
  double below;
  int level;
};
constexpr level_step level_steps[] = {{128, 1},  {256, 2},   {512, 3},   {2048, 5},
                                      {4096, 6}, {8192, 7}, {16384, 8}, {32768, 9}};
constexpr int largest_level = 10;

// Image counts of complete files and the levels they hold.
constexpr int counted_levels = 7;

}  // namespace

drawplanetrec& create_planet(vorlscene& s, const std::string& name, const vec3& position, double radius,
                             bool atmosphere) {
  install_planet_code();
  auto p = std::make_unique<drawplanetrec>();
  p->name = name.substr(0, 64);
  p->position = position;
  p->rel_position = sub(position, s.camera.position);
  p->radius = radius;
  p->atmosphere = atmosphere;
  s.planets.push_back(std::move(p));
  return *s.planets.back();
}

drawplanetrec& add_backdrop_earth(vorlscene& s) {
  vec3 at{1.5e11, 0, 0};
  rotate_y(at, 0.17453292519943295);
  drawplanetrec& earth = create_planet(s, "Earth", at, earth_radius, true);
  set_atmosphere(earth, 0, 1.225, earth_radius + 300000, {0.35f, 0.55f, 1.0f});
  return earth;
}

void set_atmosphere(drawplanetrec& p, double density, double max_density, double outer_radius,
                    const std::array<float, 3>& colour) {
  p.atmosphere = true;
  p.density = density;
  p.max_density = max_density;
  p.outer_radius = outer_radius;
  std::copy(colour.begin(), colour.end(), p.colour);
}

int resolution_level(double apparent_radius, double distance) {
  if (!(apparent_radius >= 1) || distance == 0) return 0;
  const double c = 2 * pi * apparent_radius;
  for (const level_step& st : level_steps)
    if (c < st.below) return st.level;
  return largest_level;
}

int clamp_level(int level, int textures_highest) {
  level = std::clamp(level, 0, max_planet_level);
  return textures_highest > 0 ? std::min(level, textures_highest) : level;
}

int textures_level(int image_count, int asked) {
  if (image_count >= textures_needed[max_planet_level]) return max_planet_level;
  for (int l = 1; l <= counted_levels; ++l)
    if (image_count == textures_needed[l]) return l;
  return asked;
}

int planet_level(const vorlscene& s, const drawplanetrec& p) {
  const double d = length(p.rel_position);
  return resolution_level(apparent_size(p.radius, d, s.height, s.half_fov), d);
}

void atmosphere_strength(drawplanetrec& p, const vec3& camera) {
  const double height = p.outer_radius - p.radius;
  if (!p.atmosphere || !(height > 0)) {
    p.density = 0;
    return;
  }
  const double d = length(sub(p.position, camera));
  const double e = std::clamp(1 - (d - p.radius) / (height * 0.25), 0.0, 1.0);
  p.density = e * e * p.max_density;
}

packed_colour planet_sky_colour(const drawplanetrec& p) {
  const double d = length(p.rel_position);
  if (!p.atmosphere || !(d < p.outer_radius) || !(p.max_density > 0)) return 0;
  const double sun = dot(normalise(p.position), normalise(p.rel_position));
  const double c = std::min(sky_slope * sun + sky_offset, 1.0);
  const double f = std::sqrt(std::max(p.density / p.max_density, 0.0)) * c;
  if (!(f > 0)) return 0;
  auto channel = [&](float k) { return std::min(f * k, 1.0); };
  return pack_float_colour(channel(p.colour[0]), channel(p.colour[1]), channel(p.colour[2]),
                           std::min(sky_alpha_limit, f));
}

bool behind_horizon(const vec3& eye, double radius, const vec3& centre, double bound) {
  const double d = length(eye);
  if (!(d > radius)) return false;
  return dot(centre, scale(eye, 1 / d)) + bound < radius * radius / d;
}

void planets_frame(vorlscene& s) {
  try {
    update_relative_positions(s);
  } catch (const std::exception&) {
    report_error("VORL", "Error in vorlreupdatevals");
  }
  for (size_t i = 0; i < s.planets.size(); ++i) {
    if (planet_code.strength) planet_code.strength(*s.planets[i], s.camera.position);
    if (planet_code.update) planet_code.update(*s.planets[i], int(i));
  }
}

void install_planet_code() {
  planet_code.sky_colour = planet_sky_colour;
  planet_code.strength = atmosphere_strength;
  planet_code.update = update_planet;
  planet_code.draw = draw_planet;
}
