#include "render/vorlanim.h"

#include <algorithm>
#include <cmath>

#include "design/kvvar.h"

namespace {

bool in_range(int i, size_t n) { return i >= 0 && size_t(i) < n; }

anim_comp_entry make_entry(const anim_entry& a, const anim_comp& c) {
  anim_comp_entry e;
  e.state0 = c.state0;
  e.state1 = c.state1;
  anim_transform& t = e.transform;
  t.type = c.type + 1;
  t.mesh = c.mesh;
  if (in_range(c.group_list, a.group_lists.size())) t.groups = a.group_lists[size_t(c.group_list)];
  t.group_count = int32_t(t.groups.size());
  t.ref = c.ref;
  t.axis = t.scale = t.shift = c.axis;
  t.angle = c.angle;
  return e;
}

// Column-vector matrix of the rotate-about-axis operation (which multiplies a
// row vector): column i is the turned unit vector i.
mat3 rotation_matrix(const vec3& axis, double theta) {
  mat3 r{};
  const vec3 units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int col = 0; col < 3; ++col) {
    const vec3 c = rotate_axis(units[col], axis, theta);
    r.m[0][col] = c.x, r.m[1][col] = c.y, r.m[2][col] = c.z;
  }
  return r;
}

void rotate_pose(group_pose& p, const anim_transform& t, double delta) {
  if (length(t.axis) < norm_threshold) return;  // no axis, no turn
  const mat3 r = rotation_matrix(normalise(t.axis), -(double(t.angle) * delta));
  p.linear = multiply(r, p.linear);
  p.offset = add(transform(r, sub(p.offset, t.ref)), t.ref);
  p.turn = multiply(r, p.turn);
}

void shift_pose(group_pose& p, const anim_transform& t, double delta) {
  p.offset = add(p.offset, scale(t.shift, delta));
}

void scale_pose(group_pose& p, const anim_transform& t, double new_pos, double old_pos) {
  const double f[3] = {t.scale.x, t.scale.y, t.scale.z}, ref[3] = {t.ref.x, t.ref.y, t.ref.z};
  double* offset[3] = {&p.offset.x, &p.offset.y, &p.offset.z};
  for (int i = 0; i < 3; ++i) {
    const double g = ((f[i] - 1) * new_pos + 1) / ((f[i] - 1) * old_pos + 1);
    if (!std::isfinite(g)) continue;  // out of a zero scale there is no way back; keep the group whole
    for (double& m : p.linear.m[i]) m *= g;
    *offset[i] = *offset[i] * g + (1 - g) * ref[i];
  }
}

// The pose of a group, its untouched copy taken before its first change (and
// again when the group no longer matches it, after a reload).
group_pose& pose_of(preview_anims& a, int32_t mesh, int32_t group, const typmshgrp& g) {
  auto [it, fresh] = a.poses.try_emplace({mesh, group});
  group_pose& p = it->second;
  if (fresh || p.rest.size() != g.vertices.size()) {
    p = group_pose{};
    p.rest = g.vertices;
    p.rest_centre = g.centre;
  }
  return p;
}

void apply_transform(const anim_transform& t, double new_pos, double old_pos, double delta,
                     preview_anims& a, std::span<typmsh> meshes) {
  if (!in_range(t.mesh, meshes.size())) return;
  typmsh& m = meshes[size_t(t.mesh)];
  for (int32_t gi : t.groups) {
    if (!in_range(gi, m.groups.size())) continue;
    group_pose& p = pose_of(a, t.mesh, gi, m.groups[size_t(gi)]);
    switch (t.type) {
      case transform_rotation: rotate_pose(p, t, delta); break;
      case transform_translation: shift_pose(p, t, delta); break;
      case transform_scaling: scale_pose(p, t, new_pos, old_pos); break;
      default: continue;
    }
    p.dirty = true;
  }
}

