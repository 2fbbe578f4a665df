// The design block: exact bytes, round trips, modules, and damaged files.
#include <gtest/gtest.h>
#include "common/recording_preview.h"

#include <cstring>
#include <memory>
#include <random>
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "common/scratch_dir.h"

namespace {

uint32_t u32_at(const std::vector<uint8_t>& b, size_t offset) {
  uint32_t v;
  std::memcpy(&v, b.data() + offset, sizeof v);
  return v;
}

void put_u32(std::vector<uint8_t>& b, size_t offset, uint32_t v) { std::memcpy(b.data() + offset, &v, sizeof v); }

TEST(DesignFile, BlankDesignIs928BytesEndingInMarkerAnd924) {
  vessel_design d;
  const std::vector<uint8_t> b = design_block_bytes(d);
  ASSERT_EQ(b.size(), 928u);
  EXPECT_EQ(u32_at(b, 0), design_magic);
  EXPECT_EQ(u32_at(b, 920), design_magic);
  EXPECT_EQ(u32_at(b, 924), 924u);
  EXPECT_EQ(design_block_size(d), 924u);
}

TEST(DesignFile, BlankDesignReadsBackToEveryBlankValue) {
  scratch_dir dir;
  vessel_design d;
  write_design_file(d, dir.file("blank.vessdef"));
  vessel_design back;
  apply_template(back);                      // something to be replaced
  const design_read_result r = read_design_file(back, dir.file("blank.vessdef"));
  ASSERT_EQ(r.status, design_read_ok) << r.message;
  const design_header blank = blank_header();
  EXPECT_EQ(std::memcmp(&back.header, &blank, sizeof blank), 0);
  ASSERT_EQ(back.data.crew.size(), 1u);
  EXPECT_EQ(back.data.crew[0].max_crew, 0);
  EXPECT_TRUE(back.data.thrusters.empty());
  EXPECT_TRUE(back.data.anim_seqs.empty());
  EXPECT_TRUE(back.anim_playing.empty());
}

TEST(DesignFile, AnimationOccupiesRecordListsAndComponents) {
  vessel_design d;
  const int a = add_animation(d, 34, 1, 0);
  add_group_list(d, a, {1, 2, 3});
  add_group_list(d, a, {4});
  add_component(d, a, anim_comp{});
  add_component(d, a, anim_comp{});
  EXPECT_EQ(design_block_bytes(d).size(), 928u + 48 + 16 + 8 + 160);
}

TEST(DesignFile, WriteReadWriteGivesIdenticalBytes) {
  vessel_design t;
  apply_template(t);
  t.data.beacons[2].pos_ref = 0xDEADBEEF;    // stored slots travel unchanged
  const std::vector<uint8_t> first = design_block_bytes(t);
  vessel_design back;
  ASSERT_EQ(read_design_bytes(back, first.data(), first.size()).status, design_read_ok);
  EXPECT_EQ(design_block_bytes(back), first);
  EXPECT_EQ(back.data.anim_seqs[0].group_lists[6], (aointeger{60, 61, 79, 80}));
  EXPECT_EQ(back.data.vc_views[0].mfds.size(), 2u);
  EXPECT_EQ(back.anim_playing.size(), 2u);
}

TEST(DesignFile, SavingStoresAnimationsAtRestAtZeroAndLeavesTheLiveOnes) {
  vessel_design d;
  apply_template(d);
  play_animation(d, 1);
  for (int i = 0; i < 8; ++i) update_design_frame(d, 1);   // nose cone to 0.4
  ASSERT_NEAR(d.data.anim_seqs[1].seq.position, 0.4, 1e-12);
  const std::vector<uint8_t> b = design_block_bytes(d);
  EXPECT_NEAR(d.data.anim_seqs[1].seq.position, 0.4, 1e-12);   // the live design keeps playing
  EXPECT_NE(d.data.anim_seqs[1].seq.state, anim_rest);
  vessel_design back;
  read_design_bytes(back, b.data(), b.size());
  for (const anim_entry& a : back.data.anim_seqs) {
    EXPECT_EQ(a.seq.state, anim_rest);
    EXPECT_EQ(a.seq.position, 0.0);
  }
  EXPECT_EQ(back.data.anim_seqs[0].seq.default_pos, 1.0);
  EXPECT_EQ(back.data.anim_seqs[1].seq.default_pos, 0.0);
}

TEST(DesignFile, BlockAfterAModuleImageReadsTheSame) {
  scratch_dir dir;
  vessel_design t;
  apply_template(t);
  const std::vector<uint8_t> image(module_image_size, 0x5A);
  write_design_file(t, dir.file("m.dll"), image.data(), image.size());
  write_design_file(t, dir.file("m.vessdef"));
  const std::vector<uint8_t> module = read_bytes(dir.file("m.dll")), plain = read_bytes(dir.file("m.vessdef"));
  ASSERT_EQ(module.size(), module_image_size + plain.size());
  EXPECT_EQ(u32_at(module, module_image_size), design_magic);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), module.begin() + module_image_size));
  vessel_design back;
  ASSERT_EQ(read_design_file(back, dir.file("m.dll")).status, design_read_ok);
  EXPECT_EQ(design_block_bytes(back), plain);
}

