// The headless mesh store: meshes read from the installation, the design's
// size raised to their radius, texture names kept per design mesh.
#include <gtest/gtest.h>

#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "design/meshstore.h"
#include "mesh/grplib.h"
#include "common/scratch_dir.h"

namespace {

// The headless preview on the demo installation, for as long as it lives.
struct demo_preview {
  demo_preview() {
    headless_meshes = mesh_store{};
    headless_meshes.root = CORVANE_DEMO_ROOT;
    preview = mesh_store_calls();
  }
  ~demo_preview() { preview = {}; }
  mesh_store* operator->() { return &headless_meshes; }
  mesh_store& operator*() { return headless_meshes; }
};

}  // namespace

TEST(Meshstore, TemplateSizeRisesToTheGliderRadius) {
  typmsh glider;
  ASSERT_TRUE(read_mesh(glider, std::string(CORVANE_DEMO_ROOT) + "/Meshes/dg/deltaglider.msh", "", false));
  ASSERT_GT(glider.radius, 10);
  demo_preview store;
  vessel_design d;
  apply_template(d);
  EXPECT_DOUBLE_EQ(d.header.size, glider.radius);
  ASSERT_EQ(store->meshes.size(), 2u);
  EXPECT_TRUE(store->meshes[1].loaded);
  EXPECT_EQ(mesh_texture_names(*store, 0), glider.texture_names);
  EXPECT_EQ(mesh_texture_names(*store, 0)[1], "dg\\wing.dds");  // the " D" suffix is not part of the name
}

TEST(Meshstore, MissingMeshesKeepTheListsInStep) {
  demo_preview store;
  vessel_design d;
  d.header.size = 30;
  add_mesh(d, "dg\\nothere", 1);
  add_mesh(d, "DG\\DeltaGliderCockpit", 4);  // found whatever the capitalisation
  EXPECT_EQ(d.header.size, 30);               // a smaller mesh never lowers the size
  ASSERT_EQ(store->meshes.size(), 2u);
  EXPECT_TRUE(mesh_texture_names(*store, 0).empty());
  EXPECT_FALSE(store->meshes[0].loaded);
  ASSERT_FALSE(mesh_texture_names(*store, 1).empty());
  EXPECT_EQ(mesh_texture_names(*store, 1).front(), "dg\\panel.dds");
  EXPECT_TRUE(mesh_texture_names(*store, 7).empty());
  EXPECT_TRUE(mesh_texture_names(*store, -1).empty());
  reset_design(d);
  EXPECT_TRUE(store->meshes.empty());
}

TEST(Meshstore, UnreadableOrDamagedMeshesReportNoRadius) {
  scratch_dir dir;
  std::filesystem::create_directories(dir.path / "Meshes");
  std::ofstream(dir.file("Meshes/bad.msh")) << "no groups line here\n";
  std::ofstream(dir.file("Meshes/tiny.msh")) << "GROUPS 1\nGEOM 1 0\n3 4 0\nTEXTURES 1\nt.dds\n";
  mesh_store s;
  s.root = dir.path.string();
  EXPECT_EQ(load_store_mesh(s, 0, "bad"), 0);
  EXPECT_DOUBLE_EQ(load_store_mesh(s, 2, "tiny"), 5);
  EXPECT_EQ(s.meshes.size(), 3u);
  EXPECT_EQ(mesh_texture_names(s, 2), astr{"t.dds"});
  EXPECT_EQ(load_store_mesh(s, -1, "tiny"), 0);
}

TEST(Meshstore, SaysWhyAMeshIsNotLoaded) {
  demo_preview store;
  vessel_design d;
  add_mesh(d, "dg\\deltaglider", visibility_external);
  add_mesh(d, "dg\\nosuchmesh", visibility_external);
  ASSERT_EQ(store->results.size(), 2u);
  EXPECT_TRUE(store->results[0]);
  EXPECT_EQ(store->results[1].status, read_missing);
  EXPECT_EQ(store->results[1].message, "Meshes/dg/nosuchmesh.msh: file not found");
}
