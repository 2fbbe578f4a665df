// How a mesh drawn as a batch is split into draws, without a GL context:
// which groups keep their place, which go alone, and that every triangle of
// every other group is drawn exactly once, in a draw of its own look.
#include <gtest/gtest.h>

#include <algorithm>

#include "gl/glmesh.h"

namespace {

constexpr packed_colour white = 0xFFFFFFFFu, grey = 0xFF808080u, glass = 0x80FFFFFFu;

// One triangle over three vertices of its own.
typmshgrp group(packed_colour diffuse, int32_t texture = 7) {
  typmshgrp g;
  for (int i = 0; i < 3; ++i) g.vertices.push_back(make_vertex({double(i), 0, 0}, {0, 0, 1}, 0.5, 0.5));
  g.indices = {0, 1, 2};
  g.diffuse = diffuse;
  g.texture.index = texture;
  g.buffered = true;
  return g;
}

typmsh mesh_of(std::vector<typmshgrp> groups) {
  typmsh m;
  m.groups = std::move(groups);
  m.loaded = true;
  return m;
}

// The groups each draw covers, from the vertex numbers of its indices.
std::vector<std::vector<int>> groups_drawn(const batch_plan& p) {
  std::vector<std::vector<int>> out;
  for (const batch_draw& d : p.draws) {
    std::vector<int> gs;
    for (int32_t i = d.first; i < d.first + d.count; i += 3) gs.push_back(int(p.indices[size_t(i)] / 3));
    out.push_back(gs);
  }
  return out;
}

}  // namespace

TEST(MeshBatch, GroupsAreFreeKeptOrAloneByTheirLookAndState) {
  std::vector<typmshgrp> gs = {group(white), group(glass), group(white, 9), group(white), group(white), group(white)};
  gs[3].buffered = false;              // an animation moved it
  gs[4].indices = {0, 1, 3};           // points past its vertices
  gs[5].primitive_kind = 1;
  glmesh.translucent_textures = {9};
  const typmsh m = mesh_of(gs);
  EXPECT_EQ(batch_places(m, 0, -1), (std::vector<uint8_t>{place_free, place_kept, place_kept, place_alone,
                                                          place_alone, place_alone}));
  EXPECT_EQ(batch_places(m, 0, 0)[0], place_alone);    // the caller's own group
  EXPECT_EQ(batch_places(m, 128, -1)[0], place_kept);  // the whole mesh blends
  glmesh.translucent_textures.clear();
}

TEST(MeshBatch, FreeGroupsMergeByLookBetweenKeptOnesAndEveryTriangleIsDrawnOnce) {
  // 0 white, 1 grey, 2 white | 3 glass, 4 glass | 5 white, 6 alone, 7 grey, 8 white
  const typmsh m = mesh_of({group(white), group(grey), group(white), group(glass), group(glass), group(white),
                            group(white), group(grey), group(white)});
  std::vector<uint8_t> places = batch_places(m, 0, 6);
  const batch_plan p = plan_batch(m, places, false);
  std::vector<std::vector<int>> drawn = groups_drawn(p);
  ASSERT_EQ(drawn.size(), 7u);
  std::sort(drawn.begin(), drawn.begin() + 2);        // the order of two looks in a stretch is free
  EXPECT_EQ(drawn[0], (std::vector<int>{0, 2}));
  EXPECT_EQ(drawn[1], (std::vector<int>{1}));
  EXPECT_EQ(drawn[2], (std::vector<int>{3, 4}));       // like kept neighbours share a draw
  EXPECT_EQ(drawn[3], (std::vector<int>{5}));          // nothing crosses a kept group
  EXPECT_EQ(p.draws[4].group, 6);                      // alone, at its turn
  EXPECT_EQ(p.draws[4].count, 0);
  std::sort(drawn.begin() + 5, drawn.end());
  EXPECT_EQ(drawn[5], (std::vector<int>{7}));
  EXPECT_EQ(drawn[6], (std::vector<int>{8}));
  EXPECT_EQ(p.indices.size(), 8u * 3);                 // the eight not alone, each once

  // With an alpha reduction every group keeps its place: only neighbours merge.
  const batch_plan ordered = plan_batch(m, batch_places(m, 128, -1), false);
  EXPECT_EQ(groups_drawn(ordered), (std::vector<std::vector<int>>{{0}, {1}, {2}, {3, 4}, {5, 6}, {7}, {8}}));
}
