// glgr: capability probing, state record, font, 2D primitives, textures, screenshot, view helpers.
#include "gl/glgr.h"
#include <SDL.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>
#include "base/asys.h"
#include "data/assets.h"
#include "base/sys.h"

gl_capabilities gl_caps;
gl_entry_points gl_ext;
gl_state_record gl_state;
screen_size screen;
uint64_t primitives_drawn = 0;

namespace {

constexpr int atlas_width = 8 * atlas_columns, atlas_height = 16 * (font_glyph_count / atlas_columns);

// The smallest box around a glyph's set pixels; all zero for a blank glyph.
glyph_box ink_box(int g) {
  glyph_box b{8, 16, 0, 0};
  for (int row = 0; row < font_glyph_rows; ++row)
    for (int col = 0; col < 8; ++col)
      if (font_cp437_8x16[g * font_glyph_rows + row] & (0x80 >> col))
        b = {std::min<uint8_t>(b.x0, col), std::min<uint8_t>(b.y0, row), std::max<uint8_t>(b.x1, col + 1),
             std::max<uint8_t>(b.y1, row + 1)};
  return b.x1 ? b : glyph_box{};
}

glyph_font make_font() {
  glyph_font f;
  for (int g = 0; g < font_glyph_count; ++g) {
    f.ink[g] = ink_box(g);
    int col = g % atlas_columns, row = g / atlas_columns;
    f.left[g] = float(col * 8) / atlas_width;
    f.right[g] = float(col * 8 + 8) / atlas_width;
    f.top[g] = float(row * 16) / atlas_height;
    f.bottom[g] = float(row * 16 + 16) / atlas_height;
  }
  f.advance.fill(8);
  for (int g = 0; g < font_glyph_count; ++g)
    if (std::all_of(font_cp437_8x16 + g * font_glyph_rows, font_cp437_8x16 + (g + 1) * font_glyph_rows,
                    [](uint8_t row) { return row == 0xFF; })) {
      f.white_u = (f.left[g] + f.right[g]) / 2;
      f.white_v = (f.top[g] + f.bottom[g]) / 2;
      break;
    }
  return f;
}

}  // namespace

glyph_font fonts[font_count] = {make_font()};

// --- Capabilities --------------------------------------------------------------------

