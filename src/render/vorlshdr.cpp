// vorlshdr: built-in sources, compilation with logs, uniforms.
#include "render/vorlshdr.h"

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>

#include "gl/glgr.h"
#include "render/vorlutil.h"

vorl_programs vorl_shaders;

namespace {

// --- Built-in sources ---------------------------------------------------------------
// Small fixed-function equivalents: the vessel lit by lights 0 and 1 with its
// texture; the planet with an optional second texture and fog; rings and clouds
// fading with distance; stars as soft points.

constexpr const char* ves_vert = R"(#version 110
varying vec4 colour;
varying vec3 normal, eye;
void main() {
  normal = normalize(gl_NormalMatrix * gl_Normal);
  eye = vec3(gl_ModelViewMatrix * gl_Vertex);
  colour = gl_Color;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = ftransform();
}
)";

constexpr const char* ves_frag = R"(#version 110
uniform sampler2D tex, ltex, stex, smap;
uniform int drwm, tex0, ltex0, stex0;
uniform vec4 crgba;
varying vec4 colour;
varying vec3 normal, eye;
vec3 light(int i, vec3 n) {
  vec3 l = normalize(gl_LightSource[i].position.xyz - eye * gl_LightSource[i].position.w);
  return gl_LightSource[i].diffuse.rgb * max(dot(n, l), 0.0) + gl_LightSource[i].ambient.rgb;
}
void main() {
  vec3 n = normalize(gl_FrontFacing ? normal : -normal);
  vec4 base = drwm == 2 ? crgba : colour;
  vec4 t = tex0 != 0 ? texture2D(tex, gl_TexCoord[0].st) : vec4(1.0);
  vec3 lit = light(0, n) + light(1, n) + gl_FrontMaterial.emission.rgb;
  if (ltex0 != 0) lit += texture2D(ltex, gl_TexCoord[0].st).rgb;
  vec3 specular = stex0 != 0 ? texture2D(stex, gl_TexCoord[0].st).rgb * 0.2 : vec3(0.0);
  gl_FragColor = vec4(base.rgb * t.rgb * min(lit, 1.0) + specular, base.a * t.a);
}
)";

constexpr const char* plnt_vert = R"(#version 110
uniform float rad, alt, hfo;
varying float fog;
varying vec3 normal;
void main() {
  normal = normalize(gl_NormalMatrix * gl_Normal);
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  fog = clamp(length(eye.xyz) * hfo / max(rad + alt, 1.0), 0.0, 1.0);
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_TexCoord[1] = gl_MultiTexCoord0 * 8.0;
  gl_FrontColor = gl_Color;
  gl_Position = ftransform();
}
)";

constexpr const char* plnt_frag = R"(#version 110
uniform sampler2D tex, subtex, smap;
uniform int drwm, istx2;
uniform float rad, alt;
uniform vec4 FogColor;
uniform float FogDensity;
varying float fog;
varying vec3 normal;
void main() {
  vec4 c = texture2D(tex, gl_TexCoord[0].st) * gl_Color;
  if (istx2 != 0) c.rgb *= 0.75 + 0.5 * texture2D(subtex, gl_TexCoord[1].st).r;
  vec3 l = normalize(gl_LightSource[0].position.xyz);
  c.rgb *= max(dot(normalize(normal), l), 0.05);
  float f = (drwm == 4 || drwm == 5) ? clamp(fog + FogDensity * alt, 0.0, 1.0) : 0.0;
  gl_FragColor = vec4(mix(c.rgb, FogColor.rgb, f), c.a);
}
)";

// The ring and cloud programs share one vertex stage: eye distance for the fade.
constexpr const char* distance_vert = R"(#version 110
varying float dist;
void main() {
  dist = length(vec3(gl_ModelViewMatrix * gl_Vertex));
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_FrontColor = gl_Color;
  gl_Position = ftransform();
}
)";

constexpr const char* ring_frag = R"(#version 110
uniform sampler2D tex, tex1;
uniform float sdist, fdist;
uniform vec3 pov;
varying float dist;
void main() {
  vec4 c = texture2D(tex, gl_TexCoord[0].st) * gl_Color;
  float detail = texture2D(tex1, gl_TexCoord[0].st * 64.0).r;
  float near = clamp((dist - sdist) / max(fdist - sdist, 1.0), 0.0, 1.0);
  c.a *= mix(detail, 1.0, near) * (0.9 + 0.1 * clamp(dot(normalize(pov), vec3(0.0, 1.0, 0.0)), 0.0, 1.0));
  gl_FragColor = c;
}
)";

constexpr const char* clouds_frag = R"(#version 110
uniform sampler2D tex, tex1;
uniform int drwm;
uniform float sdist, fdist, dst;
varying float dist;
void main() {
  vec4 c = texture2D(tex, gl_TexCoord[0].st) * gl_Color;
  if (drwm != 0) c.a *= 0.5 + 0.5 * texture2D(tex1, gl_TexCoord[0].st * 16.0).r;
  c.a *= clamp((dist - sdist) / max(fdist - sdist, 1.0), 0.0, 1.0) * clamp(dst, 0.0, 1.0);
  gl_FragColor = c;
}
)";

constexpr const char* star_vert = R"(#version 110
void main() {
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_FrontColor = gl_Color;
  gl_Position = ftransform();
}
)";

