// corvane-tool run as a program: design files written, read back as JSON, errors reported.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include "common/scratch_dir.h"
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"

namespace {

using json = nlohmann::ordered_json;

struct run_result {
  int code;
  std::string out, err;
};

std::string file_text(const std::string& name) {
  const std::vector<uint8_t> b = read_bytes(name);
  return std::string(b.begin(), b.end());
}

// Runs corvane-tool with args in dir, the way a user in the simulator's root would.
run_result tool(const scratch_dir& dir, const std::string& args) {
  const std::string err = dir.file("stderr.txt");
  const std::string cmd = "cd '" + dir.path.string() + "' && '" CORVANE_BINARY_DIR "/corvane-tool' " + args + " 2>'" + err + "'";
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  const int status = pclose(p);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, file_text(err)};
}

json info(const scratch_dir& dir, const std::string& file) {
  const run_result r = tool(dir, "info " + file);
  EXPECT_EQ(r.code, 0) << r.err;
  return json::parse(r.out);
}

TEST(Tool, NewWritesTheBlankDesign) {
  scratch_dir dir;
  const run_result r = tool(dir, "new blank.vessdef");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read_bytes(dir.file("blank.vessdef")).size(), 928u);
  const json j = info(dir, "blank.vessdef");
  const json& h = j["header"];
  EXPECT_EQ(h["magic"], 0xAEAADBCDu);
  EXPECT_EQ(h["vessel_name"], "The vessel");
  EXPECT_EQ(h["pitch_moment_scale"], 0.00001);
  EXPECT_EQ(h["albedo"], 0xFFFFFFFFu);
  EXPECT_EQ(h.begin().key(), "magic");
  EXPECT_EQ((--h.end()).key(), "aero_element_count");
  EXPECT_EQ(h.size(), 43u);                  // every field, no padding
  EXPECT_EQ(h["pmi"], json::array({0.0, 0.0, 0.0}));
  const char* arrays[] = {"fuel_tanks", "thrusters", "exhausts", "meshes", "anim_seqs", "vc_views",
                          "touchdown_sets", "beacons", "docks", "crew", "aero_elements"};
  ASSERT_EQ(j.size(), 12u);
  for (const char* a : arrays) EXPECT_EQ(j[a].size(), std::string(a) == "crew" ? 1u : 0u) << a;
  EXPECT_EQ(j["crew"][0]["max_crew"], 0);
}

TEST(Tool, TemplatePrintsEveryStoredField) {
  scratch_dir dir;
  ASSERT_EQ(tool(dir, "template t.vessdef").code, 0);
  const run_result r = tool(dir, "info t.vessdef");
  ASSERT_EQ(r.code, 0) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["thrusters"].size(), 20u);
  EXPECT_EQ(j["thrusters"][0]["groups"], json::array({0, 9999, 9999, 9999, 9999, 9999, 9999, 9999}));
  const json& gear = j["anim_seqs"][0];
  EXPECT_EQ(gear["state"], -2);
  EXPECT_EQ(gear["default_pos"], 1.0);
  EXPECT_EQ(gear["group_lists"][6], json::array({60, 61, 79, 80}));
  EXPECT_EQ(gear["comps"].size(), 14u);
  EXPECT_EQ(gear["comps"][0]["ref"], json::array({0.0, -1.048, 8.561}));
  // the f32 angle prints as the float's own shortest text
  EXPECT_NE(r.out.find("\"angle\": -1.6580628,"), std::string::npos);
  EXPECT_EQ(j["vc_views"][0]["mfds"][1], json({{"mesh", 1}, {"group", 110}, {"mfd", 1}}));
  EXPECT_EQ(j["vc_views"][0]["neighbours"], json::array({1, 2, -1, -1}));
  EXPECT_FALSE(j["beacons"][0].contains("pos_ref"));   // run-time slots stay out
  EXPECT_EQ(j["beacons"][6]["active"], 1);
  EXPECT_EQ(j["meshes"][0]["name"], "dg\\deltaglider");
  EXPECT_EQ(j["header"]["vc_camera"], json::array({0.0, 1.467, 6.782}));
}

