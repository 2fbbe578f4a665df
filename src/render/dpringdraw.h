// dpringdraw: a planet on screen.
//
// A planet wholly outside the view is not drawn at all; otherwise the
// surface (its mesh, or the patches of the drawn level with their textures,
// patches wholly behind the horizon skipped), the cloud layer, the horizon
// haze in a back half before the surface and a front half after it, and the
// rings. With shader programs and advanced graphics on, the surface, clouds
// and rings use the "plnt", "clouds" and "ring" programs;
// otherwise fixed-function lighting from the sun (light 0).
//
// Builds on: render/dpringbs (resources), render/vorlcalc, render/vorlshdr,
// render/vorldraw (facing the eye), gl/glgr, gl/glmesh.
//
// Notes:
//   - the far plane (10,000 km) cannot hold a planet, so each planet is drawn
//     scaled about the eye, which leaves its picture unchanged: its centre at
//     most planet_draw_distance away, its nearest point no nearer than
//     near_surface_draw unless it is nearer at full size
//   - every planet is drawn in the first pass, before the depth clear, so
//     the vessel always draws over it; the second pass has nothing to do
//   - the surface and rings test depth against each other; clouds and haze
//     are blended in drawing order without it
#pragma once
#include "render/vorldata.h"

constexpr double planet_draw_distance = 1000;   // metres
constexpr double near_surface_draw = 10;        // metres
constexpr double planet_fog_factor = 0.0005;    // "hfo"
constexpr double planet_fog_density = 0.0001;   // "FogDensity"

double planet_draw_scale(double distance, double radius); // 0 < k <= 1
void draw_planet(drawplanetrec& p, int index, int pass);  // pass 0 draws all, pass 1 nothing