bool finite(const vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Numbers a damaged design file may hold (not a number, infinities) would
// spoil a group's transform for good: such a component is left out.
bool usable(const anim_transform& t) {
  return std::isfinite(t.angle) && finite(t.ref) && finite(t.axis) && finite(t.scale) && finite(t.shift);
}

// Moves one animation from applied position p to wanted position x: forwards
// in list order, backwards in reverse, each component over its clamped span.
void apply_animation(const anim_preview_entry& e, double p, double x, preview_anims& a, std::span<typmsh> meshes) {
  const size_t n = e.comps.size();
  for (size_t i = 0; i < n; ++i) {
    const anim_comp_entry& c = e.comps[x > p ? i : n - 1 - i];
    const double s0 = c.state0, s1 = c.state1;
    const double p1 = std::clamp(p, s0, std::max(s0, s1)), x1 = std::clamp(x, s0, std::max(s0, s1));
    const double span = s1 - s0;
    if (x1 - p1 == 0 || !std::isfinite(x1 - p1) || !(span > 0) || !usable(c.transform)) continue;
    apply_transform(c.transform, (x1 - s0) / span, (p1 - s0) / span, (x1 - p1) / span, a, meshes);
  }
}

svec3 affine(const mat3& m, const vec3& offset, const svec3& v) {
  return to_svec(add(transform(m, to_vec(v)), offset));
}

void pose_group(group_pose& p, typmshgrp& g) {
  g.buffered = false;  // the vertex buffers hold the old vertices
  for (size_t i = 0; i < p.rest.size(); ++i) {
    g.vertices[i].position = affine(p.linear, p.offset, p.rest[i].position);
    g.vertices[i].normal = affine(p.turn, {0, 0, 0}, p.rest[i].normal);
  }
  g.centre = add(transform(p.linear, p.rest_centre), p.offset);
  p.dirty = false;
}

// Every group back to its untouched copy, every animation to its initial position.
void reset_poses(preview_anims& a, std::span<typmsh> meshes) {
  for (auto& [key, p] : a.poses) {
    if (!in_range(key.first, meshes.size())) continue;
    std::vector<typmshgrp>& groups = meshes[size_t(key.first)].groups;
    if (!in_range(key.second, groups.size()) || groups[size_t(key.second)].vertices.size() != p.rest.size()) continue;
    p.linear = p.turn = identity3();
    p.offset = {0, 0, 0};
    pose_group(p, groups[size_t(key.second)]);
  }
  for (size_t k = 0; k < a.anims.size(); ++k) a.applied[k] = a.anims[k].initial_pos;
}

}  // namespace

void register_preview_animation(preview_anims& a, const vessel_design& d, int anim) {
  if (!in_range(anim, d.data.anim_seqs.size())) return;
  anim_preview_entry e;
  e.initial_pos = e.wanted_pos = d.data.anim_seqs[size_t(anim)].seq.default_pos;
  a.anims.push_back(e);
  a.applied.push_back(e.initial_pos);
}

void register_preview_component(preview_anims& a, const vessel_design& d, int anim, int comp) {
  if (!in_range(anim, a.anims.size()) || !in_range(anim, d.data.anim_seqs.size())) return;
  const anim_entry& src = d.data.anim_seqs[size_t(anim)];
  if (!in_range(comp, src.comps.size())) return;
  anim_preview_entry& e = a.anims[size_t(anim)];
  e.comps.push_back(make_entry(src, src.comps[size_t(comp)]));
  e.comp_count = int32_t(e.comps.size());
}

void move_preview_animation(preview_anims& a, int anim, double position) {
  if (in_range(anim, a.anims.size())) a.anims[size_t(anim)].wanted_pos = position;
}

void forget_mesh_poses(preview_anims& a, int mesh) {
  std::erase_if(a.poses, [mesh](const auto& kv) { return kv.first.first == mesh; });
}

void update_animations(preview_anims& a, std::span<typmsh> meshes) {
  if (a.pending_reset) {
    reset_poses(a, meshes);
    a.pending_reset = false;
  }
  for (size_t k = 0; k < a.anims.size() && k < a.applied.size(); ++k) {
    const anim_preview_entry& e = a.anims[k];
    if (e.comps.empty() || e.wanted_pos == a.applied[k]) continue;
    apply_animation(e, a.applied[k], e.wanted_pos, a, meshes);
    a.applied[k] = e.wanted_pos;
  }
  for (auto& [key, p] : a.poses)
    if (p.dirty) pose_group(p, meshes[size_t(key.first)].groups[size_t(key.second)]);
}

void refresh_preview_component(preview_anims& a, const vessel_design& d, int anim, int comp) {
  if (!in_range(anim, a.anims.size()) || !in_range(anim, d.data.anim_seqs.size())) return;
  const anim_entry& src = d.data.anim_seqs[size_t(anim)];
  anim_preview_entry& e = a.anims[size_t(anim)];
  if (!in_range(comp, e.comps.size()) || !in_range(comp, src.comps.size())) return;
  e.comps[size_t(comp)] = make_entry(src, src.comps[size_t(comp)]);
  a.pending_reset = true;  // the meshes are at hand on the next update
}
