// dpringbs: template patches, layer resources, haze, ring band and close-range rings.
#include "render/dpringbs.h"

#include <algorithm>
#include <cmath>

#include "gl/glgr.h"
#include "gl/glmesh.h"
#include "mesh/dds.h"
#include "mesh/grplib.h"
#include "mesh/texfile.h"
#include "render/procgenlib.h"
#include "render/vorlaux.h"
#include "render/vorlutil.h"

namespace {

// --- Template patches -------------------------------------------------------------------

// Patches per latitude band, from the pole to the equator; a mirrored level
// repeats its bands in the south, otherwise its one band runs pole to pole.
struct level_layout {
  bool mirrored;
  std::vector<int> bands;
};
const level_layout layouts[max_planet_level + 1] = {
  {false, {}},
  {false, {1}},
  {false, {1}},
  {false, {1}},
  {false, {2}},
  {true, {4}},
  {true, {4, 4, 4}},
  {true, {2, 8, 8, 16, 16}},
  {true, {6, 6, 6, 12, 12, 12, 12, 12, 12, 12, 16, 16, 16, 16, 16}},
};
constexpr double patch_step = 7.5;  // degrees between a patch's grid lines, at most

vec3 globe_point(double lat, double lon) {
  const double a = lat * pi / 180, b = lon * pi / 180;
  return {std::cos(a) * std::cos(b), std::sin(a), std::cos(a) * std::sin(b)};
}

// A grid from latitude top down to bottom and from -180 degrees east over span;
// south mirrors it in the equator and turns its triangles to keep them outward.
void build_shape(typmshgrp& g, double top, double bottom, double span, bool south) {
  const int nlon = std::max(1, int(std::ceil(span / patch_step)));
  const int nlat = std::max(1, int(std::ceil((top - bottom) / patch_step)));
  for (int i = 0; i <= nlat; ++i)
    for (int j = 0; j <= nlon; ++j) {
      vec3 p = globe_point(top - (top - bottom) * i / nlat, -180 + span * j / nlon);
      if (south) p.y = -p.y;
      g.vertices.push_back(make_vertex(p, p, double(j) / nlon, double(i) / nlat));
    }
  for (int i = 0; i < nlat; ++i)
    for (int j = 0; j < nlon; ++j) {
      const int p = i * (nlon + 1) + j, q = p + nlon + 1;
      const int cell[2][6] = {{p, q, p + 1, p + 1, q, q + 1}, {p, p + 1, q, p + 1, q + 1, q}};
      g.indices.insert(g.indices.end(), cell[south], cell[south] + 6);
    }
  g.buffered = true;
}

// Centre and radius of a sphere holding the shape, its centre turned as glRotated about y does.
void bound_tile(planet_tile& t) {
  vec3 lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
  for (const pntyp& v : t.shape->vertices) {
    lo = {std::min(lo.x, double(v.position.x)), std::min(lo.y, double(v.position.y)), std::min(lo.z, double(v.position.z))};
    hi = {std::max(hi.x, double(v.position.x)), std::max(hi.y, double(v.position.y)), std::max(hi.z, double(v.position.z))};
  }
  const vec3 c = midpoint(lo, hi);
  for (const pntyp& v : t.shape->vertices) t.bound = std::max(t.bound, length(sub(to_vec(v.position), c)));
  const double a = t.angle * pi / 180;
  t.centre = {c.x * std::cos(a) + c.z * std::sin(a), c.y, -c.x * std::sin(a) + c.z * std::cos(a)};
}

void build_level(planet_templates_state& st, int level) {
  const level_layout& lay = layouts[level];
  const int hemispheres = lay.mirrored ? 2 : 1;
  const double band_height = (lay.mirrored ? 90.0 : 180.0) / double(lay.bands.size());
  typmsh& m = st.shapes[level];
  m.groups.resize(lay.bands.size() * size_t(hemispheres));
  m.group_count = int32_t(m.groups.size());
  m.loaded = true;
  int32_t texture = 0;
  for (int h = 0; h < hemispheres; ++h)
    for (size_t b = 0; b < lay.bands.size(); ++b) {
      typmshgrp& g = m.groups[size_t(h) * lay.bands.size() + b];
      const double top = 90 - band_height * double(b), span = 360.0 / lay.bands[b];
      build_shape(g, top, top - band_height, span, h == 1);
      for (int k = 0; k < lay.bands[b]; ++k) {
        planet_tile t{&g, -span * k, texture++};
        bound_tile(t);
        st.tiles[level].push_back(t);
      }
    }
}

// --- Layer resources -------------------------------------------------------------------

struct layer_kind {
  const char* suffix;               // after the planet's name in every file name
  const char* log_source;
  const char* failure;              // reported when the layer's update fails; the rings' adds the index
};
constexpr layer_kind layer_kinds[layer_count] = {
  {"", "PLNT", "Error in updoplanet"},
  {"_cloud", "PLNT", "Error in updoplanetcl"},
  {"_ring", "PLNTR", "Error in updoplanetring (n="},
};

GLuint upload_image(const dds_image& im) {
  if (!im.compressed.empty())
    return compressed_texture(int(im.width), int(im.height), int(im.format), im.compressed, 1, switch_flags());
  if (im.pixels.size() < size_t(im.width) * im.height * 4 || im.width == 0 || im.height == 0) return 0;
  return texture_from_pixels(int(im.width), int(im.height), im.pixels.data(), switch_flags());
}

// The first file of the search order that holds images; uploaded and released image by image.
bool load_textures(const vorlscene& s, drawplanetrec& p, planet_layer_id id, planet_layer& l, int asked) {
  for (const std::string& candidate : texture_candidates(s.texture_dir, p.name, id, planet_state(p).default_texture)) {
    const std::string path = locate_file(candidate);
    if (path.empty()) continue;
    std::vector<dds_image> images = read_dds_sequence(path, true);
    if (images.empty()) continue;
    for (dds_image& im : images) {
      l.textures.push_back(upload_image(im));
      im = dds_image{};
    }
    l.highest = textures_level(int(images.size()), asked);
    vorl_log(layer_kinds[id].log_source, "Loading " + s.texture_dir + "/" + p.name + layer_kinds[id].suffix + ".tex OK");
    return true;
  }
  return false;
}

void release_layer_textures(planet_layer& l) {
  for (GLuint& t : l.textures) release_texture(t);
  l.textures.clear();
  l.levels = {};
  l.highest = l.built = 0;
}

void build_patches(planet_layer& l, int level) {
  const planet_templates_state& st = planet_templates();
  for (int lv = 1; lv <= level; ++lv) {
    opmeshrec& rec = l.levels[lv];
    if (rec.built) continue;
    rec.tiles = st.tiles[lv];
    for (planet_tile& t : rec.tiles) t.texture += textures_needed[lv - 1];
    rec.built = true;
  }
}

// The mesh file, checked once; a file that cannot be read leaves the layer to its textures.
bool mesh_layer(const vorlscene& s, const drawplanetrec& p, planet_layer_id id, planet_layer& l, int index) {
  const std::string path = s.mesh_dir + "\\" + p.name + layer_kinds[id].suffix + ".msh";
  if (!l.mesh_checked) {
    l.mesh_checked = true;
    l.mesh_exists = !locate_file(path).empty();
  }
  if (!l.mesh_exists || l.mesh.loaded) return l.mesh_exists;
  if (read_mesh(l.mesh, path, s.texture_dir + "\\")) {
    upload_mesh_textures(l.mesh);
    l.mesh.loaded = true;
    return true;
  }
  l.mesh_exists = false;
  report_error("VELGL", "Error in transopmesh (n=" + std::to_string(index) + ")");
  return false;
}

void update_layer(const vorlscene& s, drawplanetrec& p, planet_layer_id id, int needed_raw, int index) {
  planet_layer& l = planet_state(p).layers[id];
  if (mesh_layer(s, p, id, l, index)) return;
  int needed = clamp_level(needed_raw, l.highest);
  if (needed == 0) {
    if (!l.textures.empty()) {
      release_layer_textures(l);
      vorl_log("PLNT", "Released " + p.name + layer_kinds[id].suffix + ".tex");
    }
    l.built = 0;
    l.failed_at = -1;
    return;
  }
  if (l.textures.empty() && needed != l.failed_at) {
    if (load_textures(s, p, id, l, needed)) needed = clamp_level(needed_raw, l.highest);
    else l.failed_at = needed;
  }
  if (id != layer_rings) build_patches(l, needed);
  l.built = needed;
}

// --- Haze and rings -------------------------------------------------------------------------

// One strip of haze_segments round the limb, radii in limb radii, v the ramp's row at each edge.
struct haze_strip {
  double inner, outer;              // in atmosphere heights beyond the limb (negative: inside)
  double v_inner, v_outer;
};
constexpr haze_strip haze_strips[3] = {
  {-2.0, 0.0, 0.02, 0.55},          // the veil over the planet's edge, drawn in front
  {0.0, 0.35, 0.93, 0.55},          // the bright rim
  {0.35, 1.0, 0.55, 0.02},          // the glow fading into space
};
constexpr double default_haze_height = 0.02;     // planet radii, when the outer radius says nothing

void build_strip(typmshgrp& g, double r0, double r1, double v0, double v1) {
  for (int j = 0; j <= haze_segments; ++j) {
    const double a = 2 * pi * j / haze_segments, c = std::cos(a), sn = std::sin(a);
    g.vertices.push_back(make_vertex({0, r0 * c, r0 * sn}, {1, 0, 0}, double(j) / haze_segments, v0));
    g.vertices.push_back(make_vertex({0, r1 * c, r1 * sn}, {1, 0, 0}, double(j) / haze_segments, v1));
    if (j == haze_segments) break;
    const int p = 2 * j;
    g.indices.insert(g.indices.end(), {p, p + 1, p + 2, p + 2, p + 1, p + 3});
  }
}

}  // namespace

