// Finding and loading modules and their designs: the two images, "test.ves",
// damaged blocks, the Payload Manager library, skipped classes, the run
// without arguments.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <cstring>
#include <filesystem>
#include "design/designfile.h"
#include "design/kvgen.h"
#include "flight_harness.h"
#include "module_images.h"

namespace {

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v;
  memcpy(&v, b.data() + at, 4);
  return v;
}

void put_u32(std::vector<uint8_t>& b, size_t at, uint32_t v) { memcpy(b.data() + at, &v, 4); }

TEST(ModuleImages, BothImagesAreExactlyTheImageSizeAndDiffer) {
  module_image pm = module_image_pm(), plain = module_image_plain();
  ASSERT_EQ(pm.size, 69632u);
  ASSERT_EQ(plain.size, 69632u);
  EXPECT_NE(memcmp(pm.bytes, plain.bytes, pm.size), 0);
  EXPECT_EQ(module_image_for(true).bytes, pm.bytes);
  EXPECT_EQ(module_image_for(false).bytes, plain.bytes);
  for (module_image image : {pm, plain}) {
    ASSERT_EQ(memcmp(image.bytes, "\x7f" "ELF", 4), 0);
    // everything after the section headers, the last part of the shared object, is padding
    uint64_t shoff;
    uint16_t shentsize, shnum;
    memcpy(&shoff, image.bytes + 0x28, 8);
    memcpy(&shentsize, image.bytes + 0x3A, 2);
    memcpy(&shnum, image.bytes + 0x3C, 2);
    uint64_t end = shoff + uint64_t(shentsize) * shnum;
    ASSERT_LE(end, image.size);
    for (uint64_t i = end; i < image.size; i++) ASSERT_EQ(image.bytes[i], 0) << i;
  }
}

TEST(ModuleImages, BlankDesignModuleFileLayout) {
  vessel_design d;
  std::vector<uint8_t> file = module_bytes(d);
  ASSERT_EQ(file.size(), 70560u);
  EXPECT_EQ(memcmp(file.data(), module_image_pm().bytes, 69632), 0);   // the blank design asks for it
  EXPECT_EQ(u32_at(file, 69632), 0xAEAADBCDu);
  EXPECT_EQ(u32_at(file, file.size() - 8), 0xAEAADBCDu);
  EXPECT_EQ(u32_at(file, file.size() - 4), 924u);
  d.header.payload_manager = 0;
  EXPECT_EQ(memcmp(module_bytes(d).data(), module_image_plain().bytes, 69632), 0);
}