constexpr const char* star_frag = R"(#version 110
uniform sampler2D tex, tex1;
uniform int drwm;
void main() {
  vec4 c = gl_Color;
  if (drwm != 0) c *= texture2D(tex, gl_TexCoord[0].st) + texture2D(tex1, gl_TexCoord[0].st) * 0.5;
  gl_FragColor = c;
}
)";

// --- Program table ------------------------------------------------------------------

struct sampler_unit {
  const char* name;
  int unit;
};

struct program_def {
  const char* name;
  const char* label;                          // in front of its log lines
  const char* vertex;
  const char* fragment;
  std::initializer_list<sampler_unit> samplers;
  std::initializer_list<const char*> uniforms;
};

const program_def programs[prog_count] = {
  {"ves", "Vessel program:", ves_vert, ves_frag, {{"tex", 0}},
   {"drwm", "tex", "ltex", "stex", "smap", "crgba", "tex0", "ltex0", "stex0"}},
  {"plnt", "Planet program:", plnt_vert, plnt_frag, {{"tex", 0}, {"subtex", 1}, {"smap", 2}},
   {"subtex", "smap", "drwm", "istx2", "rad", "alt", "hfo", "FogColor", "FogDensity"}},
  {"ring", "Ring program:", distance_vert, ring_frag, {{"tex", 0}, {"tex1", 1}}, {"tex", "tex1", "sdist", "fdist", "pov"}},
  {"clouds", "Clouds program:", distance_vert, clouds_frag, {{"tex", 0}, {"tex1", 1}},
   {"drwm", "tex", "tex1", "sdist", "fdist", "dst"}},
  {"star", "Star program:", star_vert, star_frag, {{"tex", 0}, {"tex1", 1}}, {"drwm"}},
};

std::string one_line(std::string text) {     // a compile log on one log line
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '\0')) text.pop_back();
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text.empty() ? "OK" : text;
}

GLuint compile(const program_def& prog, GLenum kind, const std::string& source) {
  GLuint s = gl_ext.glCreateShader(kind);
  const char* text = source.c_str();
  gl_ext.glShaderSource(s, 1, &text, nullptr);
  gl_ext.glCompileShader(s);
  GLint ok = 0, length = 0;
  gl_ext.glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
  gl_ext.glGetShaderiv(s, GL_INFO_LOG_LENGTH, &length);
  std::string log(size_t(std::max(length, 1)), '\0');
  gl_ext.glGetShaderInfoLog(s, GLsizei(log.size()), nullptr, log.data());
  vorl_log("VORLSHDR", std::string(prog.label) + (kind == GL_VERTEX_SHADER ? " vertex " : " fragment ") +
                           prog.name + ": " + (ok ? one_line(log) : "FAILED " + one_line(log)));
  if (ok) return s;
  gl_ext.glDeleteShader(s);
  return 0;
}

GLuint link(GLuint vertex, GLuint fragment) {
  GLuint p = gl_ext.glCreateProgram();
  gl_ext.glAttachShader(p, vertex);
  gl_ext.glAttachShader(p, fragment);
  gl_ext.glLinkProgram(p);
  gl_ext.glDeleteShader(vertex);              // flagged: they go with the program
  gl_ext.glDeleteShader(fragment);
  GLint ok = 0;
  gl_ext.glGetProgramiv(p, GL_LINK_STATUS, &ok);
  if (ok) return p;
  gl_ext.glDeleteProgram(p);
  return 0;
}

void build(vorl_program_id id) {
  const program_def& prog = programs[id];
  vorl_program& out = vorl_shaders.program[id];
  out = vorl_program{};
  out.uniform.fill(-1);
  GLuint v = compile(prog, GL_VERTEX_SHADER, shader_source(id, false));
  GLuint f = compile(prog, GL_FRAGMENT_SHADER, shader_source(id, true));
  if (!v || !f) {
    if (v) gl_ext.glDeleteShader(v);
    if (f) gl_ext.glDeleteShader(f);
    return;
  }
  out.handle = link(v, f);
  if (!out.handle) return;
  gl_ext.glUseProgram(out.handle);
  for (const sampler_unit& s : prog.samplers)
    if (GLint at = gl_ext.glGetUniformLocation(out.handle, s.name); at >= 0) gl_ext.glUniform1i(at, s.unit);
  gl_ext.glUseProgram(0);
  int i = 0;
  for (const char* u : prog.uniforms) out.uniform[i++] = gl_ext.glGetUniformLocation(out.handle, u);
}

}  // namespace

std::string_view program_name(vorl_program_id p) { return programs[p].name; }

std::string_view builtin_source(vorl_program_id p, bool fragment) {
  return fragment ? programs[p].fragment : programs[p].vertex;
}

std::string shader_source(vorl_program_id p, bool fragment) {
  std::ifstream in(std::string(programs[p].name) + (fragment ? ".frag" : ".vert"), std::ios::binary);
  if (!in) return std::string(builtin_source(p, fragment));
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

GLint uniform_of(vorl_program_id p, std::string_view uniform) {
  int i = 0;
  for (const char* u : programs[p].uniforms) {
    if (uniform == u) return vorl_shaders.program[p].uniform[i];
    ++i;
  }
  return -1;
}

void build_programs() {
  release_programs();
  if (!gl_caps.shaders) return;
  for (int p = 0; p < prog_count; ++p) build(vorl_program_id(p));
}

void release_programs() {
  for (vorl_program& p : vorl_shaders.program) {
    if (p.handle && gl_ext.glDeleteProgram) gl_ext.glDeleteProgram(p.handle);
    p = vorl_program{};
  }
}
