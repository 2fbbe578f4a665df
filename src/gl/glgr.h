// glgr: the small OpenGL operations everything that draws is made of.
//
// Capability probing (once, after the context exists), the bitmap text font,
// the 2D window projection and the perspective projection, text, rectangles,
// chamfered panels, textured quads and lines in window pixels, textures made
// from pixels or compressed data, the screenshot, and the view helpers of the
// preview (frustum planes, Euler rotations, a rigid inverse, lights).
//
// Builds on: base/maths (vectors), base/asys (time stamp), base/sys (whole-file replacement),
// images/bmp_format (the screenshot's headers),
// data/assets (the font's glyph bitmaps), SDL (entry-point lookup, swap interval).
//
// Index:
//   - capabilities and entry points
//   - GL state record and object ownership
//   - colours, screen size, primitive counter
//   - font and text
//   - projections and 2D primitives
//   - textures
//   - screenshot
//   - view helpers and lights
//
// Notes:
//   - colours are packed 32-bit values, red in the lowest byte, then green,
//     blue, alpha; drawing divides each byte by 255
//   - the 2D calls switch lighting, depth testing, face culling and line
//     smoothing off and leave them off, and texturing on: fills and lines
//     sample an all-white texel of the font atlas, so that text, fills and
//     lines go in the same draws and a page changes no state between its
//     calls; perspective()
//     (or restore_3d_switches) switches lighting, depth testing and texturing on
//     again and unbinds texture unit 0. Callers drawing 2D over 3D set 2D mode
//     first and their own 3D state afterwards
//   - switches, the bound texture, the blend function, the colour, the
//     material, the client arrays and the bound vertex buffers go through the
//     state record, which skips changes GL already has; code that changes
//     them behind it calls forget_gl_state. So does what the array pointers
//     read: a mesh drawn again from the same buffers sets no pointers. Whoever draws from client memory
//     binds buffer 0 first (bind_buffer), as a draw may leave its buffers bound
//   - every GL object made here belongs to whoever keeps its name: the font
//     atlas to this unit (released by glgr_final), every other texture to its
//     caller, who releases it with release_texture or replace_texture
//   - coordinates of the 2D calls are window pixels, x right, y down; the
//     arguments run x, y, width, height
//   - extension names are matched as whole words, never as substrings
#pragma once
#include <GL/gl.h>
#include <GL/glext.h>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include "base/maths.h"
#include "images/bmp_format.h"

// --- Capabilities and entry points ----------------------------------------------
// Filled once by probe_capabilities; a missing extension only clears its flag.
struct gl_capabilities {
  bool vertex_buffers = false;      // GL_ARB_vertex_buffer_object and all its entry points
  bool blend_minmax = false;        // GL_EXT_blend_minmax, glBlendEquationEXT, glBlendColor
  bool fog_coord = false;           // GL_EXT_fog_coord and glFogCoordfEXT
  bool shaders = false;             // the OpenGL 2.0 shader entry points
  bool framebuffers = false;        // GL_EXT_framebuffer_object and its entry points
  bool mipmap_generation = false;   // glGenerateMipmapEXT
  bool draw_range_elements = false; // glDrawRangeElements
  bool compressed_upload = false;   // glCompressedTexImage2DARB
  bool compressed_read = false;     // glGetCompressedTexImageARB
  int swap_interval = 0;            // frames between buffer swaps; 0: no vertical sync
};

