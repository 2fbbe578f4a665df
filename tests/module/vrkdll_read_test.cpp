// The module's design reader: template and hostile blocks.
#include <gtest/gtest.h>
#include <cstring>
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "vrkdll_read.h"

namespace {

std::vector<uint8_t> template_file() {
  vessel_design d;
  apply_template(d);
  std::vector<uint8_t> out(100, 0x55);            // bytes in front stand for a module image
  append_design_block(d, out);
  return out;
}

size_t block_start(const std::vector<uint8_t>& file) {
  uint32_t len;
  memcpy(&len, file.data() + file.size() - 4, 4);
  return file.size() - 4 - len;
}

void put_i32(std::vector<uint8_t>& file, size_t at, int32_t v) { memcpy(file.data() + at, &v, 4); }

TEST(ModuleReader, ReadsTheTemplateFromTheEndOfAFile) {
  std::vector<uint8_t> file = template_file();
  module_design d;
  ASSERT_TRUE(parse_design_tail(file.data(), file.size(), d));
  EXPECT_STREQ(d.header.vessel_name, "DeltaGlider_vrk");
  EXPECT_EQ(d.thrusters.size(), 20u);
  EXPECT_EQ(d.exhausts.size(), 21u);
  EXPECT_EQ(d.meshes.size(), 2u);
  ASSERT_EQ(d.anim_seqs.size(), 2u);
  EXPECT_EQ(d.anim_seqs[0].group_lists.size(), 10u);
  EXPECT_EQ(d.anim_seqs[0].comps.size(), 14u);
  EXPECT_EQ(d.anim_seqs[1].comps.size(), 7u);
  EXPECT_EQ(d.anim_seqs[0].group_lists[6], (std::vector<int32_t>{60, 61, 79, 80}));
  ASSERT_EQ(d.vc_views.size(), 5u);
  ASSERT_EQ(d.vc_views[0].mfds.size(), 2u);
  EXPECT_EQ(d.vc_views[0].mfds[1].group, 110);
  EXPECT_EQ(d.vc_views[4].view.neighbours[0], 3);
  EXPECT_EQ(d.touchdown_sets.size(), 2u);
  EXPECT_EQ(d.beacons.size(), 7u);
  EXPECT_EQ(d.docks.size(), 1u);
  EXPECT_EQ(d.crew.size(), 1u);
  EXPECT_EQ(d.crew[0].max_crew, 5);
  ASSERT_EQ(d.aero_elements.size(), 2u);
  EXPECT_EQ(d.aero_elements[1].kind, lift_horizontal);
  EXPECT_DOUBLE_EQ(d.aero_elements[1].pos.z, -4.0);
}

TEST(ModuleReader, RefusesEveryTruncationAndMissingTrailer) {
  const std::vector<uint8_t> file = template_file();
  const size_t start = block_start(file), arrays = file.size() - start - 840 - 8;
  module_design d;
  for (size_t kept = 0; kept < arrays; kept += 5) {
    // the arrays end early, the end marker and a length that fits follow
    std::vector<uint8_t> damaged(file.begin(), file.begin() + start + 840 + kept);
    uint32_t marker = design_magic, len = static_cast<uint32_t>(840 + kept + 4);
    damaged.insert(damaged.end(), reinterpret_cast<uint8_t*>(&marker), reinterpret_cast<uint8_t*>(&marker) + 4);
    damaged.insert(damaged.end(), reinterpret_cast<uint8_t*>(&len), reinterpret_cast<uint8_t*>(&len) + 4);
    EXPECT_FALSE(parse_design_tail(damaged.data(), damaged.size(), d)) << "kept " << kept;
  }
  for (size_t size = 0; size < 16; size++)
    EXPECT_FALSE(parse_design_tail(file.data() + file.size() - size, size, d)) << "size " << size;
  std::vector<uint8_t> no_marker = file;
  no_marker[no_marker.size() - 8] ^= 1;
  EXPECT_FALSE(parse_design_tail(no_marker.data(), no_marker.size(), d));
  std::vector<uint8_t> extra = file;                  // bytes between the arrays and the marker
  extra.insert(extra.end() - 8, 4, 0);
  put_i32(extra, extra.size() - 4, static_cast<int32_t>(extra.size() - 4 - start));
  EXPECT_FALSE(parse_design_tail(extra.data(), extra.size(), d));
  EXPECT_TRUE(d.thrusters.empty());                   // nothing was taken from a refused block
}

TEST(ModuleReader, RefusesCountsThatDoNotFitTheBytes) {
  const std::vector<uint8_t> file = template_file();
  size_t start = block_start(file);
  const size_t count_fields[] = {788, 792, 800, 804, 808, 812, 816, 820, 824, 828, 832};
  const int32_t bad_counts[] = {-1, 1 << 30, 0x7FFFFFFF, 3000};
  module_design d;
  for (size_t field : count_fields)
    for (int32_t count : bad_counts) {
      std::vector<uint8_t> damaged = file;
      put_i32(damaged, start + field, count);
      EXPECT_FALSE(parse_design_tail(damaged.data(), damaged.size(), d)) << field << " " << count;
    }
  // a group list or MFD count inside an element that claims more than is there
  std::vector<uint8_t> damaged = file;
  size_t first_list = start + 840 + 2 * 8 + 20 * 120 + 21 * 80 + 2 * 268 + 48;
  put_i32(damaged, first_list, 1 << 28);
  EXPECT_FALSE(parse_design_tail(damaged.data(), damaged.size(), d));
  // a length field pointing before the start of the file
  damaged = file;
  put_i32(damaged, damaged.size() - 4, static_cast<int32_t>(damaged.size()));
  EXPECT_FALSE(parse_design_tail(damaged.data(), damaged.size(), d));
}

TEST(ModuleReader, RefusesAWrongHeaderMagicAndCutsNames) {
  vessel_design v;
  memset(v.header.vessel_name, 'x', sizeof v.header.vessel_name);  // no terminating NUL
  memset(v.header.dll_name, 'y', sizeof v.header.dll_name);
  std::vector<uint8_t> file;
  append_design_block(v, file);
  module_design d;
  ASSERT_TRUE(parse_design_tail(file.data(), file.size(), d));
  EXPECT_EQ(strlen(d.header.vessel_name), sizeof d.header.vessel_name - 1);
  EXPECT_EQ(strlen(d.header.dll_name), sizeof d.header.dll_name - 1);
  file[block_start(file)] ^= 0xFF;
  EXPECT_FALSE(parse_design_tail(file.data(), file.size(), d));
}

TEST(ModuleReader, FileReadTellsMissingFromDamaged) {
  char dir[] = "/tmp/vrkdll_readXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string good = std::string(dir) + "/good.dll", bad = std::string(dir) + "/bad.dll";
  std::vector<uint8_t> file = template_file();
  FILE* f = fopen(good.c_str(), "wb");
  fwrite(file.data(), 1, file.size(), f);
  fclose(f);
  f = fopen(bad.c_str(), "wb");
  fwrite(file.data(), 1, file.size() - 9, f);       // the trailer is gone
  fclose(f);
  module_design d;
  EXPECT_EQ(read_design_file((std::string(dir) + "/none.dll").c_str(), d), block_missing);
  EXPECT_EQ(read_design_file(bad.c_str(), d), block_damaged);
  EXPECT_EQ(d.thrusters.size(), 0u);                  // left as it was
  EXPECT_EQ(read_design_file(good.c_str(), d), block_ok);
  EXPECT_EQ(d.thrusters.size(), 20u);
  remove(good.c_str());
  remove(bad.c_str());
  rmdir(dir);
}

} // namespace