double haze_height(const drawplanetrec& p) {
  return p.outer_radius > p.radius ? p.outer_radius / p.radius - 1 : default_haze_height;
}

namespace {

void make_haze(const vorlscene& s, const drawplanetrec& p, planet_res& r) {
  if (!p.atmosphere || r.haze.loaded) return;
  planet_guarded("Error in mkhaze", [&] {
    const std::string file = locate_file(s.texture_dir + "/" + p.name + "_Horizon.dds");
    rgba_image img;
    if (!file.empty() && decode_image(file, img) && img.width > 0 && img.height > 0) {
      r.haze_texture = texture_from_pixels(img.width, img.height, img.pixels.data(), switch_flags());
      r.haze_owned = true;
    } else {
      r.haze_texture = vorl_res.ramp;
    }
    const double h = haze_height(p);
    r.haze.groups.resize(3);
    for (size_t i = 0; i < 3; ++i) {
      const haze_strip& st = haze_strips[i];
      build_strip(r.haze.groups[i], 1 + st.inner * h, 1 + st.outer * h, st.v_inner, st.v_outer);
    }
    r.haze.group_count = 3;
    r.haze.loaded = true;
  });
}

void make_band(typmsh& m, int segments, const drawplanetrec& p) {
  m.groups.assign(1, typmshgrp{});
  add_ring_band(m.groups[0], segments, p.ring_inner, p.ring_outer);
  m.group_count = 1;
  m.loaded = true;
}

void update_rings(const vorlscene& s, drawplanetrec& p, planet_res& r, int needed, int index) {
  update_layer(s, p, layer_rings, needed, index);
  if (!r.ring_band.loaded) make_band(r.ring_band, ring_segments, p);
  if (!r.close_rings.built && length(p.rel_position) < 2 * p.radius) {
    make_band(r.close_rings.mesh, close_ring_segments, p);
    r.close_rings.built = true;
  }
}

}  // namespace