TEST(Tool, InfoPrintsDoublesInTheirShortestExactForm) {
  scratch_dir dir;
  vessel_design d;
  write_design_file(d, dir.file("blank.vessdef"));
  const run_result blank = tool(dir, "info blank.vessdef");
  ASSERT_EQ(blank.code, 0) << blank.err;
  // laid out as the JSON library lays out two-space indents
  EXPECT_EQ(blank.out, json::parse(blank.out).dump(2) + "\n");
  EXPECT_NE(blank.out.find("\"empty_mass\": 1000.0,"), std::string::npos);   // still a float
  EXPECT_NE(blank.out.find("\"fuel_tanks\": [],"), std::string::npos);
  d.header.size = 914.446362515413;          // the library alone prints 914.4463625154131
  d.header.empty_mass = 1.0 / 3;
  write_design_file(d, dir.file("odd.vessdef"));
  const run_result odd = tool(dir, "info odd.vessdef");
  ASSERT_EQ(odd.code, 0) << odd.err;
  EXPECT_NE(odd.out.find("\"size\": 914.446362515413,"), std::string::npos) << odd.out;
  EXPECT_NE(odd.out.find("\"empty_mass\": 0.3333333333333333,"), std::string::npos);
  EXPECT_EQ(json::parse(odd.out)["header"]["size"].get<double>(), d.header.size);
}

TEST(Tool, InfoReadsTheBlockAtTheEndOfAModule) {
  scratch_dir dir;
  vessel_design d;
  apply_template(d);
  const std::vector<uint8_t> image(module_image_size, 0x90);
  write_design_file(d, dir.file("glider.dll"), image.data(), image.size());
  const json j = info(dir, "glider.dll");
  EXPECT_EQ(j["header"]["dll_name"], "deltaglider_vrk");
  EXPECT_EQ(j["exhausts"].size(), 21u);
}

TEST(Tool, ImportTakesItsNameAndReportsRenumbering) {
  scratch_dir dir;
  const std::string ini = "[CONFIG]\nMESHNAME=ship\nFUEL_MASS=500\nISP=3000\nMAIN_THRUST=100000\n[ANIM_SEQ_2]\nKEY=G\n";
  write_bytes(dir.file("ship.ini"), std::vector<uint8_t>(ini.begin(), ini.end()));
  const run_result r = tool(dir, "import-sc3 ship.ini ship.vessdef --name Cutter");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("ANIM_SEQ_2"), std::string::npos);
  const json j = info(dir, "ship.vessdef");
  EXPECT_EQ(j["header"]["vessel_name"], "Cutter");
  EXPECT_EQ(j["thrusters"].size(), 1u);
  EXPECT_EQ(j["anim_seqs"][0]["key"], 34);
  ASSERT_EQ(tool(dir, "import-sc3 ship.ini default.vessdef").code, 0);
  EXPECT_EQ(info(dir, "default.vessdef")["header"]["dll_name"], "new_vessel");
}

