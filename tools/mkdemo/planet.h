// planet: the demo installation's planet textures, painted procedurally.
//
// "Earth.tex" is a globe of oceans, continents, deserts, mountains and ice
// caps; "Earth_cloud.tex" its cloud layer; "Ringed_ring.tex" a small ring
// texture for the ring path. A planet texture file is a DDS sequence: one
// DDS image after another, the images of level 1, then 2, 3 and so on, as
// many as the levels' patches need (1, 1, 1, 2, 8, 24: 37 images up to
// level 6).
//
// Builds on: imgwrite (DDS encoding).
//
// Layout of the images (longitude east of the prime meridian, -180..180;
// latitude north positive). u runs west to east across every image. Levels
// 1 to 3: the whole globe, v from the north pole (0) to the south pole (1),
// 64 x 32, 128 x 64 and 256 x 128 texels. Level 4: the western and the
// eastern hemisphere, pole to pole, 256 x 256 each. Level 5: the northern
// hemisphere in four quarters of 90 degrees from longitude -180 eastwards,
// then the southern; v from the pole (0) to the equator (1). Level 6: per
// hemisphere (northern first) three bands of 30 degrees from the pole to the
// equator, each four patches of 90 degrees from -180 eastwards; v from the
// band's poleward edge (0) to its equator-ward edge (1). Southern patches
// are thus the northern ones mirrored at the equator. Levels 4 and 5 are
// 256 x 256 texels an image, level 6 256 x 128.
//
// Notes: the globe is painted once at 1024 x 512 texels (level 5's spacing)
// and every image samples it; the surface is DXT1, the clouds DXT5 (white, cloud cover in alpha),
// the ring DXT5 (colour and gaps across u, the same along v).
#pragma once
#include <string>
#include <vector>

// Where one image of a planet texture lies on the globe, in degrees.
struct planet_patch {
  int level;                     // 1..6
  double west, east;             // longitudes of the edges u = 0 and u = 1
  double top, bottom;            // latitudes of the rows v = 0 and v = 1
  int width, height;             // texels
};

std::vector<planet_patch> planet_layout();           // the 37 images of levels 1 to 6, in file order
void write_demo_planets(const std::string& root);    // the .tex files below root + "/Textures"
