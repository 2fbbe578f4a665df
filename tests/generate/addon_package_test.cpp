#include "generate/addon_files.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>
#include "design/kvgen.h"
#include "generate/module_writer.h"
#include "gen_test_util.h"

using namespace gentest;

namespace {

// A small installation: root is <dir>/root, and a file beside it stands for
// something outside the root that a hostile design might name.
struct install {
  scratch_dir scratch;
  std::string dir = scratch.path.string();
  std::string root = dir + "/root";
  install() {
    write_text(root + "/Meshes/DG/Body.msh", "mesh body");
    write_text(root + "/Textures/dg/skin.dds", "skin texture");
    write_text(root + "/Textures/Ghost_Tex.dds", "ghost texture");  // found ignoring case
    write_text(root + "/Modules/PayloadManager.dll", "payload manager library");
    write_text(dir + "/secret.dds", "must never be packed");
    write_text(dir + "/outside.msh", "must never be packed");
  }
};

vessel_design package_design(int payload_manager) {
  vessel_design d;
  reset_design(d);
  d.header.payload_manager = payload_manager;
  add_mesh(d, "dg\\body", visibility_external);   // found as Meshes/DG/Body.msh
  add_mesh(d, "ghost", visibility_external);      // no mesh file, but its texture exists
  add_mesh(d, "..\\outside", visibility_external); // names a file outside the root
  add_animation(d, 34, 0.5, 0.5);
  return d;
}

addon_sources sources(const install& inst) {
  addon_sources src;
  src.root = inst.root;
  src.author = "Ann Author";
  src.mesh_textures = {{"dg\\skin.dds", "nothere.dds", "..\\secret.dds"}, {"ghost_tex.dds"}, {"/etc/hostname"}};
  return src;
}

std::vector<std::string> entry_names(const zipfile_rec& z) {
  std::vector<std::string> names;
  for (const TLocalFile& l : z.local) names.push_back(l.name);
  return names;
}

uint32_t crc_of(const std::string& s) { return zip_crc32(s.data(), s.size()); }

}  // namespace

TEST(addon_package, entries_come_in_order_and_names_outside_the_root_are_left_out) {
  install inst;
  vessel_design d = package_design(1);
  zipfile_rec z;
  astr messages;
  build_addon(d, sources(inst), z, messages);
  std::vector<std::string> expected = {
      "modules\\vessel.dll",
      "meshes\\dg\\body.msh",
      "textures\\dg\\skin.dds",
      "textures\\ghost_tex.dds",
      "modules\\PayloadManager.dll",
      "config\\vessels\\The vessel.cfg",
      "The vessel_readme.txt",
      "scenarios\\The vessel_orbital_scenario.scn",
      "scenarios\\The vessel_ground_scenario.scn",
  };
  ASSERT_EQ(entry_names(z), expected);
  EXPECT_EQ(messages.size(), 3u);  // the texture, the mesh and the absolute texture name
  for (const std::string& m : messages) EXPECT_NE(m.find("outside the simulator's folder"), std::string::npos) << m;

  EXPECT_EQ(uint32_t(z.local[1].head.crc), crc_of("mesh body"));
  EXPECT_EQ(uint32_t(z.local[2].head.crc), crc_of("skin texture"));
  EXPECT_EQ(uint32_t(z.local[4].head.crc), crc_of("payload manager library"));
  EXPECT_EQ(uint32_t(z.local[5].head.crc), crc_of(config_text(d)));
  EXPECT_EQ(uint32_t(z.local[7].head.crc), crc_of(scenario_text(d, scenario_orbital)));
  std::vector<uint8_t> module = build_module(d);
  EXPECT_EQ(uint32_t(z.local[0].head.crc), zip_crc32(module.data(), module.size()));
  for (const TLocalFile& l : z.local) EXPECT_EQ(int(l.head.method), 8) << l.name;
}

TEST(addon_package, files_that_cannot_be_read_are_named_with_the_reason) {
  install inst;
  vessel_design d = package_design(1);
  std::filesystem::remove(inst.root + "/Modules/PayloadManager.dll");
  std::filesystem::create_directories(inst.root + "/Textures/nothere.dds");  // a folder, not a texture
  zipfile_rec z;
  astr messages;
  const addon_report report = build_addon(d, sources(inst), z, messages);
  EXPECT_EQ(report.meshes_packed, 1);
  EXPECT_EQ(report.left_out, (astr{
      "The texture \"nothere.dds\" was left out: Textures/nothere.dds: not a regular file",
      "The mesh \"ghost\" was left out: Meshes/ghost.msh: file not found",
      "The Payload Manager library \"modules\\PayloadManager.dll\" was left out: "
      "modules/PayloadManager.dll: file not found"}));
}