bool extension_present(std::string_view name, std::string_view extensions) {
  if (name.empty() || name.find(' ') != std::string_view::npos) return false;
  for (size_t at = extensions.find(name); at != std::string_view::npos; at = extensions.find(name, at + 1)) {
    bool starts = at == 0 || extensions[at - 1] == ' ';
    size_t end = at + name.size();
    bool ends = end == extensions.size() || extensions[end] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

bool extension_present(std::string_view name) {
  const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return list && extension_present(name, list);
}

int gl_version_number(const char* text) {
  int major = 0, minor = 0;
  if (!text || std::sscanf(text, "%d.%d", &major, &minor) != 2) return 0;
  return major * 10 + minor;
}

namespace {

struct entry_point {
  const char* name;                 // the driver's name of it
  void** slot;                      // where gl_ext keeps it
};

// A capability: present when its extension is offered (none named: no
// condition), the GL version is at least min_version and every entry point loads.
struct capability {
  const char* extension;
  int min_version;
  bool gl_capabilities::*flag;
  std::initializer_list<entry_point> entries;
};

#define ENTRY(n) entry_point{#n, reinterpret_cast<void**>(&gl_ext.n)}

const capability capability_table[] = {
  {"GL_ARB_vertex_buffer_object", 0, &gl_capabilities::vertex_buffers,
   {ENTRY(glBindBufferARB), ENTRY(glDeleteBuffersARB), ENTRY(glGenBuffersARB), ENTRY(glIsBufferARB),
    ENTRY(glBufferDataARB), ENTRY(glBufferSubDataARB), ENTRY(glGetBufferSubDataARB),
    ENTRY(glMapBufferARB), ENTRY(glUnmapBufferARB), ENTRY(glGetBufferParameterivARB),
    ENTRY(glGetBufferPointervARB)}},
  {"GL_EXT_blend_minmax", 0, &gl_capabilities::blend_minmax,
   {ENTRY(glBlendEquationEXT), ENTRY(glBlendColor)}},
  {"GL_EXT_fog_coord", 0, &gl_capabilities::fog_coord, {ENTRY(glFogCoordfEXT)}},
  {nullptr, 20, &gl_capabilities::shaders,
   {ENTRY(glCreateShader), ENTRY(glShaderSource), ENTRY(glCompileShader), ENTRY(glGetShaderiv),
    ENTRY(glGetShaderInfoLog), ENTRY(glDeleteShader), ENTRY(glCreateProgram), ENTRY(glAttachShader),
    ENTRY(glLinkProgram), ENTRY(glGetProgramiv), ENTRY(glGetProgramInfoLog), ENTRY(glUseProgram),
    ENTRY(glDeleteProgram), ENTRY(glGetUniformLocation), ENTRY(glUniform1i), ENTRY(glUniform1f),
    ENTRY(glUniform3f), ENTRY(glUniform4f), ENTRY(glUniformMatrix4fv), ENTRY(glActiveTexture)}},
  {"GL_EXT_framebuffer_object", 0, &gl_capabilities::framebuffers,
   {ENTRY(glGenFramebuffersEXT), ENTRY(glDeleteFramebuffersEXT), ENTRY(glBindFramebufferEXT),
    ENTRY(glFramebufferTexture2DEXT), ENTRY(glGenRenderbuffersEXT), ENTRY(glDeleteRenderbuffersEXT),
    ENTRY(glBindRenderbufferEXT), ENTRY(glRenderbufferStorageEXT),
    ENTRY(glFramebufferRenderbufferEXT), ENTRY(glCheckFramebufferStatusEXT)}},
  {"GL_EXT_framebuffer_object", 0, &gl_capabilities::mipmap_generation, {ENTRY(glGenerateMipmapEXT)}},
  {nullptr, 12, &gl_capabilities::draw_range_elements, {ENTRY(glDrawRangeElements)}},
  {"GL_ARB_texture_compression", 0, &gl_capabilities::compressed_upload,
   {ENTRY(glCompressedTexImage2DARB)}},
  {"GL_ARB_texture_compression", 0, &gl_capabilities::compressed_read,
   {ENTRY(glGetCompressedTexImageARB)}},
};

#undef ENTRY

// Loads every entry point of c; all of them stay null unless all load.
bool load_capability(const capability& c, std::string_view extensions, int version, gl_lookup lookup) {
  if (c.extension && !extension_present(c.extension, extensions)) return false;
  if (version < c.min_version) return false;
  for (const entry_point& e : c.entries) *e.slot = lookup(e.name);
  bool all = true;
  for (const entry_point& e : c.entries) all = all && *e.slot;
  if (!all)
    for (const entry_point& e : c.entries) *e.slot = nullptr;
  return all;
}

}  // namespace

gl_capabilities capabilities_offered(std::string_view extensions, int version, gl_lookup lookup) {
  gl_capabilities caps;
  gl_ext = gl_entry_points{};
  for (const capability& c : capability_table) caps.*c.flag = load_capability(c, extensions, version, lookup);
  return caps;
}

void probe_capabilities() {
  const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  int version = gl_version_number(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
  gl_caps = capabilities_offered(list ? list : "", version, SDL_GL_GetProcAddress);
  forget_gl_state();                // the window layer set its start state directly
  set_swap_interval(0);
}

bool set_swap_interval(int frames) {
  gl_caps.swap_interval = frames;
  return SDL_GL_SetSwapInterval(frames) == 0;   // a driver without the control keeps its own pacing
}

// --- GL state record and object ownership ---------------------------------------------

namespace {

constexpr GLenum switch_caps[switch_count] = {GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE,
                                              GL_LINE_SMOOTH};

}  // namespace

void switch_gl(gl_switch which, bool on) {
  if (gl_state.enabled[which] == int8_t(on)) return;
  flush_2d();
  gl_state.enabled[which] = int8_t(on);
  if (on) glEnable(switch_caps[which]);
  else glDisable(switch_caps[which]);
}

void bind_texture(GLuint texture) {
  if (gl_state.texture == int64_t(texture)) return;
  flush_2d();
  gl_state.texture = texture;
  glBindTexture(GL_TEXTURE_2D, texture);
}

void blend_func(GLenum src, GLenum dst) {
  if (gl_state.blend_src == src && gl_state.blend_dst == dst) return;
  flush_2d();
  gl_state.blend_src = src;
  gl_state.blend_dst = dst;
  glBlendFunc(src, dst);
}

void set_material(const gl_material& m) {
  flush_2d();
  const bool known = gl_state.material_known;
  const gl_material& now = gl_state.material;
  const std::pair<GLenum, uint32_t> colours[3] = {
      {GL_DIFFUSE, m.diffuse}, {GL_EMISSION, m.emission}, {GL_SPECULAR, m.specular}};
  const uint32_t had[3] = {now.diffuse, now.emission, now.specular};
  for (int i = 0; i < 3; ++i)
    if (!known || had[i] != colours[i].second) {
      const colquad c = unpack_rgba(colours[i].second);
      glMaterialfv(GL_FRONT_AND_BACK, colours[i].first, &c.r);
    }
  if (!known || now.shininess != m.shininess) glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
  gl_state.material_known = true;
  gl_state.material = m;
}

void client_arrays(int arrays) {
  if (gl_state.arrays == arrays) return;
  flush_2d();
  static constexpr std::pair<int, GLenum> kinds[4] = {
      {array_Vertex, GL_VERTEX_ARRAY}, {array_Normal, GL_NORMAL_ARRAY}, {array_TexCoord, GL_TEXTURE_COORD_ARRAY},
      {array_Colour, GL_COLOR_ARRAY}};
  const bool known = gl_state.arrays >= 0;
  for (const auto& [bit, array] : kinds) {
    const bool on = arrays & bit;
    if (known && bool(gl_state.arrays & bit) == on) continue;
    if (on) glEnableClientState(array);
    else glDisableClientState(array);
  }
  gl_state.arrays = int8_t(arrays);
}

void bind_buffer(GLenum target, GLuint buffer) {
  int64_t& bound = target == GL_ELEMENT_ARRAY_BUFFER_ARB ? gl_state.element_buffer : gl_state.array_buffer;
  if (bound == int64_t(buffer) || !gl_ext.glBindBufferARB) return;
  flush_2d();
  bound = buffer;
  gl_ext.glBindBufferARB(target, buffer);
}

void release_buffers(std::span<const GLuint> buffers) {
  for (GLuint b : buffers) {                     // deleting a bound buffer unbinds it
    if (gl_state.array_buffer == int64_t(b)) gl_state.array_buffer = 0;
    if (gl_state.element_buffer == int64_t(b)) gl_state.element_buffer = 0;
    if (gl_state.source.buffer == b) gl_state.source_known = false;  // a new buffer may take the name
  }
  gl_ext.glDeleteBuffersARB(GLsizei(buffers.size()), buffers.data());
}

bool arrays_read(const array_source& s) {
  if (gl_state.source_known && gl_state.source == s) return true;
  flush_2d();
  gl_state.source_known = true;
  gl_state.source = s;
  return false;
}

void arrays_moved() { gl_state.source_known = false; }

void forget_gl_state() { gl_state = gl_state_record{}; }

void forget_colour() { gl_state.colour_known = false; }

void restore_3d_switches() {
  bind_texture(0);
  switch_gl(switch_texture_2d, true);
  switch_gl(switch_lighting, true);
  switch_gl(switch_depth_test, true);
}

gl_state_record push_gl_state() {
  flush_2d();
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  return gl_state;
}

void pop_gl_state(const gl_state_record& saved) {
  glPopClientAttrib();
  glPopAttrib();
  gl_state = saved;
}

void release_texture(GLuint& texture) {
  if (texture == 0) return;
  if (gl_state.texture == int64_t(texture)) gl_state.texture = 0;  // deleting unbinds it
  glDeleteTextures(1, &texture);
  texture = 0;
}

void replace_texture(GLuint& slot, GLuint fresh) {
  if (slot == fresh) return;
  release_texture(slot);
  slot = fresh;
}

void glgr_final() { release_texture(fonts[0].atlas); }

// --- Colours ------------------------------------------------------------------------

colquad unpack_rgba(uint32_t p) {
  return {float(p & 0xFF) / 255.0f, float(p >> 8 & 0xFF) / 255.0f, float(p >> 16 & 0xFF) / 255.0f,
          float(p >> 24) / 255.0f};
}

void set_colour(uint32_t p) {
  if (gl_state.colour_known && gl_state.colour == p) return;
  flush_2d();
  gl_state.colour_known = true;
  gl_state.colour = p;
  colquad c = unpack_rgba(p);
  glColor4f(c.r, c.g, c.b, c.a);
}

// --- 2D drawing frame and batch ------------------------------------------------------

batch_2d_state batch_2d;

namespace {

// Every 2D call starts here: lighting, depth testing, culling and line
// smoothing off, texturing on, alpha blending unless it is a line. Nothing
// is switched back afterwards (restore_3d_switches does that), so a page of
// consecutive 2D calls changes no state between them and its primitives
// gather in one batch; the matrices are not touched at all.
void flat_begin(bool blended = true) {
  switch_gl(switch_lighting, false);
  switch_gl(switch_depth_test, false);
  switch_gl(switch_cull_face, false);           // 2D quads run clockwise on screen
  switch_gl(switch_line_smooth, false);         // lines and outlines exactly on their pixels
  switch_gl(switch_texture_2d, fonts[0].atlas != 0);
  if (!blended) return;
  switch_gl(switch_blend, true);
  blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// Untextured primitives sample one texel of the font atlas that is opaque
// white, so that they go in the same draws as the text; none without it.
int64_t plain_texture() { return fonts[0].atlas != 0 ? int64_t(fonts[0].atlas) : -1; }

void add_run(GLenum mode, int64_t texture, std::span<const vertex_2d> vertices) {
  if (batch_2d.runs.empty() || batch_2d.runs.back().mode != mode || batch_2d.runs.back().texture != texture)
    batch_2d.runs.push_back({mode, texture, batch_2d.vertices.size(), 0});
  batch_2d.vertices.insert(batch_2d.vertices.end(), vertices.begin(), vertices.end());
  batch_2d.runs.back().count += vertices.size();
}

// The lines held back so far, now in drawing order.
void place_lines() {
  if (batch_2d.lines.empty()) return;
  add_run(GL_LINES, plain_texture(), batch_2d.lines);
  batch_2d.lines.clear();
  batch_2d.line_boxes.clear();
}

// Triangles go in order; the lines before them are held back (and so drawn
// together) unless the triangles may touch one of their pixels.
void add_triangles(int64_t texture, std::span<const vertex_2d> vertices) {
  box_2d b{vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
  for (const vertex_2d& v : vertices) b = {std::min(b.x0, v.x), std::min(b.y0, v.y), std::max(b.x1, v.x), std::max(b.y1, v.y)};
  const auto touches = [&](const box_2d& l) {   // a line lights pixels up to one beyond its ends
    return b.x0 <= l.x1 + 1 && l.x0 - 1 <= b.x1 && b.y0 <= l.y1 + 1 && l.y0 - 1 <= b.y1;
  };
  if (std::ranges::any_of(batch_2d.line_boxes, touches)) place_lines();
  add_run(GL_TRIANGLES, texture, vertices);
}

void add_line(double x1, double y1, double x2, double y2, uint32_t colour) {
  const glyph_font& f = fonts[0];
  const float ax = float(x1), ay = float(y1), bx = float(x2), by = float(y2);
  batch_2d.lines.push_back({ax, ay, f.white_u, f.white_v, colour});
  batch_2d.lines.push_back({bx, by, f.white_u, f.white_v, colour});
  batch_2d.line_boxes.push_back({std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)});
}

// Two triangles over the rectangle, texture coordinates from left/top to right/bottom.
void add_quad(int64_t texture, double x, double y, double w, double h, float l, float r, float t, float b,
              uint32_t colour) {
  const float x0 = float(x), y0 = float(y), x1 = float(x + w), y1 = float(y + h);
  const vertex_2d c[4] = {{x0, y0, l, t, colour}, {x1, y0, r, t, colour}, {x1, y1, r, b, colour},
                          {x0, y1, l, b, colour}};
  const vertex_2d two[6] = {c[0], c[1], c[2], c[0], c[2], c[3]};
  add_triangles(texture, two);
}

void add_plain_quad(double x, double y, double w, double h, uint32_t colour) {
  const glyph_font& f = fonts[0];
  add_quad(plain_texture(), x, y, w, h, f.white_u, f.white_u, f.white_v, f.white_v, colour);
}

// The loop's segments as separate lines: on the pixels a line loop lights.
void add_outline(std::span<const vec2> points, uint32_t colour) {
  for (size_t i = 0; i < points.size(); ++i) {
    const vec2& a = points[i];
    const vec2& b = points[(i + 1) % points.size()];
    add_line(a.x, a.y, b.x, b.y, colour);
  }
}

// Outside a batch every 2D call is drawn at once.
void done_2d() {
  if (!batch_2d.on) flush_2d();
}

}  // namespace

void begin_2d_batch() { batch_2d.on = true; }

void end_2d_batch() {
  flush_2d();
  batch_2d.on = false;
}

void flush_2d() {
  place_lines();
  if (batch_2d.vertices.empty()) return;
  std::vector<vertex_2d> vertices;
  std::vector<run_2d> runs;
  std::swap(vertices, batch_2d.vertices);       // the state calls below find nothing to flush
  std::swap(runs, batch_2d.runs);
  client_arrays(array_Vertex | array_TexCoord | array_Colour);
  bind_buffer(GL_ARRAY_BUFFER_ARB, 0);
  arrays_moved();
  glVertexPointer(2, GL_FLOAT, sizeof(vertex_2d), &vertices[0].x);
  glTexCoordPointer(2, GL_FLOAT, sizeof(vertex_2d), &vertices[0].u);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(vertex_2d), &vertices[0].colour);
  for (const run_2d& r : runs) {
    switch_gl(switch_texture_2d, r.texture >= 0);
    if (r.texture >= 0) bind_texture(GLuint(r.texture));
    glDrawArrays(r.mode, GLint(r.first), GLsizei(r.count));
  }
  forget_colour();                              // a colour array leaves the current colour undefined
  vertices.clear();
  runs.clear();
  std::swap(vertices, batch_2d.vertices);       // keeps the room for the next frame
  std::swap(runs, batch_2d.runs);
}

// --- Font and text ------------------------------------------------------------------------

std::vector<uint8_t> glyph_pixels(int glyph) {
  const int w = 8, h = font_glyph_rows;
  std::vector<uint8_t> px(size_t(w) * h * 4, 0);
  for (int row = 0; row < h; ++row) {
    uint8_t bits = font_cp437_8x16[(glyph & 0xFF) * h + row];
    for (int col = 0; col < w; ++col)
      if (bits & (0x80 >> col)) std::memset(&px[(size_t(row) * w + col) * 4], 255, 4);
  }
  return px;
}

std::vector<uint8_t> atlas_pixels() {
  std::vector<uint8_t> px(size_t(atlas_width) * atlas_height * 4, 0);
  for (int g = 0; g < font_glyph_count; ++g) {
    std::vector<uint8_t> glyph = glyph_pixels(g);
    int x0 = g % atlas_columns * 8, y0 = g / atlas_columns * 16;
    for (int row = 0; row < 16; ++row)
      std::memcpy(&px[(size_t(y0 + row) * atlas_width + x0) * 4], &glyph[size_t(row) * 8 * 4], 8 * 4);
  }
  return px;
}

void build_font() {
  // nearest filtering samples each screen pixel from its own cell at any
  // whole-pixel position; clamping keeps the edge cells from wrapping
  replace_texture(fonts[0].atlas, texture_from_pixels(atlas_width, atlas_height, atlas_pixels().data(), texture_None));
}

double text_width(std::string_view s, double scale, int font) {
  const glyph_font& f = fonts[font];
  double w = 0;
  for (unsigned char c : s) w += scale * f.advance[c];
  return w;
}

double centred_left(std::string_view s, double x, double scale, int font) {
  return x - text_width(s, scale, font) / 2;
}

void draw_text(std::string_view s, uint32_t colour, double x, double y, double scale, int font) {
  if (s.empty()) return;
  const glyph_font& f = fonts[font];
  flat_begin();
  double top = y - f.baseline;
  // Each glyph's quad covers only its ink: the cell's clear pixels would
  // leave the window as it is anyway, and on a software renderer every
  // covered pixel costs.
  const float du = (f.right[0] - f.left[0]) / f.glyph_width, dv = (f.bottom[0] - f.top[0]) / f.glyph_height;
  for (unsigned char c : s) {
    const glyph_box& b = f.ink[c];
    if (b.x1 > b.x0)
      add_quad(f.atlas, x + scale * b.x0, top + scale * b.y0, scale * (b.x1 - b.x0), scale * (b.y1 - b.y0),
               f.left[c] + du * b.x0, f.left[c] + du * b.x1, f.top[c] + dv * b.y0, f.top[c] + dv * b.y1, colour);
    x += scale * f.advance[c];
  }
  primitives_drawn += s.size();
  done_2d();
}

void draw_text_centred(std::string_view s, uint32_t colour, double x, double y, double scale, int font) {
  draw_text(s, colour, centred_left(s, x, scale, font), y, scale, font);
}

// --- Projections and 2D primitives ------------------------------------------------------------

void mode_2d(int width, int height) {
  flush_2d();
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, 1, -1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void perspective(int width, int height, double fov_y_degrees, double near_plane, double far_plane) {
  flush_2d();
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fov_y_degrees, double(width) / double(height > 0 ? height : 1), near_plane, far_plane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  restore_3d_switches();
}

void fill_rect(double x, double y, double w, double h, uint32_t fill, uint32_t outline) {
  flat_begin();
  add_plain_quad(x, y, w, h, fill);
  const vec2 corners[4] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
  add_outline(corners, outline);
  ++primitives_drawn;
  done_2d();
}

bool chamfer_filled(double h, double corner) { return h / 2 > corner; }

std::array<vec2, 8> chamfer_outline(double x, double y, double w, double h, double c) {
  return {{{x + c, y}, {x + w - c, y}, {x + w, y + c}, {x + w, y + h - c},
           {x + w - c, y + h}, {x + c, y + h}, {x, y + h - c}, {x, y + c}}};
}

void draw_panel(double x, double y, double w, double h, double corner, uint32_t fill, uint32_t outline) {
  std::array<vec2, 8> p = chamfer_outline(x, y, w, h, corner);
  flat_begin();
  if (chamfer_filled(h, corner)) {
    const glyph_font& f = fonts[0];
    std::vector<vertex_2d> fan;                 // around the first corner point
    for (size_t i = 1; i + 1 < p.size(); ++i)
      for (const vec2& q : {p[0], p[i], p[i + 1]})
        fan.push_back({float(q.x), float(q.y), f.white_u, f.white_v, fill});
    add_triangles(plain_texture(), fan);
  }
  add_outline(p, outline);
  ++primitives_drawn;
  done_2d();
}

void draw_textured_part(GLuint texture, uint32_t colour, double x, double y, double w, double h,
                        float left, float right, float top, float bottom, bool swap_vertical) {
  flat_begin();
  if (swap_vertical) std::swap(top, bottom);
  add_quad(texture, x, y, w, h, left, right, top, bottom, colour);
  ++primitives_drawn;
  done_2d();
}

void draw_textured(GLuint texture, bool flip, uint32_t colour, double x, double y, double w, double h) {
  draw_textured_part(texture, colour, x, y, w, h, 0, 1, 0, 1, flip);
}

void draw_line(double x1, double y1, double x2, double y2, uint32_t colour) {
  flat_begin(false);
  add_line(x1, y1, x2, y2, colour);
  done_2d();
}

// --- Textures ----------------------------------------------------------------------------------

namespace {

GLuint new_texture(int flags) {
  GLuint t = 0;
  glGenTextures(1, &t);
  bind_texture(t);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  GLint filter = (flags & texture_Linear) ? GL_LINEAR : GL_NEAREST;
  GLint wrap = (flags & texture_Repeat) ? GL_REPEAT : GL_CLAMP;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  return t;
}

}  // namespace

GLuint texture_from_pixels(int width, int height, const uint8_t* rgba, int flags) {
  GLuint t = new_texture(flags);
  GLint format = (flags & texture_Compressed) ? GL_COMPRESSED_RGBA : 4;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  bind_texture(0);
  return t;
}

GLuint target_texture(int width, int height, int flags) {
  GLuint t = new_texture(flags);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  bind_texture(0);
  return t;
}

GLuint empty_texture(int width, int height, int flags) {
  std::vector<uint8_t> zero(size_t(width) * size_t(height) * 4, 0);
  return texture_from_pixels(width, height, zero.data(), flags);
}

size_t dxt_level_bytes(int width, int height, int dxt) {
  size_t blocks = size_t(std::max(1, (width + 3) / 4)) * size_t(std::max(1, (height + 3) / 4));
  return blocks * (dxt == 1 ? 8 : 16);
}

GLuint compressed_texture(int width, int height, int dxt, std::span<const uint8_t> data, int levels, int flags) {
  static constexpr GLenum formats[6] = {0, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0,
                                        GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0,
                                        GL_COMPRESSED_RGBA_S3TC_DXT5_EXT};
  if (!gl_ext.glCompressedTexImage2DARB || dxt < 1 || dxt > 5 || !formats[dxt] || width <= 0 || height <= 0)
    return 0;
  size_t need = 0;
  for (int l = 0, w = width, h = height; l < levels; ++l, w = std::max(1, w / 2), h = std::max(1, h / 2))
    need += dxt_level_bytes(w, h, dxt);
  if (levels < 1 || need > data.size()) return 0;
  GLuint t = new_texture(flags);
  if (levels > 1) {
    GLint min_filter = (flags & texture_Linear) ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min_filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
  }
  size_t at = 0;
  for (int l = 0, w = width, h = height; l < levels; ++l, w = std::max(1, w / 2), h = std::max(1, h / 2)) {
    size_t n = dxt_level_bytes(w, h, dxt);
    gl_ext.glCompressedTexImage2DARB(GL_TEXTURE_2D, l, formats[dxt], w, h, 0, GLsizei(n), data.data() + at);
    at += n;
  }
  bind_texture(0);
  return t;
}

GLuint depth_texture(int size, bool compare) {
  if (compare && !gl_caps.shaders) return 0;
  GLuint t = 0;
  glGenTextures(1, &t);
  bind_texture(t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  if (compare) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
  bind_texture(0);
  return t;
}

// --- Screenshot ----------------------------------------------------------------------------------

std::vector<uint8_t> screenshot_bmp(int width, int height, std::span<const uint8_t> bgra) {
  uint32_t image = uint32_t(4) * uint32_t(width) * uint32_t(height);
  std::vector<uint8_t> out = bmp_headers(width, height, 32, image, 1000);
  out.resize(bmp_headers_size + image, 0);
  std::memcpy(out.data() + bmp_headers_size, bgra.data(), std::min<size_t>(image, bgra.size()));
  return out;
}

std::string take_screenshot(int width, int height) {
  flush_2d();
  std::vector<uint8_t> px(size_t(4) * size_t(width) * size_t(height));
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, px.data());
  std::vector<uint8_t> bmp = screenshot_bmp(width, height, px);
  std::string name = "screenshot-" + time_stamp() + ".bmp";
  replace_file(name, bmp.data(), bmp.size());
  return name;
}

// --- View helpers and lights ---------------------------------------------------------------------

frustum_planes frustum_from(const double p[16], const double m[16]) {
  double c[16];                                   // clip = projection × model-view, column-major
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += p[k * 4 + row] * m[col * 4 + k];
      c[col * 4 + row] = s;
    }
  auto row = [&](int r) { return vec4{c[r], c[4 + r], c[8 + r], c[12 + r]}; };
  vec4 last = row(3);
  frustum_planes f;
  for (int i = 0; i < 6; ++i) {
    vec4 r = row(i / 2);
    double s = (i % 2 == 0) ? 1 : -1;             // left, bottom, near: sum; right, top, far: difference
    vec4 q{last.x + s * r.x, last.y + s * r.y, last.z + s * r.z, last.w + s * r.w};
    double len = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (len == 0) len = 1e-10;
    f.plane[i] = {q.x / len, q.y / len, q.z / len, q.w / len};
  }
  return f;
}

frustum_planes current_frustum() {
  double p[16], m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  return frustum_from(p, m);
}

bool sphere_visible(const frustum_planes& f, double radius, const vec3& c) {
  for (const vec4& q : f.plane)
    if (q.x * c.x + q.y * c.y + q.z * c.z + q.w <= -radius) return false;
  return true;
}

namespace {

// Column-major rotation by angle (radians) about one coordinate axis (0 x, 1 y, 2 z).
void axis_rotation(int axis, double angle, double out[16]) {
  double cs = std::cos(angle), sn = std::sin(angle);
  int a = (axis + 1) % 3, b = (axis + 2) % 3;     // the plane the rotation turns
  for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1 : 0;
  out[a * 4 + a] = cs;
  out[b * 4 + b] = cs;
  out[a * 4 + b] = sn;                            // column a, row b
  out[b * 4 + a] = -sn;
}

void multiply_into(double acc[16], const double r[16]) {
  double t[16];
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += acc[k * 4 + row] * r[col * 4 + k];
      t[col * 4 + row] = s;
    }
  std::memcpy(acc, t, sizeof t);
}

}  // namespace

void euler_matrix(const vec3& angles, int direction, double out[16]) {
  const double a[3] = {angles.x, angles.y, angles.z};
  static constexpr int forward[3] = {2, 1, 0}, backward[3] = {0, 1, 2};
  const int* order = direction >= 0 ? forward : backward;
  double sign = direction >= 0 ? 1 : -1;
  for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1 : 0;
  for (int i = 0; i < 3; ++i) {
    double r[16];
    axis_rotation(order[i], sign * a[order[i]], r);
    multiply_into(out, r);
  }
}

void euler_rotate(const vec3& angles, int direction) {
  double m[16];
  euler_matrix(angles, direction, m);
  glMultMatrixd(m);
}

void rigid_inverse(const float m[16], float out[16]) {
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row) out[col * 4 + row] = m[row * 4 + col];
  for (int row = 0; row < 3; ++row)
    out[12 + row] = -(out[row] * m[12] + out[4 + row] * m[13] + out[8 + row] * m[14]);
  out[3] = out[7] = out[11] = 0;
  out[15] = 1;
}

void lights_off() {
  for (int i = 1; i <= 7; ++i) glDisable(GL_LIGHT0 + i);
}

namespace {

void light_colours(GLenum light, const colquad& ambient, const colquad& diffuse, const colquad& specular) {
  glLightfv(light, GL_AMBIENT, &ambient.r);
  glLightfv(light, GL_DIFFUSE, &diffuse.r);
  glLightfv(light, GL_SPECULAR, &specular.r);
}

void place_light(GLenum light, const vec3& p) {
  const GLfloat pos[4] = {float(p.x), float(p.y), float(p.z), 1};
  glLightfv(light, GL_POSITION, pos);
  glEnable(light);
}

void light_marker(const vec3& p, double s) {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1, 1, 0, 1);
  glBegin(GL_LINES);
  glVertex3d(p.x - s, p.y, p.z); glVertex3d(p.x + s, p.y, p.z);
  glVertex3d(p.x, p.y - s, p.z); glVertex3d(p.x, p.y + s, p.z);
  glVertex3d(p.x, p.y, p.z - s); glVertex3d(p.x, p.y, p.z + s);
  glEnd();
  glPopAttrib();
}

}  // namespace

void point_light(int index, bool marker, double marker_size, const vec3& position) {
  GLenum light = GL_LIGHT0 + index;
  light_colours(light, {0.01f, 0.01f, 0.01f, 1}, {1, 1, 1, 1}, {1, 1, 1, 1});
  place_light(light, position);
  if (marker) light_marker(position, marker_size);
}

void spot_light(int index, const vec3& position, const vec3& direction, const colquad& ambient,
                const colquad& diffuse, const colquad& specular, float exponent, float cutoff,
                float attenuation) {
  GLenum light = GL_LIGHT0 + index;
  light_colours(light, ambient, diffuse, specular);
  const GLfloat dir[3] = {float(direction.x), float(direction.y), float(direction.z)};
  glLightfv(light, GL_SPOT_DIRECTION, dir);
  glLightf(light, GL_SPOT_EXPONENT, exponent);
  glLightf(light, GL_SPOT_CUTOFF, cutoff);
  glLightf(light, GL_CONSTANT_ATTENUATION, attenuation);
  place_light(light, position);
}
