// What one frame of the designer costs, against what its picture costs.
//
// The designer is started as the user starts it (template vessel, main menu
// shown, no page open) and its frame procedure is called frame after frame.
// Beside it runs a reference drawn in the same window with the same camera:
// only the vessel meshes the template shows, their groups merged into one
// draw per texture and material, the same compressed textures, one light,
// fixed function, nothing else. An empty frame (clear and swap) shows what
// the window itself costs. Each is measured at 800 x 600 and at 1280 x 1005
// (a maximised window on a 1280 x 1024 screen), in CPU time per frame of the
// whole process (the software renderer's threads included), with the GL
// calls per frame counted (gl_count.h).
//
// A last case shows the designer with a large vessel mesh instead of the
// template's: 102 groups, 36,414 vertices and 65,280 triangles over six
// textures and nine materials, as heavy as the meshes of big add-ons (about
// 4 MB as a mesh file).
//
// Targets: the designer within 1.5 times the reference at 800 x 600 and 1.3
// times at 1280 x 1005, at most 600 GL calls a frame, the large mesh at 60
// frames a second at 800 x 600.
#include <filesystem>
#include <map>
#include <tuple>

#include "../gl/frame_ratio.h"
#include "design/kvvar.h"
#include "editor/grpgui.h"
#include "gl/glgr.h"
#include "gl/glmesh.h"
#include "gl_count.h"
#include "render/kvvorl.h"
#include "render/vorldraw.h"
#include "shell/app.h"
#include "shell/dogl.h"
#include "shell/tim.h"

namespace {

const char* const measuring[] = {"corvane", "--no-frame-cap"};  // as started for measuring

namespace fs = std::filesystem;

struct window_size {
  int width, height;
  std::string name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
constexpr window_size sizes[] = {{800, 600}, {1280, 1005}};

double clock_seconds = 0;           // the designer's frame time, 60 frames a second

// Makes the designer's window the given size, as the window system would.
void resize_to(const window_size& s) {
  if (app.win.width == s.width && app.win.height == s.height) return;
  SDL_SetWindowSize(app.win.window, s.width, s.height);
  for (int tries = 0; tries < 200 && (app.win.width != s.width || app.win.height != s.height); ++tries) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) handle_event(e);
    SDL_Delay(5);
  }
}

// Runs `draw` once per iteration and puts the GL calls per frame beside the time.
template <class F> void counted_frames(benchmark::State& state, const window_size& size, F draw) {
  resize_to(size);
  const uint64_t calls = gl_call_count;
  for (auto _ : state) draw();
  state.counters["GL calls"] = double(gl_call_count - calls) / double(state.iterations());
}

void empty_frame() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  present(app.win);
}

void designer_frame() {
  clock_seconds += 1.0 / 60;
  frame(1.0 / 60, clock_seconds);
}

// --- The reference --------------------------------------------------------------------

struct reference_draw {             // the groups of one texture and material
  GLuint texture = 0;
  packed_colour diffuse = 0, emissive = 0, specular = 0;
  float power = 0;
  std::vector<uint32_t> indices;    // into the one vertex buffer
};

struct reference_mesh {
  GLuint vertices = 0, indices = 0;
  std::vector<reference_draw> draws;
  std::vector<std::pair<size_t, GLsizei>> ranges;  // per draw: first index, count
};

reference_mesh reference;

// The template's visible vessel groups, merged by texture and material.
void build_reference(const draw_rec& vessel) {
  std::vector<pntyp> vertices;
  std::map<std::tuple<int32_t, packed_colour, packed_colour, packed_colour, float>, reference_draw> by_state;
  for (size_t m = 0; m < vessel.meshes.size(); ++m) {
    if (!(vessel.mesh_flags[m] & (visibility_external | visibility_extpass))) continue;
    for (const typmshgrp& g : vessel.meshes[m].groups) {
      reference_draw& d = by_state[{g.texture.index, g.diffuse, g.emissive, g.specular, g.specular_power}];
      d = {GLuint(std::max(0, g.texture.index)), g.diffuse, g.emissive, g.specular, g.specular_power,
           std::move(d.indices)};
      for (int32_t i : g.indices) d.indices.push_back(uint32_t(vertices.size()) + uint32_t(i));
      vertices.insert(vertices.end(), g.vertices.begin(), g.vertices.end());
    }
  }
  std::vector<uint32_t> indices;
  for (auto& [state, d] : by_state) {
    reference.ranges.emplace_back(indices.size(), GLsizei(d.indices.size()));
    indices.insert(indices.end(), d.indices.begin(), d.indices.end());
    reference.draws.push_back(std::move(d));
  }
  gl_ext.glGenBuffersARB(1, &reference.vertices);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, reference.vertices);
  gl_ext.glBufferDataARB(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(vertices.size() * sizeof(pntyp)), vertices.data(),
                         GL_STATIC_DRAW_ARB);
  gl_ext.glGenBuffersARB(1, &reference.indices);
  gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, reference.indices);
  gl_ext.glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptrARB(indices.size() * 4), indices.data(),
                         GL_STATIC_DRAW_ARB);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  std::printf("reference: %zu vertices, %zu triangles in %zu draws\n", vertices.size(), indices.size() / 3,
              reference.draws.size());
}