// Entry points reached through the driver; null until probed, and left null
// when their capability is missing.
struct gl_entry_points {
  PFNGLBINDBUFFERARBPROC glBindBufferARB = nullptr;                 // vertex buffers
  PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB = nullptr;
  PFNGLGENBUFFERSARBPROC glGenBuffersARB = nullptr;
  PFNGLISBUFFERARBPROC glIsBufferARB = nullptr;
  PFNGLBUFFERDATAARBPROC glBufferDataARB = nullptr;
  PFNGLBUFFERSUBDATAARBPROC glBufferSubDataARB = nullptr;
  PFNGLGETBUFFERSUBDATAARBPROC glGetBufferSubDataARB = nullptr;
  PFNGLMAPBUFFERARBPROC glMapBufferARB = nullptr;
  PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB = nullptr;
  PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB = nullptr;
  PFNGLGETBUFFERPOINTERVARBPROC glGetBufferPointervARB = nullptr;
  PFNGLBLENDEQUATIONEXTPROC glBlendEquationEXT = nullptr;           // blend min/max
  PFNGLBLENDCOLORPROC glBlendColor = nullptr;
  PFNGLFOGCOORDFEXTPROC glFogCoordfEXT = nullptr;                   // fog coordinates
  PFNGLCREATESHADERPROC glCreateShader = nullptr;                   // shader programs
  PFNGLSHADERSOURCEPROC glShaderSource = nullptr;
  PFNGLCOMPILESHADERPROC glCompileShader = nullptr;
  PFNGLGETSHADERIVPROC glGetShaderiv = nullptr;
  PFNGLGETSHADERINFOLOGPROC glGetShaderInfoLog = nullptr;
  PFNGLDELETESHADERPROC glDeleteShader = nullptr;
  PFNGLCREATEPROGRAMPROC glCreateProgram = nullptr;
  PFNGLATTACHSHADERPROC glAttachShader = nullptr;
  PFNGLLINKPROGRAMPROC glLinkProgram = nullptr;
  PFNGLGETPROGRAMIVPROC glGetProgramiv = nullptr;
  PFNGLGETPROGRAMINFOLOGPROC glGetProgramInfoLog = nullptr;
  PFNGLUSEPROGRAMPROC glUseProgram = nullptr;
  PFNGLDELETEPROGRAMPROC glDeleteProgram = nullptr;
  PFNGLGETUNIFORMLOCATIONPROC glGetUniformLocation = nullptr;
  PFNGLUNIFORM1IPROC glUniform1i = nullptr;
  PFNGLUNIFORM1FPROC glUniform1f = nullptr;
  PFNGLUNIFORM3FPROC glUniform3f = nullptr;
  PFNGLUNIFORM4FPROC glUniform4f = nullptr;
  PFNGLUNIFORMMATRIX4FVPROC glUniformMatrix4fv = nullptr;
  PFNGLACTIVETEXTUREPROC glActiveTexture = nullptr;
  PFNGLGENFRAMEBUFFERSEXTPROC glGenFramebuffersEXT = nullptr;       // frame buffers
  PFNGLDELETEFRAMEBUFFERSEXTPROC glDeleteFramebuffersEXT = nullptr;
  PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DEXTPROC glFramebufferTexture2DEXT = nullptr;
  PFNGLGENRENDERBUFFERSEXTPROC glGenRenderbuffersEXT = nullptr;
  PFNGLDELETERENDERBUFFERSEXTPROC glDeleteRenderbuffersEXT = nullptr;
  PFNGLBINDRENDERBUFFEREXTPROC glBindRenderbufferEXT = nullptr;
  PFNGLRENDERBUFFERSTORAGEEXTPROC glRenderbufferStorageEXT = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC glFramebufferRenderbufferEXT = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC glCheckFramebufferStatusEXT = nullptr;
  PFNGLGENERATEMIPMAPEXTPROC glGenerateMipmapEXT = nullptr;         // mip-map generation
  PFNGLDRAWRANGEELEMENTSPROC glDrawRangeElements = nullptr;         // optional ones
  PFNGLCOMPRESSEDTEXIMAGE2DARBPROC glCompressedTexImage2DARB = nullptr;
  PFNGLGETCOMPRESSEDTEXIMAGEARBPROC glGetCompressedTexImageARB = nullptr;
};

extern gl_capabilities gl_caps;     // written only by probe_capabilities and set_swap_interval
extern gl_entry_points gl_ext;      // written only by probe_capabilities

// True when name occurs in extensions as a whole blank-separated word; an
// empty name or one containing a blank is never present.
bool extension_present(std::string_view name, std::string_view extensions);
bool extension_present(std::string_view name);          // against the current driver's list
int  gl_version_number(const char* version_text);       // "2.1 Mesa ..." gives 21; 0 when unreadable
using gl_lookup = void* (*)(const char* name);          // the driver's entry point of a name, or null
// The capabilities an extension list and version offer when `lookup` finds
// their entry points; fills gl_ext with them.
gl_capabilities capabilities_offered(std::string_view extensions, int version, gl_lookup lookup);
void probe_capabilities();                              // fills gl_caps and gl_ext; needs the current context
bool set_swap_interval(int frames);                     // 0 switches vertical synchronisation off; false: the driver refused

// --- GL state record and object ownership ------------------------------------------
// The client arrays a draw reads.
enum client_array { array_None = 0, array_Vertex = 1 << 0, array_Normal = 1 << 1, array_TexCoord = 1 << 2,
                    array_Colour = 1 << 3 };

// The few switches the 2D layer and the preview turn most often.
enum gl_switch { switch_texture_2d, switch_lighting, switch_depth_test, switch_blend, switch_cull_face,
                 switch_line_smooth, switch_count };

// What the vertex, normal and texture-coordinate pointers were last set to read.
struct array_source {
  GLuint buffer = 0;                // the array buffer bound when they were set; 0: client memory
  const void* memory = nullptr;     // the client memory they read; null with a buffer
  GLsizei stride = 0;               // bytes between vertices; 0: tightly packed arrays of their own
  bool operator==(const array_source&) const = default;
};

// The front-and-back material a mesh group sets; colours packed.
struct gl_material {
  uint32_t diffuse = 0, emission = 0, specular = 0;
  float shininess = 0;
};

