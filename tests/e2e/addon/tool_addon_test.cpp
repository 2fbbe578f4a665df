// corvane-tool's generate and run commands used as a user in the simulator's root would.
#include <gtest/gtest.h>
#include "gen_test_util.h"

using namespace gentest;

namespace {

struct demo_root_copy {
  scratch_dir scratch;
  std::string dir = scratch.path.string();
  std::string root = dir + "/root";
  demo_root_copy() { std::filesystem::copy(CORVANE_DEMO_ROOT, root, std::filesystem::copy_options::recursive); }
  // Runs the tool in the root through the shell, with prefix commands (limits) first.
  int tool(const std::string& args, std::string* out = nullptr, const std::string& prefix = "") {
    return run("cd '" + root + "' && " + prefix + "exec '" CORVANE_BINARY_DIR "/corvane-tool' " + args, out);
  }
};

}  // namespace

TEST(tool_addon, generate_names_the_package_after_the_module_and_run_flies_it) {
  demo_root_copy demo;
  std::string out;
  ASSERT_EQ(demo.tool("template t.vessdef", &out), 0) << out;
  ASSERT_EQ(demo.tool("generate t.vessdef", &out), 0) << out;
  std::string zip = demo.root + "/deltaglider_vrk.zip";
  ASSERT_EQ(python_zip_check(zip, out), 0) << out;
  EXPECT_NE(out.find("modules\\deltaglider_vrk.dll 8 "), std::string::npos) << out;
  EXPECT_EQ(out.substr(out.size() - 3), "OK\n");

  // unzip turns the backslashes into folders and says so with a warning (status 1);
  // the module then goes beside the others in "Modules".
  ASSERT_LE(run("cd '" + demo.root + "' && unzip -qo deltaglider_vrk.zip", &out), 1) << out;
  std::filesystem::rename(demo.root + "/modules/deltaglider_vrk.dll", demo.root + "/Modules/deltaglider_vrk.dll");
  EXPECT_EQ(demo.tool("run", &out), 0) << out;
  std::string report = read_text(demo.root + "/veltora.log");
  EXPECT_NE(report.find("[DeltaGlider_vrk-1] ovcInit"), std::string::npos) << report;

  std::filesystem::remove(demo.root + "/veltora.exe");
  EXPECT_EQ(demo.tool("run", &out), 1);
  EXPECT_NE(out.find("cannot start veltora.exe"), std::string::npos) << out;
}

TEST(tool_addon, a_failed_write_keeps_the_old_package_and_says_so) {
  demo_root_copy demo;
  std::string out;
  ASSERT_EQ(demo.tool("template t.vessdef", &out), 0) << out;
  write_text(demo.root + "/old.zip", "previous package");
  // A 16 KiB file size limit stands for a full disk: the 70 KiB module does not fit.
  EXPECT_EQ(demo.tool("generate t.vessdef -o old.zip", &out, "trap '' XFSZ; ulimit -f 16; "), 1);
  EXPECT_NE(out.find("old.zip"), std::string::npos) << out;
  EXPECT_EQ(read_text(demo.root + "/old.zip"), "previous package");
  EXPECT_EQ(demo.tool("generate t.vessdef -o no/such/folder/x.zip", &out), 1);
  EXPECT_EQ(demo.tool("listing t.vessdef", &out), 2);   // a wrong command line
  EXPECT_NE(out.find("usage: corvane-tool listing IN -o OUT"), std::string::npos) << out;
}