void material(const reference_draw& d) {
  const colquad diffuse = unpack_rgba(d.diffuse), emission = unpack_rgba(d.emissive),
                specular = unpack_rgba(d.specular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &diffuse.r);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &emission.r);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, &specular.r);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::min(d.power, 128.0f));
  glColor4fv(&diffuse.r);
}

// The vessel where the designer draws it, lit by one light, and nothing else.
void reference_frame() {
  const scene_object& vessel = *vorl_scene.objects[vessel_object];
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  perspective(app.win.width, app.win.height, 2 * vorl_scene.half_fov * 180 / pi, 0.1, 1e7);
  glScaled(1, 1, -1);
  apply_camera(vorl_scene);
  enter_object_frame(vessel);
  static constexpr GLfloat sun[4] = {1, 0.3f, -0.2f, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, sun);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, reference.vertices);
  gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, reference.indices);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glNormalPointer(GL_FLOAT, GLsizei(vertex_stride), reinterpret_cast<void*>(offsetof(pntyp, normal)));
  glVertexPointer(3, GL_FLOAT, GLsizei(vertex_stride), reinterpret_cast<void*>(offsetof(pntyp, position)));
  glTexCoordPointer(2, GL_FLOAT, GLsizei(vertex_stride), reinterpret_cast<void*>(offsetof(pntyp, u)));
  for (size_t i = 0; i < reference.draws.size(); ++i) {
    const reference_draw& d = reference.draws[i];
    glBindTexture(GL_TEXTURE_2D, d.texture);
    material(d);
    glDrawElements(GL_TRIANGLES, reference.ranges[i].second, GL_UNSIGNED_INT,
                   reinterpret_cast<void*>(reference.ranges[i].first * 4));
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  present(app.win);
  forget_gl_state();                // the designer's record no longer knows what GL has
}

// --- The large mesh ---------------------------------------------------------------------

constexpr const char* large_case = "designer 800x600, 102 groups";
constexpr int large_groups = 102, large_textures = 6, large_materials = 9;
constexpr int large_bands = 6, large_sectors = 17;    // the hull's patches, one group each
constexpr int large_rows = 16, large_columns = 20;    // each patch a grid of this many quads

