// vorlshdr: the engine's five GLSL programs.
//
// Each program is a vertex and a fragment source: the files NAME.vert and
// NAME.frag in the working folder when they exist, otherwise the built-in
// sources. Both are compiled, each compile log goes to the engine log under
// "VORLSHDR", the pair is linked and its samplers and uniforms are looked up.
// Without shader support in the GL every handle stays 0 and the passes draw
// fixed-function.
//
// Builds on: gl/glgr (shader entry points), render/vorlutil (log).
#pragma once
#include <GL/gl.h>
#include <array>
#include <string>
#include <string_view>

enum vorl_program_id { prog_vessel, prog_planet, prog_ring, prog_clouds, prog_star, prog_count };
constexpr int max_uniforms = 9;

struct vorl_program {
  GLuint handle = 0;                            // 0: not built, draw fixed-function
  std::array<GLint, max_uniforms> uniform{};    // locations in the order of the program's table; -1 missing
};

struct vorl_programs {              // written by build_programs and release_programs
  std::array<vorl_program, prog_count> program;
};
extern vorl_programs vorl_shaders;

std::string_view program_name(vorl_program_id p);       // "ves", "plnt", "ring", "clouds", "star"
std::string_view builtin_source(vorl_program_id p, bool fragment);
std::string shader_source(vorl_program_id p, bool fragment); // the working folder's file, else the built-in
GLint uniform_of(vorl_program_id p, std::string_view uniform); // location of a uniform the table names; -1 else
void build_programs();              // all five; logs one VORLSHDR line per compiled shader
void release_programs();
