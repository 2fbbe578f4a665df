// glmesh: meshes on screen, the GL half of the mesh model.
//
// Draws one group or a whole mesh with its material, through vertex buffers
// built once per group, through client arrays straight from the vertex
// records (stride 48), or, for quads, in immediate mode; turns a read mesh's
// decoded texture pixels into GL textures, one per texture-list entry; and
// releases what a discarded mesh holds in the GL.
//
// Builds on: gl/glgr (capabilities, state record, textures), mesh/grph,
// mesh/dds (decoded or kept-compressed DDS images).
//
// Notes:
//   - the vertex buffer table grows by one entry per buffered group; an
//     entry's identity is the group's buffer slot, from a counter that starts
//     at 0 and is incremented before each new slot;
//   - a buffered group of at most 64,999 vertices gets 16-bit indices (the low
//     16 bits of each), one of 65,000 or more 32-bit indices;
//   - the buffered path is taken only with the switch on and the GL offering
//     vertex buffers, for a buffered, filled group of triangles of more than
//     10 vertices; every other group of triangles uses client arrays, quads
//     go one begin-end block each
//   - a placement that is the identity (no move, turn or scale) touches no
//     matrix, any other is one matrix product; client arrays and buffer
//     bindings go through the state record (glgr), so consecutive draws
//     switch and bind only what differs
//   - a mesh drawn as a batch keeps all its vertices in one buffer and its
//     groups' indices in another, ordered so that groups of one texture and
//     material lie side by side and go in one draw; opaque groups may change
//     places within the stretch between two groups that keep theirs (those
//     that blend: translucent material or texture, or any alpha reduction;
//     and those drawn alone: not buffered, quads or outlines, bad indices, or
//     chosen by the caller), which keeps the picture as drawn group by group;
//     the order is worked out again only when which groups keep their places
//     changes. Textures, materials and colours are set only where they change;
//     the batch belongs to the mesh's group storage, so a mesh drawn as a
//     batch is released (release_mesh_gl) before its groups are replaced
//   - release_mesh_gl deletes a mesh's buffers and textures and puts its
//     groups back to "no slot, no texture": the caller owns the mesh and
//     calls it before discarding or re-reading it; glmesh_final deletes the
//     buffers of every entry still in the table
#pragma once
#include <GL/gl.h>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/maths.h"
#include "mesh/dds.h"
#include "mesh/grph.h"

// One group's buffers; the names are GL buffer names.
struct vbo_entry {
  int32_t slot = 0;                 // the group's buffer slot
  uint32_t normals = 0, texcoords = 0, indices = 0, positions = 0;
  int32_t index_count = 0;
  int32_t texture = 0;              // the group's texture when built
  int32_t index_width = 1;          // 1: 16-bit indices, 2: 32-bit
};

// The merged buffers of one mesh and the draws that cover its groups.
struct batch_draw {
  int32_t group = 0;                // whose texture and material the draw takes
  int32_t first = 0, count = 0;     // index range; count 0: the group is drawn alone
};
struct mesh_batch {
  const typmshgrp* groups = nullptr; // the mesh's group storage, which names the batch while it lives
  uint32_t vertices = 0, indices = 0;  // GL buffer names
  std::vector<int32_t> base;        // per group: its first vertex in the vertex buffer
  std::vector<uint8_t> places;      // per group what the order was worked out for (batch_place)
  std::vector<batch_draw> draws;    // in drawing order
};
enum batch_place : uint8_t { place_free = 0, place_kept = 1, place_alone = 2 };

struct glmesh_state {               // written by the drawing and release calls; buffers_on by the engine's menu
  std::vector<vbo_entry> table;     // vertex buffer table
  int32_t last_slot = 0;            // last slot identity given out
  std::vector<mesh_batch> batches;  // one per mesh drawn as a batch
  std::vector<uint32_t> translucent_textures; // uploaded mesh textures with texels that blend
  uint64_t drawn_indices = 0;       // indices drawn so far, every path
  bool buffers_on = true;           // engine switch "VBO accel"
};
extern glmesh_state glmesh;

constexpr int32_t texture_own = -2;               // draw with the group's own texture
constexpr int32_t texture_off = -1;               // draw without texturing
constexpr int32_t index16_vertex_limit = 64999;   // most vertices a group with 16-bit indices has

struct draw_params {
  bool keep_state = false;          // draw with the current texture and material, change nothing
  bool skip_material = false;       // bind the texture but set no material
  uint8_t alpha_reduction = 0;      // subtracted from the diffuse alpha
  int32_t colour_location = -1;     // shader uniform taking the colour, -1 none
  int32_t texture = texture_own;    // texture_own, texture_off or a GL texture name
  vec3 position{0, 0, 0};
  vec3 rotation{0, 0, 0};           // degrees about x, then y, then z
  vec3 scale{1, 1, 1};
  bool scale_first = false;         // scale before rotating
};

bool buffered_path(const typmshgrp& g);           // whether draw_group would use vertex buffers
int  index_width_for(size_t vertex_count);        // 1 (16-bit) or 2 (32-bit)
const vbo_entry* find_vbo(int32_t slot);          // the table entry of a slot, or null
void draw_group(typmshgrp& g, const draw_params& p);
void draw_group_simply(typmshgrp& g, int32_t texture, bool skip_material, const vec3& scale);
void draw_mesh(typmsh& m, const vec3& position, const vec3& rotation, const vec3& scale); // nothing unless loaded
bool batches_on();                                // vertex buffers switched on and offered
// The mesh in as few draws as its textures and materials allow (see the
// notes), at its own place; `alone` names groups drawn by `draw_alone`
// instead, in their turn. Nothing unless loaded and batches_on().
void draw_mesh_batched(typmsh& m, uint8_t alpha_reduction, int32_t alone,
                       const std::function<void(typmshgrp& g, int group)>& draw_alone);
// Without GL: what each group is (batch_place) for this drawing, and the
// draws and index data (vertex numbers into the merged buffer) for that.
struct batch_plan {
  std::vector<batch_draw> draws;
  std::vector<uint32_t> indices;
};
std::vector<uint8_t> batch_places(const typmsh& m, uint8_t alpha_reduction, int32_t alone);
batch_plan plan_batch(const typmsh& m, const std::vector<uint8_t>& places, bool colour_per_vertex);
// The mesh from memory, each group's colour its vertices' own: neighbours
// that differ in nothing else share a draw, in their order (for meshes whose
// groups change often, as markers do). Nothing unless loaded.
void draw_mesh_coloured(typmsh& m, uint8_t alpha_reduction, int32_t alone,
                        const std::function<void(typmshgrp& g, int group)>& draw_alone);
GLuint dds_texture(const dds_image& img, int flags); // kept-compressed DXT1/3/5 as it is, decoded as RGBA; 0 else
void upload_mesh_textures(typmsh& m);             // one texture per list entry, shared by groups; pixels released
void release_mesh_gl(typmsh& m);                  // its buffers and textures deleted, groups without slot or texture
void glmesh_final();                              // every table entry's buffers deleted; needs the context