TEST(addon_package, written_package_passes_independent_readers) {
  install inst;
  vessel_design d = package_design(1);
  astr messages;
  std::string zip = inst.dir + "/out.zip";
  generate_addon(d, sources(inst), zip, messages);
  std::string listing;
  ASSERT_EQ(python_zip_check(zip, listing), 0) << listing;
  EXPECT_NE(listing.find("modules\\vessel.dll 8 " + std::to_string(build_module(d).size()) + "\n"),
            std::string::npos) << listing;
  EXPECT_EQ(listing.substr(listing.size() - 3), "OK\n") << listing;
  std::string out;
  EXPECT_EQ(run("unzip -tq '" + zip + "'", &out), 0) << out;
  EXPECT_EQ(run("cd '" + inst.dir + "' && unzip -p out.zip 'scenarios\\\\The vessel_ground_scenario.scn'", &out), 0);
  EXPECT_EQ(out, scenario_text(d, scenario_ground));
  EXPECT_NE(out.find("  ANIM_0 -2 0.5\r\nEND\r\nEND_SHIPS\r\n"), std::string::npos);
}

TEST(addon_package, payload_manager_library_only_when_used_and_present) {
  install inst;
  auto has_library = [&](int flag) {
    vessel_design d = package_design(flag);
    zipfile_rec z;
    astr messages;
    build_addon(d, sources(inst), z, messages);
    std::vector<std::string> names = entry_names(z);
    EXPECT_EQ(names.back(), "scenarios\\The vessel_ground_scenario.scn");
    return std::find(names.begin(), names.end(), "modules\\PayloadManager.dll") != names.end();
  };
  EXPECT_TRUE(has_library(1));
  EXPECT_FALSE(has_library(0));
  std::filesystem::remove(inst.root + "/Modules/PayloadManager.dll");
  EXPECT_FALSE(has_library(1));  // missing: left out, the package is still built
}

TEST(addon_package, only_regular_files_are_packed) {
  install inst;
  std::string pipe = inst.root + "/Textures/pipe.dds";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  int writer = open(pipe.c_str(), O_RDWR | O_NONBLOCK);  // so that a wrong read ends instead of waiting
  ASSERT_GE(writer, 0);
  vessel_design d = package_design(0);
  addon_sources src = sources(inst);
  src.mesh_textures = {{"pipe.dds", "dg", "dg\\skin.dds"}};  // a pipe, a folder, a file
  zipfile_rec z;
  astr messages;
  build_addon(d, src, z, messages);
  close(writer);
  std::vector<std::string> names = entry_names(z);
  EXPECT_EQ(std::vector<std::string>(names.begin() + 1, names.begin() + 3),
            (std::vector<std::string>{"meshes\\dg\\body.msh", "textures\\dg\\skin.dds"}));
  EXPECT_EQ(names.size(), 7u);
}

TEST(addon_package, readme_carries_a_time_stamp_and_the_author) {
  install inst;
  vessel_design d = package_design(0);
  zipfile_rec z;
  astr messages;
  build_addon(d, sources(inst), z, messages);
  std::string zip = inst.dir + "/out.zip";
  zip_write(z, zip);
  std::string readme;
  ASSERT_EQ(run("cd '" + inst.dir + "' && unzip -p out.zip 'The vessel_readme.txt'", &readme), 0);
  EXPECT_TRUE(std::regex_search(readme, std::regex("^The vessel vessel/whatever addon from "
                                                   "[0-9]{6}_[0-9]{2}-[0-9]{2}-[0-9]{2}-[0-9]{3}\\.\r\n"
                                                   "Made by Ann Author, taking at least 0 seconds to make\\.\r\n")))
      << readme;
  EXPECT_EQ(readme.find("Payload Manager"), std::string::npos);
  EXPECT_EQ(readme.substr(readme.rfind('\n')), "\nCompatible with at least Veltora 2006 and some betas.");  // no line end
}

TEST(addon_package, the_package_holds_animations_at_rest_and_the_design_keeps_its_own) {
  install inst;
  vessel_design d = package_design(0);
  d.data.anim_seqs[0].seq.state = anim_open;
  d.data.anim_seqs[0].seq.position = 1;
  astr messages;
  zipfile_rec z;
  build_addon(d, sources(inst), z, messages);
  EXPECT_EQ(d.data.anim_seqs[0].seq.state, anim_open);
  EXPECT_EQ(d.data.anim_seqs[0].seq.position, 1.0);
  vessel_design rest = d;
  reset_animations(rest);
  ASSERT_EQ(z.local.back().name, "scenarios\\The vessel_ground_scenario.scn");
  EXPECT_EQ(uint32_t(z.local.back().head.crc), crc_of(scenario_text(rest, scenario_ground)));
  EXPECT_NE(scenario_text(rest, scenario_ground), scenario_text(d, scenario_ground));
}

TEST(addon_package, unsafe_names_and_missing_folders_are_reported_without_damage) {
  install inst;
  vessel_design d = package_design(0);
  set_name(d.header.vessel_name, sizeof d.header.vessel_name, "..\\..\\evil");
  astr messages;
  EXPECT_THROW(generate_addon(d, sources(inst), inst.dir + "/out.zip", messages), io_error);
  EXPECT_FALSE(std::filesystem::exists(inst.dir + "/out.zip"));
  set_name(d.header.vessel_name, sizeof d.header.vessel_name, "Kestrel");
  set_name(d.header.dll_name, sizeof d.header.dll_name, "../x");
  EXPECT_THROW(generate_addon(d, sources(inst), inst.dir + "/out.zip", messages), io_error);
  set_name(d.header.dll_name, sizeof d.header.dll_name, "kestrel");

  EXPECT_THROW(generate_addon(d, sources(inst), inst.dir + "/no/such/folder.zip", messages), io_error);
}
