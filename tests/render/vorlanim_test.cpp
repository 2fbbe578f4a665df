// The preview's animation of mesh groups, driven through the design's hooks:
// rotation, translation and scaling over clamped spans, the visiting order,
// edits in place, and no drift over many cycles of the template's gear.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "design/kvvar.h"
#include "design/meshstore.h"
#include "render/vorlanim.h"

namespace {

// A design whose animations move groups of a hand-made mesh.
// The preview's animations the design operations move, through the same calls as the scene's.
preview_anims* moved_anims = nullptr;

void animate(preview_anims* a) {
  moved_anims = a;
  preview.anim_registered = [](const vessel_design& d, int anim) { register_preview_animation(*moved_anims, d, anim); };
  preview.comp_registered = [](const vessel_design& d, int anim, int comp) { register_preview_component(*moved_anims, d, anim, comp); };
  preview.comp_updated = [](const vessel_design& d, int anim, int comp) { refresh_preview_component(*moved_anims, d, anim, comp); };
  preview.anim_moved = [](int anim, double position) { move_preview_animation(*moved_anims, anim, position); };
  preview.design_reset = [] { *moved_anims = preview_anims{}; };
}

struct rig {
  std::shared_ptr<preview_anims> anims = std::make_shared<preview_anims>();
  vessel_design d;
  std::vector<typmsh> meshes;
  int anim = -1;

  rig() {
    animate(anims.get());
    typmsh m;
    m.groups.resize(2);
    for (typmshgrp& g : m.groups) {
      g.vertices = {make_vertex({1, 0, 0}, {1, 0, 0}, 0, 0), make_vertex({3, 1, -1}, {0, 1, 0}, 0, 0)};
      g.centre = {2, 0.5, -0.5};
      g.buffered = true;
    }
    m.group_count = 2;
    meshes.push_back(m);
    anim = add_animation(d, 30, 1, 0);
    add_group_list(d, anim, {0});
  }
  void add(int type, const vec3& ref, const vec3& axis, double angle, double s0, double s1) {
    animate(anims.get());
    add_component(d, anim, make_component(0, type, 0, ref, axis, angle, s0, s1));
  }
  ~rig() { preview = {}; }
  void move(double x) {
    animate(anims.get());
    set_animation_position(d, anim, x);
    update_animations(*anims, meshes);
  }
  vec3 at(int vertex, int group = 0) const { return to_vec(meshes[0].groups[size_t(group)].vertices[size_t(vertex)].position); }
  vec3 normal(int vertex) const { return to_vec(meshes[0].groups[0].vertices[size_t(vertex)].normal); }
};

void expect_at(const vec3& v, double x, double y, double z, double tol = 1e-6) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

}  // namespace

TEST(VorlAnim, RotationTurnsByItsShareOfTheAngleAndReturnsExactly) {
  rig r;
  r.add(comp_rotation, {0, 0, 0}, {0, 0, 1}, pi / 2, 0, 1);
  r.move(0.5);  // a quarter of a half turn
  expect_at(r.at(0), std::sqrt(0.5), std::sqrt(0.5), 0);
  expect_at(r.normal(0), std::sqrt(0.5), std::sqrt(0.5), 0);
  expect_at(r.at(1), std::sqrt(0.5) * 2, std::sqrt(0.5) * 4, -1);
  EXPECT_FALSE(r.meshes[0].groups[0].buffered);
  EXPECT_TRUE(r.meshes[0].groups[1].buffered);  // not in the list: untouched
  EXPECT_NEAR(r.meshes[0].groups[0].centre.y, std::sqrt(0.5) * 2.5, 1e-6);  // the angle is stored as a single
  r.move(0);
  EXPECT_EQ(r.at(0).x, 1);
  EXPECT_EQ(r.at(0).y, 0);
  EXPECT_EQ(r.at(1).y, 1);
  EXPECT_EQ(r.normal(1).y, 1);
  EXPECT_EQ(r.anims->applied[0], 0);
}

TEST(VorlAnim, ScalingDoublesAndHalvesDistancesFromTheReference) {
  rig r;
  r.add(comp_scale, {1, 1, 1}, {2, 2, 2}, 0, 0, 1);
  r.move(0.5);
  r.move(1);  // two steps make the same factor as one
  expect_at(r.at(1), 5, 1, -3);
  expect_at(r.at(0), 1, -1, -1);
  expect_at(r.normal(1), 0, 1, 0);
  r.move(0);
  expect_at(r.at(1), 3, 1, -1, 1e-12);
}