TEST(DesignFile, PreviewHearsOfEveryLoadedMeshAndAnimationOfTheDesignItShows) {
  vessel_design t;
  apply_template(t);
  const std::vector<uint8_t> b = design_block_bytes(t);
  vessel_design back, beside;
  recording_preview rec;
  told.radius = 42.0;
  preview.shown = &back;
  read_design_bytes(beside, b.data(), b.size());   // read beside the shown design: nothing told
  EXPECT_EQ(told.resets + told.meshes.size() + told.comps.size(), 0u);
  read_design_bytes(back, b.data(), b.size());
  EXPECT_EQ(told.resets, 1);
  EXPECT_EQ(told.meshes, (std::vector<std::string>{"dg\\deltaglider", "dg\\deltaglidercockpit"}));
  EXPECT_EQ(told.comps.size(), 21u);
  EXPECT_EQ(back.header.size, 42.0);         // the loaded mesh raised it
}

// --- Damaged input --------------------------------------------------------------------------

struct damaged_case {
  const char* what;
  std::vector<uint8_t> bytes;
  design_read_status status;
};

std::vector<damaged_case> damaged_files() {
  vessel_design t;
  apply_template(t);
  const std::vector<uint8_t> good = design_block_bytes(t);
  std::vector<damaged_case> cases;
  cases.push_back({"empty", {}, design_no_block});
  cases.push_back({"seven bytes", {0xCD, 0xDB, 0xAA, 0xAE, 1, 2, 3}, design_no_block});
  std::vector<uint8_t> b = good;
  b.pop_back();
  cases.push_back({"cut at the end", b, design_no_block});
  b = good;
  put_u32(b, 804 - 16 + 4, 2000000000);      // thruster count
  cases.push_back({"huge thruster count", b, design_damaged});
  b = good;
  put_u32(b, 788, uint32_t(-1));             // negative tank count
  cases.push_back({"negative count", b, design_damaged});
  b = good;
  put_u32(b, 0, 0x12345678);
  cases.push_back({"bad header magic", b, design_bad_header});
  b = good;
  put_u32(b, b.size() - 4, uint32_t(b.size()));   // length beyond the file
  cases.push_back({"length beyond the file", b, design_damaged});
  b = good;
  put_u32(b, b.size() - 4, 100);             // shorter than a header
  cases.push_back({"length below a header", b, design_damaged});
  b = std::vector<uint8_t>(good.begin() + 500, good.end());
  cases.push_back({"front cut off", b, design_damaged});
  b = good;
  put_u32(b, 808, 0);                        // no animations: their bytes are left over
  cases.push_back({"count too small", b, design_damaged});
  // a group list claiming 2,000,000,000 indices inside the first animation
  b = good;
  const size_t first_list = 840 + 2 * 8 + 20 * 120 + 21 * 80 + 2 * 268 + 48;
  put_u32(b, first_list, 2000000000);
  cases.push_back({"huge group list", b, design_damaged});
  return cases;
}

