// corvane-tool's generate and run commands used as a user in the simulator's root would.
#include <gtest/gtest.h>
#include "gen_test_util.h"

using namespace gentest;

namespace {

struct demo_root_copy {
  std::string dir = temp_dir();
  std::string root = dir + "/root";
  demo_root_copy() { std::filesystem::copy(CORVANE_DEMO_ROOT, root, std::filesystem::copy_options::recursive); }
  ~demo_root_copy() { std::filesystem::remove_all(dir); }
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
  EXPECT_EQ(demo.tool("listing t.vessdef", &out), 1);
  EXPECT_NE(out.find("usage: corvane-tool listing IN -o OUT"), std::string::npos) << out;
}