TEST(VorlAnim, ComponentsActOnlyInsideTheirSpanAndUnwindInReverseOrder) {
  rig r;
  r.add(comp_translate, {0, 0, 0}, {0, 0, 1}, 0, 0.4, 0.6);
  for (double x : {0.2, 0.4, 0.0}) r.move(x);
  EXPECT_TRUE(r.meshes[0].groups[0].buffered);  // nothing has changed yet
  expect_at(r.at(0), 1, 0, 0);
  r.move(0.5);
  expect_at(r.at(0), 1, 0, 0.5);
  for (double x : {0.8, 1.0}) r.move(x);
  expect_at(r.at(0), 1, 0, 1);
  r.move(0.7);
  expect_at(r.at(0), 1, 0, 1);
  // Components with numbers that are not finite leave the groups alone.
  r.add(comp_rotation, {0, 0, 0}, {0, 1, 0}, std::numeric_limits<double>::infinity(), 0, 1);
  r.add(comp_translate, {0, 0, 0}, {0, 0, 1}, 0, std::nan(""), 1);
  r.move(0.2);
  expect_at(r.at(0), 1, 0, 0);  // only the first shift is undone
  // An animation without components is never applied.
  const int idle = add_animation(r.d, 31, 1, 0.25);
  set_animation_position(r.d, idle, 0.9);
  update_animations(*r.anims, r.meshes);
  EXPECT_EQ(r.anims->applied[size_t(idle)], 0.25);

  // Forwards the list order (shift, then turn), backwards the reverse.
  rig o;
  o.add(comp_translate, {0, 0, 0}, {0, 0, 1}, 0, 0, 1);
  o.add(comp_rotation, {0, 0, 0}, {0, 1, 0}, pi / 2, 0, 1);
  o.move(1);
  expect_at(o.at(0), 1, 0, -1);
  o.move(0);
  expect_at(o.at(0), 1, 0, 0);
}

TEST(VorlAnim, EditingAComponentReplaysFromTheUntouchedGroupsAndResetForgetsAll) {
  rig r;
  r.add(comp_translate, {0, 0, 0}, {0, 2, 0}, 0, 0, 1);
  r.move(0.5);
  expect_at(r.at(0), 1, 1, 0);
  set_component_range(r.d, r.anim, 0, 0.5, 1);  // the same position is now the span's start
  update_animations(*r.anims, r.meshes);
  expect_at(r.at(0), 1, 0, 0);
  r.move(1);
  expect_at(r.at(0), 1, 2, 0);
  reset_design(r.d);
  EXPECT_TRUE(r.anims->anims.empty());
  EXPECT_TRUE(r.anims->poses.empty());
}

TEST(VorlAnim, TemplateGearSurvivesAThousandCyclesWithoutDrift) {
  mesh_store* store = &headless_meshes;
  *store = mesh_store{};
  store->root = CORVANE_DEMO_ROOT;
  auto anims = std::make_shared<preview_anims>();
  vessel_design d;
  preview = mesh_store_calls();
  animate(anims.get());
  apply_template(d);
  ASSERT_TRUE(store->meshes.at(0).loaded);
  const typmsh start = store->meshes[0];
  const int gear = d.header.gear_anim;
  const anim_seq& seq = d.data.anim_seqs[size_t(gear)].seq;
  auto largest_shift = [&] {
    double worst = 0;
    for (size_t g = 0; g < start.groups.size(); ++g)
      for (size_t v = 0; v < start.groups[g].vertices.size(); ++v)
        worst = std::max(worst, distance(to_vec(store->meshes[0].groups[g].vertices[v].position),
                                         to_vec(start.groups[g].vertices[v].position)));
    return worst;
  };
  play_animation(d, gear);
  double swing = 0;
  // Each arrival at the open end after the first closes one cycle.
  for (int cycles = 0, prev = seq.state; cycles <= 1000; prev = seq.state) {
    update_design_frame(d, 0.61);  // uneven steps cross the components' span ends at many places
    update_animations(*anims, store->meshes);
    if (seq.state == anim_open && prev != anim_open) ++cycles;
    if (cycles == 1 && seq.position == 0) swing = largest_shift();
  }
  EXPECT_GT(swing, 0.5);  // the gear did swing
  ASSERT_EQ(seq.position, seq.default_pos);
  EXPECT_LT(largest_shift(), 1e-5);
  preview = {};
}