TEST(FlightLoading, OnlyThePayloadManagerImageExportsSecInit) {
  flight_root root;
  vessel_design pm = named_design("With", true), plain = named_design("Without", false);
  root.install(pm, true);
  root.install(plain);
  root.add_scenario("two.scn", {{"With-1", "With", {"PAYLOAD bay1 empty"}}, {"Without-1", "Without", {}}});
  flight_result r = root.fly({"Scenarios/two.scn", "--steps", "4"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(starting(r.report, "module \"With\" loaded")[0],
            "module \"With\" loaded from \"./Modules/With.dll\" version 100 with secInit");
  EXPECT_EQ(starting(r.report, "module \"Without\" loaded")[0],
            "module \"Without\" loaded from \"./Modules/Without.dll\" version 100");
  std::vector<std::string> with = calls(r, "With-1");
  EXPECT_EQ(with[1], "pm init_pm 2 2");
  EXPECT_NE(index_of(with, "pm loadState \"PAYLOAD bay1 empty\""), -1);
  EXPECT_EQ(index_of(with, "ParseScenarioLineEx \"PAYLOAD bay1 empty\""), -1);   // the library took it
  EXPECT_NE(index_of(with, "saved PAYLOAD bay1 empty"), -1);
  EXPECT_NE(index_of(with, "secInit \"With\""), -1);
  EXPECT_NE(index_of(r.report, "[editor] pm DefineScenarioEditorPage"), -1);
  EXPECT_NE(index_of(with, "pm delete_pm after 4 pre-steps and 4 post-steps"), -1);
  EXPECT_TRUE(starting(calls(r, "Without-1"), "pm ").empty());
}

TEST(FlightLoading, MissingPayloadManagerLibraryEndsTheSimulator) {
  flight_root root(false, true);
  vessel_design d = named_design("Carrier", true);
  root.install(d);
  root.add_scenario("c.scn", {{ship_of(d), "Carrier", {}}});
  flight_result r = root.fly({"Scenarios/c.scn", "--steps", "2"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.errors.find("[Payload Manager]"), std::string::npos) << r.errors;
  EXPECT_NE(r.errors.find("PayloadManager.dll"), std::string::npos);
  std::vector<std::string> v = calls(r, ship_of(d));
  EXPECT_EQ(v, std::vector<std::string>{"ovcInit"});    // the box came as the vessel was created
}

TEST(FlightLoading, TestVesInTheCurrentFolderTakesPrecedence) {
  flight_root root;
  vessel_design d = named_design("Probe");
  d.header.size = 3;
  root.install(d);
  root.add_scenario("p.scn", {{ship_of(d), "Probe", {}}});
  vessel_design other = named_design("Elsewhere");
  other.header.size = 42;
  root.write("test.ves", design_file_bytes(other));
  flight_result r = root.fly({"Scenarios/p.scn", "--steps", "0"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(starting(calls(r, ship_of(d)), "SetSize"), std::vector<std::string>{"SetSize 42"});

  root.write("test.ves", std::string("not a design"));   // a damaged test design is not passed over
  r = root.fly({"Scenarios/p.scn", "--steps", "0"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_TRUE(starting(calls(r, ship_of(d)), "SetSize").empty());

  std::filesystem::remove(root.path("test.ves"));
  r = root.fly({"Scenarios/p.scn", "--steps", "0"});
  EXPECT_EQ(starting(calls(r, ship_of(d)), "SetSize"), std::vector<std::string>{"SetSize 3"});
}

TEST(FlightLoading, DamagedBlocksCreateNoVesselAndAreReported) {
  vessel_design good = named_design("Good");
  vessel_design d = named_design("Bad");
  add_fuel_tank(d, 100);
  const std::vector<uint8_t> intact = module_bytes(d);
  const size_t block = 69632;
  std::vector<std::vector<uint8_t>> damaged;
  damaged.push_back(std::vector<uint8_t>(intact.begin(), intact.begin() + 70000));  // cut short
  std::vector<uint8_t> b = intact;                                // a count past the bytes present
  put_u32(b, block + 788, 1000000);
  damaged.push_back(b);
  b = intact;                                                     // a negative count
  put_u32(b, block + 804, 0xFFFFFFFF);
  damaged.push_back(b);
  b = intact;                                                     // a length reaching before the file
  put_u32(b, b.size() - 4, 0x7FFFFFF0);
  damaged.push_back(b);
  b = intact;                                                     // arrays shortened, length adjusted
  b.erase(b.begin() + block + 840, b.begin() + block + 848);
  put_u32(b, b.size() - 4, u32_at(b, b.size() - 4) - 8);
  damaged.push_back(b);
  for (size_t i = 0; i < damaged.size(); i++) {
    flight_root root;
    root.install(good);
    root.write("Modules/Bad.dll", damaged[i]);
    root.add_class("Bad", "Bad");
    root.add_scenario("d.scn", {{"Bad-1", "Bad", {}}, {"Good-1", "Good", {}}});
    flight_result r = root.fly({"Scenarios/d.scn", "--steps", "1"});
    EXPECT_EQ(r.exit_code, 1) << i << r.errors;
    EXPECT_EQ(calls(r, "Bad-1"), (std::vector<std::string>{"ovcInit", "no vessel created by module \"Bad\""})) << i;
    EXPECT_NE(index_of(calls(r, "Good-1"), "clbkSetClassCaps"), -1) << i;   // the others still fly
    EXPECT_EQ(r.report.back(), "some vessels were not created") << i;
  }
}

TEST(FlightLoading, ClassesWithoutModulesAreSkippedAndNamesMatchAnyCase) {
  flight_root root;
  std::filesystem::remove_all(root.path("Modules"));         // the installation's own capitalisation
  std::filesystem::remove_all(root.path("Config"));
  vessel_design d = named_design("Rover");
  root.write("modules/ROVER.DLL", module_bytes(d));
  root.write("config/vessels/rover.cfg", std::string("ClassName=Rover\r\nModule=Rover\r\n"));
  root.write("config/vessels/Decor.cfg", std::string("ClassName=Decor\r\n"));
  root.write("config/vessels/Ghost.cfg", std::string("Module=Ghost\r\n"));  // naming no file
  root.add_scenario("r.scn", {{"R-1", "Rover", {}}, {"D-1", "Decor", {}}, {"X-1", "Unknown", {}}});
  flight_result r = root.fly({"Scenarios/r.scn", "--steps", "0"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_NE(index_of(calls(r, "R-1"), "clbkSetClassCaps"), -1);
  EXPECT_NE(index_of(r.report, "[D-1] class \"Decor\" skipped: no module"), -1);
  EXPECT_NE(index_of(r.report, "[X-1] class \"Unknown\" skipped: no configuration"), -1);
  EXPECT_EQ(r.report[r.report.size() - 2],
            "skipped: [D-1] class \"Decor\": no module; [X-1] class \"Unknown\": no configuration");

  root.add_scenario("g.scn", {{"G-1", "Ghost", {}}});
  r = root.fly({"Scenarios/g.scn", "--steps", "0"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(index_of(r.report, "module \"Ghost\" missing"), -1);
}

TEST(FlightLoading, WithoutArgumentsFliesTheNewestScenarioForTenSeconds) {
  flight_root root;
  vessel_design d = named_design("Cab");
  root.install(d);
  root.add_scenario("old.scn", {{"Old-1", "Cab", {}}});
  root.add_scenario("deep/new.scn", {{"New-1", "Cab", {}}});
  struct timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
  utimensat(AT_FDCWD, root.path("Scenarios/old.scn").c_str(), old_times, 0);
  flight_result r = root.fly({});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  ASSERT_FALSE(r.report.empty());
  EXPECT_EQ(r.report[0], "scenario \"./Scenarios/deep/new.scn\" steps 100 dt 0.1");
  EXPECT_NE(index_of(calls(r, "New-1"), "clbkPostStep 10 0.1"), -1);
  EXPECT_TRUE(calls(r, "Old-1").empty());
}

TEST(FlightLoading, BadCommandLinesAndMissingScenariosFail) {
  flight_root root;
  root.add_scenario("empty.scn", {});
  const std::vector<std::vector<std::string>> bad = {
    {"--steps"}, {"--steps", "-5"}, {"--steps", "3x"}, {"--steps", "99999999999"}, {"--steps", ""},
    {"--dt", "0"}, {"--dt", "-1"}, {"--dt", "inf"}, {"--dt", "nan"}, {"--dt", "0.1s"},
    {"--dt", "1e-300"},                               // ten seconds would take too many steps
    {"--key", "x:34"}, {"--key", "0:999"}, {"--key", "0:34junk"}, {"--key", "0:34:ctrl"}, {"--key", "34"},
    {"--key", "-1:34"}, {"--bogus"}, {"Scenarios/empty.scn", "again.scn"}};
  for (std::vector<std::string> args : bad) {
    args.insert(args.begin(), "Scenarios/empty.scn");
    flight_result r = root.fly(args);
    EXPECT_EQ(r.exit_code, 1) << args[1];
    EXPECT_NE(r.errors.find("veltora: "), std::string::npos) << args[1];
    EXPECT_NE(r.errors.find("usage: "), std::string::npos) << args[1];
    EXPECT_TRUE(r.report.empty()) << args[1];          // nothing flown
  }
  flight_result ok = root.fly({"Scenarios/empty.scn", "--steps", "0", "--dt", "0.5", "--key", "0:34:alt"});
  EXPECT_EQ(ok.exit_code, 0) << ok.errors;
  ok = root.fly({"Scenarios/empty.scn", "--dt", "0.25"});
  ASSERT_FALSE(ok.report.empty());
  EXPECT_EQ(ok.report[0], "scenario \"Scenarios/empty.scn\" steps 40 dt 0.25");
  flight_result r = root.fly({"Scenarios/none.scn"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.errors.find("no scenario"), std::string::npos);
}

} // namespace
