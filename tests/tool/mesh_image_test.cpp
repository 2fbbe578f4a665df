// corvane-tool mesh, image, and the mesh store behind every command, run as a
// program in the demo installation.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "common/scratch_dir.h"
#include "design/designfile.h"
#include "design/kvgen.h"
#include "mesh/grplib.h"
#include "mesh/texfile.h"

namespace {

using json = nlohmann::json;
const std::string demo = CORVANE_DEMO_ROOT;

struct tool_run {
  int code;
  std::string out;
};

// Runs the tool in the demo root with its output captured in a scratch file.
tool_run run_in_demo(const scratch_dir& dir, const std::string& args) {
  const std::string out = dir.file("out.txt");
  const std::string cmd = "cd '" + demo + "' && '" CORVANE_BINARY_DIR "/corvane-tool' " + args + " >'" + out + "' 2>&1";
  const int status = std::system(cmd.c_str());
  const std::vector<uint8_t> text = read_bytes(out);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(text.begin(), text.end())};
}

}  // namespace

TEST(ToolMesh, PrintsGroupsTexturesAndRadius) {
  scratch_dir dir;
  const tool_run r = run_in_demo(dir, "mesh Meshes/dg/deltaglider.msh");
  ASSERT_EQ(r.code, 0) << r.out;
  typmsh m;
  ASSERT_TRUE(read_mesh(m, demo + "/Meshes/dg/deltaglider.msh", "", false));
  const json j = json::parse(r.out);
  ASSERT_EQ(j["groups"].size(), m.groups.size());
  EXPECT_DOUBLE_EQ(j["radius"].get<double>(), m.radius);
  EXPECT_EQ(j["textures"][1], "dg\\wing.dds");
  const json& g = j["groups"][96];
  EXPECT_EQ(g["vertices"], m.groups[96].vertices.size());
  EXPECT_EQ(g["triangles"], m.groups[96].indices.size() / 3);
  EXPECT_EQ(g["diffuse"], json::array({20, 20, 20, 255}));  // the rubber of the wheels
  EXPECT_EQ(g["texture"], -1);
  EXPECT_EQ(g["specular_texture"], -1);
  EXPECT_DOUBLE_EQ(g["min"][1].get<double>(), m.groups[96].min_corner.y);
  EXPECT_EQ(j["groups"][0]["texture"], 1);
}

TEST(ToolMesh, RefusesFilesThatAreNoMesh) {
  scratch_dir dir;
  tool_run r = run_in_demo(dir, "mesh Textures/dg/hull.dds");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("not a mesh file"), std::string::npos) << r.out;
  r = run_in_demo(dir, "mesh Meshes/none.msh");
  EXPECT_EQ(r.code, 1);
}

TEST(ToolImage, FormatSizeAndChecksumOfThePixels) {
  scratch_dir dir;
  const struct { const char* file; const char* format; } cases[] = {
    {"Textures/dg/hull.dds", "dds"}, {"Textures/dg/seat.bmp", "bmp"}, {"Textures/dg/canopy.png", "png"},
    {"Textures/dg/decal.jpg", "jpeg"}, {"Textures/dg/emblem.gif", "gif"}};
  for (const auto& c : cases) {
    const tool_run r = run_in_demo(dir, std::string("image ") + c.file + " --raw '" + dir.file("raw") + "'");
    ASSERT_EQ(r.code, 0) << r.out;
    rgba_image img;
    ASSERT_TRUE(decode_image(demo + "/" + c.file, img));
    const json j = json::parse(r.out);
    EXPECT_EQ(j["format"], c.format);
    EXPECT_EQ(j["width"], img.width);
    EXPECT_EQ(j["height"], img.height);
    EXPECT_EQ(j["crc32"], crc32_z(0, img.pixels.data(), img.pixels.size()));
    EXPECT_EQ(read_bytes(dir.file("raw")), img.pixels);
  }
  const tool_run bad = run_in_demo(dir, "image Meshes/dg/deltaglider.msh");
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.out.find("no image recognised"), std::string::npos) << bad.out;
}

TEST(ToolMeshStore, TemplateSizeRisesToTheDemoGlider) {
  scratch_dir dir;
  ASSERT_EQ(run_in_demo(dir, "template '" + dir.file("t.vessdef") + "'").code, 0);
  const tool_run r = run_in_demo(dir, "info '" + dir.file("t.vessdef") + "'");
  ASSERT_EQ(r.code, 0) << r.out;
  typmsh glider;
  ASSERT_TRUE(read_mesh(glider, demo + "/Meshes/dg/deltaglider.msh", "", false));
  ASSERT_GT(glider.radius, 10);
  EXPECT_DOUBLE_EQ(json::parse(r.out)["header"]["size"].get<double>(), glider.radius);
}

TEST(ToolMeshStore, InfoShowsTheStoredSizeWhateverMeshesAreInstalled) {
  scratch_dir dir;
  vessel_design d;
  add_mesh(d, "dg\\deltaglider", 1);       // no preview here: the size stays 1
  write_design_file(d, dir.file("small.vessdef"));
  const tool_run r = run_in_demo(dir, "info '" + dir.file("small.vessdef") + "'");
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(json::parse(r.out)["header"]["size"], 1.0);
}