TEST(tool_addon, module_listing_and_project_land_where_the_simulator_expects_them) {
  demo_root_copy demo;
  std::string out;
  ASSERT_EQ(demo.tool("template t.vessdef", &out), 0) << out;
  ASSERT_EQ(demo.tool("module t.vessdef", &out), 0) << out;
  std::string module = read_text(demo.root + "/Modules/deltaglider_vrk.dll");  // the installation's "Modules"
  ASSERT_GT(module.size(), 69632u + 8u);
  EXPECT_EQ(u32_at(module, 69632), 0xAEAADBCDu);
  EXPECT_EQ(u32_at(module, module.size() - 8), 0xAEAADBCDu);
  EXPECT_EQ(69632u + u32_at(module, module.size() - 4) + 4u, module.size());
  EXPECT_EQ(module.substr(0, 69632), read_text(CORVANE_BINARY_DIR "/module/vrkdll_nopm.dll"));
  ASSERT_EQ(demo.tool("module t.vessdef -o chosen.dll", &out), 0) << out;
  EXPECT_EQ(read_text(demo.root + "/chosen.dll"), module);

  ASSERT_EQ(demo.tool("listing t.vessdef -o list.txt", &out), 0) << out;
  std::string listing = read_text(demo.root + "/list.txt");
  EXPECT_EQ(listing.rfind("Thrusters:\r\n0 POS=-1 0 -7.7 DIR=0 0 1\r\n1 POS=1 0 -7.7 DIR=0 0 1\r\n", 0), 0u) << listing;
  EXPECT_NE(listing.find("\r\n19 POS=0 0 0 DIR=0 0 1\r\n\r\nPorts:\r\n0 POS="), std::string::npos) << listing;
  EXPECT_EQ(listing.substr(listing.size() - 2), "\r\n");

  ASSERT_EQ(demo.tool("project t.vessdef", &out), 0) << out;
  std::string folder = demo.root + "/Vessel_Design/deltaglider_vrk/deltaglider_vrk";
  std::string dsw = read_text(folder + ".dsw"), dsp = read_text(folder + ".dsp");
  auto lines = [](const std::string& s) {
    size_t n = 0;
    for (size_t at = 0; (at = s.find("\r\n", at)) != std::string::npos; at += 2) ++n;
    return n;
  };
  EXPECT_EQ(lines(dsw), 19u);
  EXPECT_EQ(lines(dsp), 110u);
  EXPECT_EQ(dsp.substr(dsp.size() - 15), "# End Project\r\n");
}

TEST(tool_addon, generate_imports_a_spacecraft3_file_first) {
  demo_root_copy demo;
  write_text(demo.root + "/glider.ini",
             "[CONFIG]\r\nMESHNAME=DG\\deltaglider\r\nEMPTY_MASS=5000\r\n"
             "[ANIM_SEQ_0]\r\nKEY=G\r\nDURATION=5\r\nINIT_POS=0.5\r\n");
  std::string out;
  ASSERT_EQ(demo.tool("generate glider.ini", &out), 0) << out;
  std::string zip = demo.root + "/new_vessel.zip";
  ASSERT_EQ(python_zip_check(zip, out), 0) << out;
  EXPECT_NE(out.find("meshes\\DG\\deltaglider.msh 8 "), std::string::npos) << out;
  ASSERT_EQ(run("cd '" + demo.root + "' && unzip -p new_vessel.zip 'scenarios\\\\new_vessel_ground_scenario.scn'", &out), 0);
  EXPECT_NE(out.find("\r\n  PRPLEVEL 0:1.000 1:1.000\r\n  ANIM_0 -2 0.5\r\nEND\r\nEND_SHIPS\r\n"), std::string::npos) << out;
}

