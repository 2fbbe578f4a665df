// corvane-tool import-mesh and export-mesh run as a user would, in a scratch
// installation: what `corvane-tool mesh` makes of the result, and files that
// are refused without anything being written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "common/model_samples.h"
#include "common/scratch_dir.h"
#include "images/png.h"
#include "mesh/texfile.h"

namespace {

struct tool_run {
  int code;
  std::string out;
};

tool_run run_in(const scratch_dir& dir, const std::string& args) {
  const std::string out = dir.file("out.txt");
  const std::string cmd = "cd '" + dir.path.string() + "' && '" CORVANE_BINARY_DIR "/corvane-tool' " + args + " >'" + out + "' 2>&1";
  const int status = std::system(cmd.c_str());
  const std::vector<uint8_t> text = read_bytes(out);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(text.begin(), text.end())};
}

void write_models(const scratch_dir& dir) {
  dir.put("models/box.obj", box_obj());
  dir.put("models/box.mtl", box_mtl());
  write_bytes(dir.file("models/box.png"), encode_png(box_picture()));
  std::vector<uint8_t> bin;
  dir.put("models/box.gltf", box_gltf(bin));
  write_bytes(dir.file("models/box.bin"), bin);
  dir.put("models/empty.glb", "");
  dir.put("models/nopng/box.obj", box_obj());
  dir.put("models/nopng/box.mtl", box_mtl());
  dir.put("Textures/keep.txt", "");
}

}  // namespace

TEST(ToolMeshImport, TexturedTwoMaterialBoxReadsBackAsItsSourceSays) {
  scratch_dir dir;
  write_models(dir);
  for (const char* model : {"box.obj", "box.gltf"}) {
    SCOPED_TRACE(model);
    tool_run r = run_in(dir, std::string("import-mesh models/") + model + " Meshes/box.msh --textures ships --force");
    ASSERT_EQ(r.code, 0) << r.out;
    r = run_in(dir, "mesh Meshes/box.msh");
    ASSERT_EQ(r.code, 0) << r.out;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["groups"].size(), 2u);
    EXPECT_EQ(j["groups"][0]["triangles"].get<int>() + j["groups"][1]["triangles"].get<int>(), 12);
    const bool obj = model[4] == 'o';
    EXPECT_EQ(j["groups"][0]["min"], obj ? nlohmann::json({0, 0, -4}) : nlohmann::json({-2, 0, 0}));
    EXPECT_EQ(j["groups"][1]["max"], obj ? nlohmann::json({2, 3, 0}) : nlohmann::json({0, 3, 4}));
    EXPECT_EQ(j["groups"][0]["diffuse"], nlohmann::json({255, 0, 0, 255}));
    EXPECT_EQ(j["groups"][1]["diffuse"], nlohmann::json({255, 255, 255, obj ? 128 : 255}));
    EXPECT_EQ(j["groups"][1]["texture"], 1);
    EXPECT_EQ(j["textures"], nlohmann::json({"ships\\box.dds"}));
    rgba_image dds;
    ASSERT_TRUE(decode_image(dir.file("Textures/ships/box.dds"), dds));
    const rgba_image src = box_picture();
    for (size_t i = 0; i < src.pixels.size(); ++i) EXPECT_NEAR(dds.pixels[i], src.pixels[i], 12) << i;  // 5-6-5 and four colours a block
  }
  const tool_run r = run_in(dir, "export-mesh Meshes/box.msh out/box.glb");
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_FALSE(read_bytes(dir.file("out/ships/box.png")).empty());
  EXPECT_EQ(run_in(dir, "import-mesh out/box.glb Meshes/again.msh --textures again").code, 0);
}

TEST(ToolMeshImport, RefusedFilesExitOneAndWriteNothing) {
  scratch_dir dir;
  write_models(dir);
  dir.put("Meshes/box.msh", "GROUPS 0\n");
  const struct { const char* args; const char* says; } cases[] = {
    {"import-mesh models/empty.glb Meshes/new.msh", "the file is empty"},
    {"import-mesh models/nopng/box.obj Meshes/new.msh --textures t", "box.png"},
    {"import-mesh models/box.obj Meshes/box.msh", "exists; give --force"},
    {"import-mesh models/box.obj Meshes/new.msh --axes +x+x+z", "--axes"},
    {"export-mesh Meshes/none.msh out/none.gltf", "file not found"},
  };
  for (const auto& c : cases) {
    const tool_run r = run_in(dir, c.args);
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << ": " << r.out;
    EXPECT_NE(r.code, 0) << c.args;
  }
  EXPECT_EQ(read_bytes(dir.file("Meshes/box.msh")).size(), 9u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("Meshes/new.msh")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("Textures/t")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
}