// --- Public ---------------------------------------------------------------------------------

const planet_templates_state& planet_templates() {
  static planet_templates_state st;
  if (!st.shapes[1].loaded)
    for (int level = 1; level <= max_planet_level; ++level) build_level(st, level);
  return st;
}

planet_res& planet_state(drawplanetrec& p) {
  if (!p.code_state)
    p.code_state = std::shared_ptr<planet_res>(new planet_res, [](planet_res* r) {
      release_planet_res(*r);
      delete r;
    });
  return *static_cast<planet_res*>(p.code_state.get());
}

int drawn_level(const planet_layer& l) { return l.highest > 0 ? std::min(l.built, l.highest) : l.built; }

std::vector<std::string> texture_candidates(const std::string& dir, const std::string& name, planet_layer_id layer,
                                            int default_texture) {
  const std::string suffix = layer_kinds[layer].suffix;
  const std::string fallback =
      layer == layer_rings ? "/default_ring.tex" : "/plntdefault_" + std::to_string(default_texture) + suffix + ".tex";
  return {dir + "2/" + name + suffix + ".tex", dir + "/" + name + suffix + ".tex", dir + fallback};
}

void update_planet(drawplanetrec& p, int index) {
  const vorlscene& s = vorl_scene;
  planet_res& r = planet_state(p);
  const int needed = planet_level(s, p);
  const std::string n = std::to_string(index) + ")";
  for (planet_layer_id id : {layer_surface, layer_clouds})
    planet_guarded(layer_kinds[id].failure, [&] { update_layer(s, p, id, needed, index); });
  make_haze(s, p, r);
  if (p.rings) planet_guarded(layer_kinds[layer_rings].failure + n, [&] { update_rings(s, p, r, needed, index); });
}

void release_planet_res(planet_res& r) {
  for (planet_layer& l : r.layers) {
    release_layer_textures(l);
    release_mesh_gl(l.mesh);
  }
  if (r.haze_owned) release_texture(r.haze_texture);
  r.haze_texture = 0;
  r.haze_owned = false;
  for (typmsh* m : {&r.haze, &r.ring_band, &r.close_rings.mesh}) release_mesh_gl(*m);
}