// What GL has now, as far as the calls below know; -1 (or `known` false): not known.
struct gl_state_record {
  std::array<int8_t, switch_count> enabled{-1, -1, -1, -1, -1, -1}; // 1 on, 0 off
  int64_t texture = -1;             // bound to unit 0's 2D target
  GLenum blend_src = 0, blend_dst = 0; // 0: not known
  bool colour_known = false;
  uint32_t colour = 0;              // packed, the current colour
  bool material_known = false;
  gl_material material;
  int8_t arrays = -1;               // client_array bits switched on
  int64_t array_buffer = -1, element_buffer = -1;  // bound buffer names
  bool source_known = false;
  array_source source;              // what the pointers read, when known
};
extern gl_state_record gl_state;    // written only by the state calls below and forget_gl_state

void switch_gl(gl_switch which, bool on);               // glEnable / glDisable unless already so
void bind_texture(GLuint texture);                      // unit 0, 2D target
void blend_func(GLenum src, GLenum dst);
void set_material(const gl_material& m);                // each part that differs from what GL has
void client_arrays(int arrays);                         // exactly these client_array bits on
void bind_buffer(GLenum target, GLuint buffer);         // array or element buffer; 0 before drawing from memory
void release_buffers(std::span<const GLuint> buffers);  // deleted, and unbound in the record where bound
bool arrays_read(const array_source& s);                // true: the pointers already read s; false: the caller points them there now
void arrays_moved();                                    // after pointers were set outside arrays_read
void forget_gl_state();                                 // after GL state was changed behind the record
void forget_colour();                                   // after a colour array left the current colour undefined
void restore_3d_switches();                             // lighting, depth testing, texturing on; texture 0
// Every GL attribute and the client arrays saved with the record, for a pass
// that sets GL up its own way; the pop puts GL and the record back as they were.
gl_state_record push_gl_state();
void pop_gl_state(const gl_state_record& saved);
void release_texture(GLuint& texture);                  // deletes it unless 0 and clears the name
void replace_texture(GLuint& slot, GLuint fresh);       // the old texture of slot deleted first
void glgr_final();                                      // releases the font atlas; needs the context

// --- Colours, screen size, primitive counter ---------------------------------------
constexpr uint32_t pack_rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | uint32_t(a) << 24;
}
colquad unpack_rgba(uint32_t packed);                   // each byte / 255
void    set_colour(uint32_t packed);                    // the current GL colour

// The program-wide screen size: the window's client area, published by every resize.
struct screen_size {
  int width = 800;                  // pixels
  int height = 600;                 // pixels
};
extern screen_size screen;

extern uint64_t primitives_drawn;   // textured quads, rectangles and glyphs drawn so far

// --- Font and text ------------------------------------------------------------------
struct glyph_box {                  // a glyph's set pixels within its cell, pixels from its top left
  uint8_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;      // x1 == x0: nothing set
};
struct glyph_font {
  int glyph_width = 8;                          // pixels
  int glyph_height = 16;                        // pixels
  int baseline = 0;                             // drawn at y - baseline
  GLuint atlas = 0;                             // all 256 glyphs, 16 by 16 cells; 0 until built
  std::array<float, 256> left{};                // texture coordinates of each glyph's cell
  std::array<float, 256> right{};
  std::array<float, 256> top{};
  std::array<float, 256> bottom{};
  std::array<float, 256> advance{};             // pixels the pen moves, 8
  std::array<glyph_box, 256> ink{};             // what of each cell a glyph quad covers
  float white_u = 0, white_v = 0;               // the centre of an all-white cell: untextured 2D primitives sample it
};
constexpr int atlas_columns = 16;               // glyphs per atlas row; 16 rows
constexpr int font_count = 1;
extern glyph_font fonts[font_count];            // metrics are set before the textures exist

std::vector<uint8_t> glyph_pixels(int glyph);   // 8 x 16 RGBA: set bits opaque white, clear ones transparent
std::vector<uint8_t> atlas_pixels();            // 128 x 256 RGBA: glyph g in column g % 16, row g / 16
void   build_font();                            // the atlas texture (again: the old one released); needs the context
double text_width(std::string_view s, double scale = 1, int font = 0);           // sum of scale × advance
double centred_left(std::string_view s, double x, double scale = 1, int font = 0); // x - width / 2
void   draw_text(std::string_view s, uint32_t colour, double x, double y, double scale = 1, int font = 0);
void   draw_text_centred(std::string_view s, uint32_t colour, double x, double y, double scale = 1, int font = 0);

