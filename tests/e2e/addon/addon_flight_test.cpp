// The template vessel generated into a package, unpacked into a copy of the
// demo installation and flown from its ground scenario by the stand-in simulator.
#include <gtest/gtest.h>
#include <set>
#include "base/strval.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "design/meshstore.h"
#include "gen_test_util.h"
#include "generate/addon_files.h"
#include "generate/launcher.h"

using namespace gentest;

namespace {

// Unpacks as a user would onto the simulator's file system, where "modules"
// and "Modules" are one folder: entry folders merge with existing ones
// whatever their case.
const char* const unpack_script =
    "import os, sys, zipfile\n"
    "z = zipfile.ZipFile(sys.argv[1])\n"
    "for info in z.infolist():\n"
    "    parts = info.filename.replace('\\\\', '/').split('/')\n"
    "    path = sys.argv[2]\n"
    "    for part in parts[:-1]:\n"
    "        same = [e for e in os.listdir(path) if e.lower() == part.lower()]\n"
    "        path = os.path.join(path, same[0] if same else part)\n"
    "        os.makedirs(path, exist_ok=True)\n"
    "    with open(os.path.join(path, parts[-1]), 'wb') as f: f.write(z.read(info))\n";

struct demo_copy {
  scratch_dir scratch;
  std::string dir = scratch.path.string();
  std::string root = dir + "/root";
  demo_copy() { std::filesystem::copy(CORVANE_DEMO_ROOT, root, std::filesystem::copy_options::recursive); }
};

int count_lines(const std::string& report, const std::string& piece) {
  int n = 0;
  for (size_t at = 0; (at = report.find(piece, at)) != std::string::npos; at += piece.size()) ++n;
  return n;
}

}  // namespace

TEST(addon_flight, template_package_flies_from_its_ground_scenario) {
  demo_copy demo;
  ASSERT_TRUE(std::filesystem::exists(demo.root + "/veltora.exe")) << "demo installation incomplete";
  headless_meshes = mesh_store{};
  headless_meshes.root = demo.root;
  preview = mesh_store_calls();
  vessel_design d;
  apply_template(d);
  std::string vessel = name_of(d.header.vessel_name, sizeof d.header.vessel_name);
  addon_sources src = package_sources(d, demo.root, "%authorname");
  astr messages;
  std::string zip = demo.dir + "/addon.zip";
  generate_addon(d, src, zip, messages);
  EXPECT_TRUE(messages.empty());

  // Both meshes and every texture they name come along, each right after its mesh.
  std::string listing;
  ASSERT_EQ(python_zip_check(zip, listing), 0) << listing;
  std::set<std::string> distinct;                      // a texture of both meshes is packed once
  for (const astr& list : src.mesh_textures)
    for (const std::string& t : list) distinct.insert(lower_case(t));
  const size_t textures = distinct.size();
  EXPECT_GT(textures, 0u) << "the template's meshes name no textures";
  EXPECT_EQ(count_lines(listing, "textures\\"), int(textures)) << listing;
  EXPECT_LT(listing.find("meshes\\dg\\deltaglider.msh"), listing.find("meshes\\dg\\deltaglidercockpit.msh"));
  std::filesystem::remove_all(demo.root + "/Meshes");  // the flight must use the unpacked files
  std::filesystem::remove_all(demo.root + "/Textures");

  std::string out;
  ASSERT_EQ(run("unzip -tq '" + zip + "'", &out), 0) << out;
  write_text(demo.dir + "/unpack.py", unpack_script);
  ASSERT_EQ(run("python3 '" + demo.dir + "/unpack.py' '" + zip + "' '" + demo.root + "'", &out), 0) << out;

  std::string scenario = "scenarios\\" + vessel + "_ground_scenario.scn";
  int status = run_and_wait(std::string(simulator_command) + " \"" + scenario + "\" --steps 20 --report flight.log",
                            demo.root, show_normal);
  std::string report = read_text(demo.root + "/flight.log");
  EXPECT_EQ(status, 0) << report;
  std::string ship = "[" + vessel + "-1] ";
  EXPECT_EQ(count_lines(report, ship + "ovcInit"), 1) << report;
  EXPECT_EQ(count_lines(report, ship + "CreateThruster pos"), 20);
  EXPECT_EQ(count_lines(report, ship + "AddExhaust "), 21);
  EXPECT_EQ(count_lines(report, ship + "AddBeacon "), 7);
  EXPECT_EQ(count_lines(report, ship + "CreateDock "), 1);
  EXPECT_EQ(count_lines(report, ship + "CreateAirfoil"), 2);
  EXPECT_EQ(count_lines(report, ship + "clbkLoadStateEx "), 1);
  EXPECT_EQ(count_lines(report, ship + "vapiLoadMeshGlobal "), 2) << report;
  EXPECT_EQ(report.find("missing"), std::string::npos) << report;
}