// A group: one patch of an egg-shaped hull 14 m long, so that the groups
// cover the screen side by side as a hull's parts do.
typmshgrp large_group(int k) {
  typmshgrp g;
  const double band = pi / large_bands, sector = 2 * pi / large_sectors;
  const double lat0 = -pi / 2 + band * (k / large_sectors), lon0 = sector * (k % large_sectors);
  for (int r = 0; r <= large_rows; ++r)
    for (int c = 0; c <= large_columns; ++c) {
      const double lat = lat0 + band * r / large_rows, lon = lon0 + sector * c / large_columns;
      const vec3 n{std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
      g.vertices.push_back(make_vertex({3 * n.x, 2 * n.y, 7 * n.z}, n, double(c) / large_columns,
                                       double(r) / large_rows));
    }
  for (int r = 0; r < large_rows; ++r)
    for (int c = 0; c < large_columns; ++c) {
      const int a = r * (large_columns + 1) + c, b = a + large_columns + 1;
      for (int i : {a, a + 1, b, a + 1, b + 1, b}) g.indices.push_back(i);
    }
  g.texture.index = 1 + k % large_textures;
  g.diffuse = pack_rgba(uint8_t(120 + 15 * (k % large_materials)), 200, uint8_t(255 - 10 * (k % large_materials)), 255);
  g.specular = pack_rgba(255, 255, 255, 255);
  g.specular_power = float(10 * (k % 3));
  g.buffered = true;
  return g;
}

typmsh large_mesh() {
  typmsh m;
  for (int k = 0; k < large_groups; ++k) m.groups.push_back(large_group(k));
  for (int t = 0; t < large_textures; ++t) {
    m.texture_names.push_back("large" + std::to_string(t));
    std::vector<uint8_t> px(256 * 256 * 4);
    for (size_t i = 0; i < px.size(); ++i) px[i] = i % 4 == 3 ? 255 : uint8_t((i * size_t(t + 3)) ^ (i >> 10));
    const texture_pixels shared = std::make_shared<const std::vector<uint8_t>>(std::move(px));
    for (int k = t; k < large_groups; k += large_textures) {
      m.groups[size_t(k)].texture.pixels = shared;
      m.groups[size_t(k)].texture.width = m.groups[size_t(k)].texture.height = 256;
    }
  }
  m.group_count = large_groups;
  m.texture_count = large_textures;
  m.radius = 8;
  m.loaded = true;
  upload_mesh_textures(m);
  return m;
}

// The vessel's meshes and the large mesh trade places.
std::vector<typmsh> meshes_aside;

void trade_meshes() { std::swap(vorl_scene.objects[vessel_object]->draw->meshes, meshes_aside); }

void large_mesh_frames(benchmark::State& state) {
  trade_meshes();
  counted_frames(state, sizes[0], designer_frame);
  trade_meshes();
}

// What one designer frame at 800 x 600 calls, function by function.
void print_calls_of_a_frame() {
  resize_to(sizes[0]);
  designer_frame();
  std::map<std::string, uint64_t> before;
  for (const auto& [name, calls] : gl_calls_by_function()) before[name] = calls;
  designer_frame();
  std::printf("GL calls of one designer frame at 800x600:");
  for (const auto& [name, calls] : gl_calls_by_function())
    if (calls > before[name]) std::printf(" %s %llu", name.c_str(), (unsigned long long)(calls - before[name]));
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path demo = CORVANE_DEMO_ROOT, work = fs::temp_directory_path() / "corvane-bench-frame-cost";
  fs::remove_all(work);
  fs::create_directories(work);
  for (const char* folder : {"Meshes", "Textures"}) fs::create_directory_symlink(demo / folder, work / folder);
  fs::current_path(work);           // the installation's root; the logs and autosaves go here
  tim_init();
  dogl_init();
  gui_init();
  if (!start_designer(false, parse_options(2, measuring))) {
    std::fprintf(stderr, "bench_glcost: no window (%s)\n", SDL_GetError());
    return 1;
  }
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  const int swap = gl_caps.swap_interval;
  gl_caps = capabilities_offered(extensions, gl_version_number(reinterpret_cast<const char*>(glGetString(GL_VERSION))),
                                 counting_lookup);
  gl_caps.swap_interval = swap;
  const draw_rec& vessel = *vorl_scene.objects[vessel_object]->draw;
  build_reference(vessel);
  for (const window_size& s : sizes) {
    add_frame_case("empty " + s.name(), [s](benchmark::State& st) { counted_frames(st, s, empty_frame); });
    add_frame_case("reference " + s.name(), [s](benchmark::State& st) { counted_frames(st, s, reference_frame); });
    add_frame_case("designer " + s.name(), [s](benchmark::State& st) { counted_frames(st, s, designer_frame); });
  }
  meshes_aside.push_back(large_mesh());
  add_frame_case(large_case, large_mesh_frames);
  const frame_rounds r = run_frame_rounds(argc, argv);
  print_frame_rounds(r, "empty 800x600");
  print_calls_of_a_frame();
  check_ratio(r, "designer 800x600", "reference 800x600", 1.5);
  check_ratio(r, "designer 1280x1005", "reference 1280x1005", 1.3);
  for (const window_size& s : sizes) {
    const double calls = r.counters.at("designer " + s.name()).at("GL calls");
    std::printf("target: designer %s <= 600 GL calls a frame: %s (%.0f)\n", s.name().c_str(),
                calls <= 600 ? "met" : "NOT met", calls);
  }
  const double fps = 1000 / median_ms(r.costs.at(large_case), false);
  std::printf("target: %s at >= 60 frames a second: %s (%.1f)\n", large_case, fps >= 60 ? "met" : "NOT met", fps);
  for (typmsh& m : meshes_aside) release_mesh_gl(m);
  stop_designer();
  gui_final();
  glmesh_final();
  glgr_final();
  dogl_final();
  fs::current_path(demo);
  fs::remove_all(work);
  return 0;
}