// --- Projections and 2D primitives --------------------------------------------------
// The 2D calls put their vertices in one array; outside a batch each call
// draws them at once, inside one (begin_2d_batch) they are drawn at its end
// or just before GL state changes through the calls of this unit, in runs
// of one primitive kind and texture each. Lines wait until a later
// triangle's box comes within a pixel of theirs (or the end): what does not
// touch the same pixels may be drawn in either order, so the outlines of a
// page go in one draw instead of one between every two fills.
struct vertex_2d {
  float x, y, u, v;
  uint32_t colour;                  // packed, as the colour array reads it
};
struct run_2d {
  GLenum mode;                      // GL_TRIANGLES or GL_LINES
  int64_t texture;                  // -1: texturing off
  size_t first, count;              // vertices
};
struct box_2d {
  float x0, y0, x1, y1;             // smallest and largest corner
};
struct batch_2d_state {             // written by the 2D calls and flush_2d
  bool on = false;                  // inside begin_2d_batch .. end_2d_batch
  std::vector<vertex_2d> vertices;  // not drawn yet
  std::vector<run_2d> runs;
  std::vector<vertex_2d> lines;     // held back until a triangle may touch them, two per line
  std::vector<box_2d> line_boxes;   // one per line
};
extern batch_2d_state batch_2d;
void begin_2d_batch();                                  // the 2D calls from now on drawn together
void end_2d_batch();                                    // what is gathered drawn; calls draw at once again
void flush_2d();                                        // what is gathered drawn now

void mode_2d(int width, int height);                    // one unit one pixel, y down, model-view identity
void perspective(int width, int height, double fov_y_degrees, double near_plane, double far_plane); // and restore_3d_switches
void fill_rect(double x, double y, double w, double h, uint32_t fill, uint32_t outline); // quad, then outline
bool chamfer_filled(double h, double corner);           // the octagon is filled only when h / 2 > corner
std::array<vec2, 8> chamfer_outline(double x, double y, double w, double h, double corner); // clockwise from the top edge
void draw_panel(double x, double y, double w, double h, double corner, uint32_t fill, uint32_t outline);
void draw_textured(GLuint texture, bool flip, uint32_t colour, double x, double y, double w, double h);
void draw_textured_part(GLuint texture, uint32_t colour, double x, double y, double w, double h,
                        float left, float right, float top, float bottom, bool swap_vertical);
void draw_line(double x1, double y1, double x2, double y2, uint32_t colour); // texturing, lighting, depth off

// --- Textures -------------------------------------------------------------------------
enum texture_flags {
  texture_None = 0,
  texture_Repeat = 1 << 0,          // repeat wrapping, else clamp
  texture_Linear = 1 << 1,          // linear filtering, else nearest
  texture_Compressed = 1 << 2,      // stored compressed by the driver
};
GLuint texture_from_pixels(int width, int height, const uint8_t* rgba, int flags); // modulate environment
GLuint empty_texture(int width, int height, int flags);  // the same from zeroed pixels
GLuint target_texture(int width, int height, int flags); // plain RGBA storage to draw into, no pixels copied
size_t dxt_level_bytes(int width, int height, int dxt);  // one mip level of DXT1, DXT3 or DXT5
// Uploads `levels` mip levels of DXT1/3/5 data held back to back; 0 when the
// entry point is missing or the data is shorter than the levels need.
GLuint compressed_texture(int width, int height, int dxt, std::span<const uint8_t> data, int levels, int flags);
// size x size, 24-bit depth, linear filtering, no data; with compare the
// depth-compare mode too, which needs the shader entry points (0 without them).
GLuint depth_texture(int size, bool compare);

// --- Screenshot -------------------------------------------------------------------------
std::vector<uint8_t> screenshot_bmp(int width, int height, std::span<const uint8_t> bgra); // headers + rows as given
std::string take_screenshot(int width, int height);    // back buffer to "screenshot-<stamp>.bmp"; returns the name

// --- View helpers and lights --------------------------------------------------------------
struct frustum_planes {
  vec4 plane[6];                    // left, right, bottom, top, near, far: (a, b, c, d), unit normals
};
// Planes of projection × model-view, both column-major as GL keeps them.
frustum_planes frustum_from(const double projection[16], const double modelview[16]);
frustum_planes current_frustum();                       // from the current GL matrices
bool sphere_visible(const frustum_planes& f, double radius, const vec3& centre); // false once a plane has it behind by >= radius
void euler_matrix(const vec3& angles, int direction, double out[16]); // what euler_rotate multiplies by
void euler_rotate(const vec3& angles, int direction);  // 1: about z, y, x; -1: the inverse, x, y, z negated
void rigid_inverse(const float m[16], float out[16]);  // column-major rotation + translation
void lights_off();                                      // lights 1 to 7 disabled
void point_light(int index, bool marker, double marker_size, const vec3& position);
void spot_light(int index, const vec3& position, const vec3& direction, const colquad& ambient,
                const colquad& diffuse, const colquad& specular, float exponent, float cutoff,
                float attenuation);