TEST(DesignFile, DamagedBlocksGiveAnErrorAndTheStatedDesign) {
  for (const damaged_case& c : damaged_files()) {
    SCOPED_TRACE(c.what);
    vessel_design d;
    apply_template(d);
    const design_read_result r = read_design_bytes(d, c.bytes.data(), c.bytes.size(), "x.vessdef");
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.message.find("x.vessdef"), std::string::npos) << r.message;
    if (c.status == design_no_block) {
      EXPECT_EQ(d.data.thrusters.size(), 20u);   // untouched
    } else {
      EXPECT_STREQ(d.header.vessel_name, "The vessel");
      EXPECT_TRUE(d.data.thrusters.empty());
      EXPECT_EQ(d.data.crew.size(), 1u);
    }
  }
}

TEST(DesignFile, RandomDamageNeverCrashesOrOverreads) {
  vessel_design t;
  apply_template(t);
  const std::vector<uint8_t> good = design_block_bytes(t);
  std::mt19937 rng(7);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> b = good;
    for (int k = 1 + int(rng() % 4); k > 0; --k) {
      const size_t at = rng() % (b.size() - 3);            // counts and lengths are 4-byte values
      const uint32_t v = rng() % 3 ? uint32_t(rng() % 64) : uint32_t(rng());
      std::memcpy(b.data() + at, &v, sizeof v);
    }
    if (round % 5 == 0) b.resize(rng() % b.size());
    // an exact-size copy, so that AddressSanitizer sees any read past the data
    const std::unique_ptr<uint8_t[]> exact(new uint8_t[b.size() + 1]);
    std::memcpy(exact.get(), b.data(), b.size());
    vessel_design d;
    const design_read_result r = read_design_bytes(d, exact.get(), b.size());
    if (r.status != design_read_ok) continue;
    const std::vector<uint8_t> again = design_block_bytes(d);   // whatever was read writes whole
    vessel_design back;
    ASSERT_EQ(read_design_bytes(back, again.data(), again.size()).status, design_read_ok);
  }
}

TEST(DesignFile, ExtraBytesInFrontChangeNothing) {
  vessel_design t;
  apply_template(t);
  const std::vector<uint8_t> good = design_block_bytes(t);
  std::vector<uint8_t> b(1000, 0xCD);
  b.insert(b.end(), good.begin(), good.end());
  vessel_design back;
  ASSERT_EQ(read_design_bytes(back, b.data(), b.size()).status, design_read_ok);
  EXPECT_EQ(design_block_bytes(back), good);
}

TEST(DesignFile, NamesAreCutAtTheirFields) {
  vessel_design t;
  std::vector<uint8_t> b = design_block_bytes(t);
  std::memset(b.data() + 4, 'A', 510);       // both names without a NUL
  vessel_design back;
  ASSERT_EQ(read_design_bytes(back, b.data(), b.size()).status, design_read_ok);
  EXPECT_EQ(std::strlen(back.header.vessel_name), 254u);
  EXPECT_EQ(std::strlen(back.header.dll_name), 254u);
}

TEST(DesignFile, MissingFileAndUnwritableTargetRaiseIoError) {
  scratch_dir dir;
  vessel_design d;
  EXPECT_THROW(read_design_file(d, dir.file("missing.vessdef")), io_error);
  try {
    write_design_file(d, dir.file("no/such/folder/x.vessdef"));
    FAIL() << "no error";
  } catch (const io_error& e) {
    EXPECT_NE(std::string(e.what()).find("cannot write"), std::string::npos);
  }
}

TEST(DesignFile, FailedWriteKeepsThePreviousFile) {
  scratch_dir dir;
  const std::string name = dir.file("keep.vessdef");
  vessel_design d;
  write_design_file(d, name);
  const std::vector<uint8_t> before = read_bytes(name);
  // the target is a folder now: the rename fails, the folder and no temporary file remain
  std::filesystem::remove(name);
  std::filesystem::create_directory(name);
  std::filesystem::create_directory(name + "/inside");
  EXPECT_THROW(write_design_file(d, name), io_error);
  EXPECT_TRUE(std::filesystem::is_directory(name));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path)) files += e.is_regular_file();
  EXPECT_EQ(files, 0);
  // and an ordinary rewrite replaces the file whole
  std::filesystem::remove_all(name);
  write_bytes(name, {1, 2, 3});
  write_design_file(d, name);
  EXPECT_EQ(read_bytes(name), before);
}

}  // namespace