// A one-line message on standard error, nothing on standard output, exit 1.
void expect_failure(const run_result& r, const std::string& message) {
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_EQ(r.err.find(message), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST(Tool, DamagedFilesAreReportedWithExitOne) {
  scratch_dir dir;
  vessel_design d;
  apply_template(d);
  const std::vector<uint8_t> good = design_block_bytes(d);
  auto damaged = [&](const char* name, size_t offset, uint32_t value) {
    std::vector<uint8_t> b = good;
    std::memcpy(b.data() + offset, &value, sizeof value);
    write_bytes(dir.file(name), b);
  };
  write_bytes(dir.file("short.vessdef"), {1, 2, 3});
  write_bytes(dir.file("nomarker.vessdef"), std::vector<uint8_t>(good.begin(), good.end() - 1));
  damaged("huge.vessdef", 792, 2000000000);
  damaged("magic.vessdef", 0, 0x01020304);
  expect_failure(tool(dir, "info short.vessdef"), "no design block in short.vessdef");
  expect_failure(tool(dir, "info nomarker.vessdef"), "no design block in nomarker.vessdef");
  expect_failure(tool(dir, "info huge.vessdef"), "damaged design block in huge.vessdef");
  expect_failure(tool(dir, "info magic.vessdef"), "bad design header in magic.vessdef");
  expect_failure(tool(dir, "info missing.vessdef"), "cannot read missing.vessdef");
}

TEST(Tool, WriteErrorsAndBadCommandLines) {
  scratch_dir dir;
  expect_failure(tool(dir, "new no/folder/x.vessdef"), "cannot write no/folder/x.vessdef: ");
  expect_failure(tool(dir, "new"), "usage: corvane-tool new OUT");
  expect_failure(tool(dir, "import-sc3 a b --title x"), "usage: corvane-tool import-sc3");
  expect_failure(tool(dir, "frobnicate"), "unknown command frobnicate");
  expect_failure(tool(dir, ""), "usage: corvane-tool COMMAND");
  const run_result help = tool(dir, "--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("import-sc3 IN OUT [--name NAME]"), std::string::npos);
  const run_result one = tool(dir, "template --help");
  EXPECT_EQ(one.code, 0);
  EXPECT_EQ(one.out.find("usage: corvane-tool template OUT"), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("--help")));
}

TEST(Tool, CheckReportsFindingsAsSortedJson) {
  scratch_dir dir;
  vessel_design d;
  apply_template(d);
  write_design_file(d, dir.file("ship.vessdef"));
  d.data.thrusters[3].tank = 7;
  d.header.empty_mass = 0;
  write_design_file(d, dir.file("broken.vessdef"));
  const std::string root = " --root '" CORVANE_DEMO_ROOT "'";
  const run_result clean = tool(dir, "check ship.vessdef" + root);
  EXPECT_EQ(clean.code, 0) << clean.err;
  for (const json& f : json::parse(clean.out)) EXPECT_NE(f["severity"], "error") << f;
  const run_result broken = tool(dir, "check broken.vessdef" + root);
  EXPECT_EQ(broken.code, 1);
  const json found = json::parse(broken.out);
  ASSERT_GE(found.size(), 2u);
  EXPECT_EQ(found[0], (json{{"severity", "error"}, {"code", "empty-mass"}, {"kind", "header"}, {"index", -1},
                            {"text", "The empty mass is 0 kg."}}));
  EXPECT_EQ(found[1]["code"], "thruster-tank");
  EXPECT_EQ(found[1]["index"], 3);
  EXPECT_EQ(tool(dir, "check missing.vessdef").code, 1);
  EXPECT_NE(tool(dir, "check --help").out.find("touchdown-tip"), std::string::npos);
}

TEST(Tool, DiffNamesEachChangedFieldWithBothValues) {
  scratch_dir dir;
  vessel_design d;
  apply_template(d);
  write_design_file(d, dir.file("a.vessdef"));
  const double was = d.data.thrusters[3].max_thrust;
  d.data.thrusters[3].max_thrust = 1234.5;
  add_dock(d);
  write_design_file(d, dir.file("b.vessdef"));
  const run_result same = tool(dir, "diff a.vessdef a.vessdef");
  EXPECT_EQ(same.code, 0) << same.err;
  EXPECT_EQ(same.out, "");
  const run_result changed = tool(dir, "diff a.vessdef b.vessdef");
  EXPECT_EQ(changed.code, 1) << changed.err;
  const json j = json::parse(changed.out);
  EXPECT_EQ(j[0], (json{{"path", "header.dock_count"}, {"old", 1}, {"new", 2}}));
  EXPECT_EQ(j[1], (json{{"path", "thrusters[3].max_thrust"}, {"old", was}, {"new", 1234.5}}));
  EXPECT_EQ(j[2]["path"], "docks[1]");
  EXPECT_EQ(j[2]["old"], nullptr);
  EXPECT_EQ(j.size(), 3u);
}

}  // namespace
