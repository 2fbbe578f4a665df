// corvane-tool run as a program: design files written, read back as JSON, errors reported.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <cstdlib>
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

// A one-line message on standard error, nothing on standard output, exit 1
// (2 for a wrong command line).
void expect_failure(const run_result& r, const std::string& message, int code = 1) {
  EXPECT_EQ(r.code, code);
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
  expect_failure(tool(dir, "new"), "usage: corvane-tool new OUT", 2);
  expect_failure(tool(dir, "import-sc3 a b --title x"), "usage: corvane-tool import-sc3", 2);
  expect_failure(tool(dir, "frobnicate"), "unknown command frobnicate", 2);
  expect_failure(tool(dir, ""), "usage: corvane-tool COMMAND", 2);
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

// Runs the tool through the shell with its standard output sent to out; the exit status.
int tool_to(const scratch_dir& dir, const std::string& args, const std::string& out) {
  const std::string cmd = "cd '" + dir.path.string() + "' && '" CORVANE_BINARY_DIR "/corvane-tool' " + args +
                          " >" + out + " 2>stderr.txt";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Tool, OutputsThatAreNoRegularFileOrTheInputItselfAreRefused) {
  scratch_dir dir;
  ASSERT_EQ(tool(dir, "template t.vessdef").code, 0);
  const std::vector<uint8_t> design = read_bytes(dir.file("t.vessdef"));
  std::filesystem::create_directory(dir.file("folder"));
  ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
  for (const char* target : {"/dev/full", "folder", "pipe"}) {
    const run_result r = tool(dir, std::string("generate t.vessdef --allow-missing -o ") + target);
    EXPECT_EQ(r.code, 1) << target;
    EXPECT_NE(r.err.find(std::string("cannot write ") + target + ": it is"), std::string::npos) << r.err;
  }
  EXPECT_EQ(std::filesystem::status("/dev/full").type(), std::filesystem::file_type::character);
  EXPECT_EQ(std::filesystem::status(dir.file("pipe")).type(), std::filesystem::file_type::fifo);
  // a link is followed: its target is replaced, the link stays
  std::filesystem::create_directory(dir.file("real"));
  std::filesystem::create_symlink("real/listing.txt", dir.file("link.txt"));
  ASSERT_EQ(tool(dir, "listing t.vessdef -o link.txt").code, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
  EXPECT_NE(file_text(dir.file("real/listing.txt")).find("Thrusters:"), std::string::npos);
  // the output is the input
  std::filesystem::copy_file(CORVANE_DEMO_ROOT "/Textures/dg/seat.bmp", dir.file("seat.bmp"));
  for (const char* args : {"listing t.vessdef -o t.vessdef", "module t.vessdef -o ./t.vessdef",
                           "import-sc3 t.vessdef t.vessdef --force", "image seat.bmp --raw seat.bmp"}) {
    const run_result r = tool(dir, args);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_NE(r.err.find("is the input file"), std::string::npos) << r.err;
  }
  EXPECT_EQ(read_bytes(dir.file("t.vessdef")), design);
  EXPECT_EQ(read_bytes(dir.file("seat.bmp")), read_bytes(CORVANE_DEMO_ROOT "/Textures/dg/seat.bmp"));
  // an existing design is kept without --force
  const run_result again = tool(dir, "new t.vessdef");
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.err.find("t.vessdef exists; give --force"), std::string::npos) << again.err;
  EXPECT_EQ(read_bytes(dir.file("t.vessdef")), design);
  const run_result forced = tool(dir, "new t.vessdef --force");
  EXPECT_EQ(forced.code, 0);
  EXPECT_EQ(forced.out, "t.vessdef: 928 bytes\n");            // each file written, with its size
  EXPECT_EQ(tool(dir, "template t.vessdef --force --quiet").out, "");
}

TEST(Tool, StandardOutputThatCannotBeWrittenIsAFailure) {
  scratch_dir dir;
  ASSERT_EQ(tool(dir, "new n.vessdef").code, 0);
  EXPECT_EQ(tool_to(dir, "info n.vessdef", "/dev/full"), 1);
  EXPECT_NE(file_text(dir.file("stderr.txt")).find("cannot write standard output"), std::string::npos);
  EXPECT_EQ(tool_to(dir, "info n.vessdef", "/dev/null"), 0);
}

TEST(Tool, UsageErrorsNameTheArgumentAndHelpExplains) {
  scratch_dir dir;
  const struct { const char* args; const char* named; } wrong[] = {
    {"generate x --nmae X", "unknown option --nmae"}, {"new", "missing OUT"}, {"import-sc3 a", "missing OUT"},
    {"new a b", "unexpected argument b"}, {"import-sc3 a b --name", "option --name needs a value"},
    {"listing t.vessdef", "missing -o OUT"}, {"help frobnicate", "unknown command frobnicate"}};
  for (const auto& w : wrong) {
    const run_result r = tool(dir, w.args);
    EXPECT_EQ(r.code, 2) << w.args;
    EXPECT_NE(r.err.find(w.named), std::string::npos) << w.args << ": " << r.err;
  }
  const run_result help = tool(dir, "help generate");
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out, tool(dir, "generate --help").out);
  EXPECT_NE(help.out.find("Example:\n  corvane-tool generate "), std::string::npos) << help.out;
  EXPECT_NE(tool(dir, "--help").out.find("Exit codes: 0 success, 1 the command failed, 2 the command line is wrong"),
            std::string::npos);
  EXPECT_NE(tool(dir, "help module").out.find("Modules/DLLNAME.dll"), std::string::npos);
  EXPECT_EQ(tool(dir, "--version").out.rfind("corvane-tool ", 0), 0u);
}

