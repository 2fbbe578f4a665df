// vorlanim: the preview's animation of mesh groups.
//
// When an animation's position changes (playback, a load), the groups its
// components name are turned, shifted or scaled in the preview's copy of the
// meshes. The preview keeps, per scene object, the animations with copies of
// their components and the position each was last applied at; once a frame
// it applies the difference between the wanted and the applied position,
// component by component with the clamping and visiting order below.
//
// Builds on: design/kvvar (the animations and components it copies),
// mesh/grph (groups), base/maths (rotation about an axis).
//
// Notes:
//   - a group is never changed from its own changed vertices: the first time a
//     component moves it, its vertices are kept untouched, and every later
//     frame computes the vertices afresh from that copy and one affine
//     transform (double precision) that the components compose into; the
//     result is that of changing the vertices in place, without the rounding
//     drift that would build up over many cycles;
//   - a changed group loses its buffered flag, so it is drawn from its
//     changed vertices rather than from stale vertex buffers;
//   - a rotation axis is used as a unit vector (a zero axis turns nothing), so
//     a slightly long axis from a file cannot grow the mesh turn by turn;
//   - a component holding numbers that are not finite does nothing;
//   - editing a component in place puts every animated group back to its
//     untouched copy and every animation back to its initial position; the
//     next update shows the wanted positions with the edited timeline;
//   - update_animations throws nothing of its own; the scene reports anything
//     it catches from it as "Error in vorlreupdatevals" (source "VORL").
#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "base/asys.h"
#include "base/maths.h"
#include "mesh/grph.h"

struct vessel_design;

enum anim_transform_type : int32_t { transform_rotation = 1, transform_translation = 2, transform_scaling = 3 };

// What one component does to which groups.
struct anim_transform {
  int32_t type = 0;                   // anim_transform_type: the design's component type + 1
  int32_t mesh = -1;                  // mesh index of the object; -1 would mean free points
  int32_t group_count = 0;            // == groups.size()
  aointeger groups;                   // mesh group indices (a copy of the component's list)
  vec3 ref{0, 0, 0};                  // reference point of rotation and scaling
  vec3 axis{0, 0, 0};                 // rotation axis
  vec3 scale{0, 0, 0};                // scale factors per axis
  vec3 shift{0, 0, 0};                // shift over the component's whole span
  float angle = 0;                    // rotation over the whole span, radians
};

struct anim_comp_entry {
  double state0 = 0;                  // position where the component starts
  double state1 = 0;                  // position where it ends
  anim_transform transform;           // what it does
  int32_t child_count = 0;            // == children.size(); always 0 in this program
  std::vector<anim_comp_entry> children; // would move with this component
};

struct anim_preview_entry {
  double initial_pos = 0;             // the design's default_pos when registered
  double wanted_pos = 0;              // written by playback (anim_moved)
  int32_t comp_count = 0;             // == comps.size()
  std::vector<anim_comp_entry> comps; // in the design's list order
};

// An animated group: its vertices as loaded and the transform that takes them
// to where the animations have put them.
struct group_pose {
  aopntyp rest;                       // untouched vertices
  vec3 rest_centre{0, 0, 0};          // untouched centre
  mat3 linear = identity3();          // positions: linear · rest + offset
  vec3 offset{0, 0, 0};
  mat3 turn = identity3();            // normals: the rotations alone
  bool dirty = false;                 // changed this frame, vertices still to compute
};

// The animations of one scene object (the vessel's draw record holds it).
// The scene's preview calls and update_animations write it, on the window's thread.
struct preview_anims {
  std::vector<anim_preview_entry> anims; // one per design animation, in design order
  adouble applied;                    // position each animation was last applied at
  std::map<std::pair<int32_t, int32_t>, group_pose> poses; // by (mesh, group)
  bool pending_reset = false;         // a component was edited: poses go back before the next update
};

void register_preview_animation(preview_anims& a, const vessel_design& d, int anim);      // appends at its default_pos
void register_preview_component(preview_anims& a, const vessel_design& d, int anim, int comp); // appends a copy
void refresh_preview_component(preview_anims& a, const vessel_design& d, int anim, int comp);  // copy again, poses reset
void move_preview_animation(preview_anims& a, int anim, double position);  // the wanted position
void forget_mesh_poses(preview_anims& a, int mesh);  // the mesh at this index was (re)loaded
void update_animations(preview_anims& a, std::span<typmsh> meshes);        // once a frame: apply what moved
