// vorlcalc: the planets' numbers and the planet interface of the scene passes.
//
// Creates planet records in the scene and sets their atmosphere; chooses a
// planet's resolution level from its apparent size; keeps the table of how
// many textures each level needs; gives the atmosphere's density at the
// camera and the sky colour it paints; tells whether a patch lies behind the
// horizon. planets_frame is what the scene calls every frame before it
// renders: density, then resources, for every planet. install_planet_code
// hands the engine's passes the sky colour, resource update and drawing of
// dpringbs and dpringdraw.
//
// Builds on: render/vorldata (scene and planet records), render/vorlutil
// (apparent size, error reports), render/dpringbs, render/dpringdraw.
//
// Notes:
//   - levels: 0 draws nothing; 1 to 8 are the patch levels; the size rule
//     gives up to 10 and never 4, the caller clamps
//   - a texture file's image count tells the highest level it supports;
//     a count that matches no level leaves the level asked for
#pragma once
#include <array>
#include <string>

#include "render/vorldata.h"

constexpr int max_planet_level = 8;
// Textures a file must hold to draw each level, cumulative; index = level.
constexpr std::array<int, max_planet_level + 1> textures_needed = {0, 1, 2, 3, 5, 13, 37, 137, 501};
constexpr double sky_slope = 1.0839, sky_offset = 0.4581; // daylight from the sun's angle
constexpr double sky_alpha_limit = 0.85;                  // the sky never hides the stars wholly

// The designer's backdrop planet, until its scene builds the backdrop itself.
constexpr double earth_radius = 6371010;                  // metres
constexpr vec3 earth_vessel_offset{0, 12000000, 0};       // the vessel above the Earth's centre
drawplanetrec& add_backdrop_earth(vorlscene& s);          // 1.5e11 m along x turned by 10 degrees, a blue sky

drawplanetrec& create_planet(vorlscene& s, const std::string& name, const vec3& position, double radius,
                             bool atmosphere);        // appended to the scene; name cut at 64 characters
void set_atmosphere(drawplanetrec& p, double density, double max_density, double outer_radius,
                    const std::array<float, 3>& colour);
int  resolution_level(double apparent_radius, double distance); // 0..10 by circumference in pixels
int  clamp_level(int level, int textures_highest);    // 0..8, at most the textures' level when known (> 0)
int  textures_level(int image_count, int asked);      // highest level a file of image_count images supports
int  planet_level(const vorlscene& s, const drawplanetrec& p); // the level the camera needs now, unclamped
void atmosphere_strength(drawplanetrec& p, const vec3& camera); // current density from the camera's height
packed_colour planet_sky_colour(const drawplanetrec& p); // transparent black outside the atmosphere
bool behind_horizon(const vec3& eye, double radius, const vec3& centre, double bound); // eye, centre: planet frame
void planets_frame(vorlscene& s);                     // density and resources of every planet, each frame
void install_planet_code();                           // fills planet_code