TEST(Tool, InputsAreKnownByTheirContentNotTheirName) {
  scratch_dir dir;
  ASSERT_EQ(tool(dir, "template design.ini").code, 0);        // a design file named like a Spacecraft3 vessel
  EXPECT_EQ(info(dir, "design.ini")["header"]["vessel_name"], "DeltaGlider_vrk");
  const std::string sc3 = "[CONFIG]\nMESHNAME=ship\n";
  write_bytes(dir.file("ship.vessdef"), std::vector<uint8_t>(sc3.begin(), sc3.end()));  // and the other way round
  EXPECT_EQ(info(dir, "ship.vessdef")["meshes"][0]["name"], "ship");
  write_bytes(dir.file("notes.txt"), {'h', 'i', '\n'});
  const run_result neither = tool(dir, "generate notes.txt");
  EXPECT_EQ(neither.code, 1);
  EXPECT_NE(neither.err.find("not a design file, a vessel module or a Spacecraft3 vessel"), std::string::npos)
      << neither.err;
}

TEST(Tool, ImportNotesEveryKeyAndSectionItDoesNotKnow) {
  scratch_dir dir;
  const std::string ini = "[CONFIG]\nEMTPY_MASS=5\nmeshname=ship\n[config]\nSIZE=3\n[ANIM_SEQ_0]\nKEY=F12\n";
  write_bytes(dir.file("ship.ini"), std::vector<uint8_t>(ini.begin(), ini.end()));
  const run_result r = tool(dir, "import-sc3 ship.ini ship.vessdef");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("note: line 2: key \"EMTPY_MASS\" is not a key of [CONFIG]"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("note: line 4: section [config] is not one the import knows"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("note: line 7: KEY=F12 of [ANIM_SEQ_0] names no key"), std::string::npos) << r.err;
  EXPECT_EQ(info(dir, "ship.vessdef")["meshes"][0]["name"], "ship");   // lower-case keys still count
  write_bytes(dir.file("empty.ini"), {});
  write_bytes(dir.file("binary.ini"), {0, 1, 2, 0xFF, '\n', 0x80});
  for (const char* in : {"empty.ini", "binary.ini"}) {
    const run_result bad = tool(dir, std::string("import-sc3 ") + in + " out.vessdef");
    EXPECT_EQ(bad.code, 1) << in;
    EXPECT_NE(bad.err.find("no [section]"), std::string::npos) << bad.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.vessdef")));
}

}  // namespace