TEST(tool_addon, outside_the_root_every_file_left_out_is_named_and_no_mesh_is_an_error) {
  demo_root_copy demo;
  std::string out;
  ASSERT_EQ(demo.tool("template t.vessdef", &out), 0) << out;
  std::filesystem::create_directory(demo.dir + "/elsewhere");
  std::filesystem::rename(demo.root + "/t.vessdef", demo.dir + "/elsewhere/t.vessdef");
  const std::string here = "cd '" + demo.dir + "/elsewhere' && '" CORVANE_BINARY_DIR "/corvane-tool' ";
  EXPECT_EQ(run(here + "generate t.vessdef", &out), 1);
  EXPECT_NE(out.find("warning: The mesh \"dg\\deltaglider\" was left out: Meshes/dg/deltaglider.msh: file not found"),
            std::string::npos) << out;
  EXPECT_NE(out.find("warning: The mesh \"dg\\deltaglidercockpit\" was left out"), std::string::npos) << out;
  EXPECT_NE(out.find("none of the 2 meshes the design names was found"), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(demo.dir + "/elsewhere/deltaglider_vrk.zip"));
  EXPECT_EQ(run(here + "generate t.vessdef --allow-missing", &out), 0) << out;
  EXPECT_NE(out.find("deltaglider_vrk.zip: "), std::string::npos) << out;
  std::filesystem::remove(demo.dir + "/elsewhere/deltaglider_vrk.zip");
  EXPECT_EQ(run(here + "generate t.vessdef --allow-missing --strict", &out), 1);
  EXPECT_FALSE(std::filesystem::exists(demo.dir + "/elsewhere/deltaglider_vrk.zip"));
}

TEST(tool_addon, a_texture_of_two_meshes_is_packed_once_and_the_package_unpacks_without_questions) {
  demo_root_copy demo;
  std::string out;
  ASSERT_EQ(demo.tool("template t.vessdef", &out), 0) << out;
  ASSERT_EQ(demo.tool("generate t.vessdef", &out), 0) << out;  // both glider meshes use textures\dg\canopy.png
  const std::string zip = demo.root + "/deltaglider_vrk.zip";
  ASSERT_EQ(python_zip_check(zip, out), 0) << out;
  EXPECT_EQ(out.find("canopy.png"), out.rfind("canopy.png")) << out;
  EXPECT_NE(out.find("textures\\dg\\canopy.png"), std::string::npos) << out;
  for (const char* folder : {"/a", "/b", "/c"}) std::filesystem::create_directory(demo.dir + folder);
  // unzip warns about the backslashes the stored names must have (status 1); it asks nothing
  const int unzipped = run("cd '" + demo.dir + "/a' && unzip -o '" + zip + "' </dev/null", &out);
  EXPECT_LE(unzipped, 1) << out;
  EXPECT_EQ(out.find("replace"), std::string::npos) << out;
  EXPECT_EQ(run("cd '" + demo.dir + "/c' && unzip '" + zip + "' </dev/null", &out), unzipped) << out;  // without -o
  EXPECT_EQ(out.find("replace"), std::string::npos) << out;
  EXPECT_TRUE(std::filesystem::exists(demo.dir + "/a/textures/dg/canopy.png"));
  EXPECT_EQ(run("cd '" + demo.dir + "/b' && bsdtar -xf '" + zip + "'", &out), 0) << out;
  EXPECT_EQ(out, "");
}

TEST(tool_addon, run_passes_its_options_and_the_simulator_explains_its_own) {
  demo_root_copy demo;
  std::string out;
  ASSERT_EQ(demo.tool("template t.vessdef", &out), 0) << out;
  ASSERT_EQ(demo.tool("generate t.vessdef", &out), 0) << out;
  ASSERT_LE(run("cd '" + demo.root + "' && unzip -qo deltaglider_vrk.zip", &out), 1) << out;
  std::filesystem::rename(demo.root + "/modules/deltaglider_vrk.dll", demo.root + "/Modules/deltaglider_vrk.dll");
  EXPECT_EQ(demo.tool("run --steps 3 --report \"my report.log\"", &out), 0) << out;
  EXPECT_NE(read_text(demo.root + "/my report.log").find(" steps 3 "), std::string::npos);
  EXPECT_EQ(demo.tool("run --steps nine", &out), 1);
  EXPECT_NE(out.find("--steps wants a whole number"), std::string::npos) << out;
  EXPECT_EQ(run("cd '" + demo.root + "' && ./veltora.exe --help", &out), 0) << out;
  EXPECT_NE(out.find("--key STEP:KEYCODE[:alt]"), std::string::npos) << out;
  EXPECT_NE(out.find("34 G"), std::string::npos) << out;
}
