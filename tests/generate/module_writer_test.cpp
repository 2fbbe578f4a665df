#include "generate/module_writer.h"

#include <gtest/gtest.h>
#include <cstring>
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "gen_test_util.h"

using namespace gentest;

namespace {

uint32_t u32_of(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

bool starts_with_image(const std::vector<uint8_t>& bytes, module_image image) {
  return bytes.size() >= image.size && std::memcmp(bytes.data(), image.bytes, image.size) == 0;
}

// An animation left half open and playing, as the editor can hold it.
void leave_animations_moving(vessel_design& d) {
  for (anim_entry& a : d.data.anim_seqs) {
    a.seq.state = anim_opening;
    a.seq.position = 0.4;
  }
}

void expect_animations_at_rest(const vessel_design& d) {
  for (const anim_entry& a : d.data.anim_seqs) {
    EXPECT_EQ(a.seq.state, anim_rest);
    EXPECT_EQ(a.seq.position, 0.0);
  }
}

}  // namespace

TEST(module_writer, blank_design_gives_image_block_and_length) {
  vessel_design d;
  reset_design(d);
  std::vector<uint8_t> m = build_module(d);
  ASSERT_EQ(m.size(), 70560u);
  EXPECT_TRUE(starts_with_image(m, module_image_pm()));  // the blank design asks for the Payload Manager
  EXPECT_EQ(u32_of(m, module_image_size), design_magic);
  EXPECT_EQ(u32_of(m, m.size() - 8), design_magic);
  EXPECT_EQ(u32_of(m, m.size() - 4), 924u);
}

TEST(module_writer, the_flag_chooses_the_image) {
  vessel_design d;
  apply_template(d);
  for (int flag : {0, 1}) {
    d.header.payload_manager = flag;
    std::vector<uint8_t> m = build_module(d);
    module_image wanted = flag ? module_image_pm() : module_image_plain();
    ASSERT_EQ(wanted.size, size_t(module_image_size));
    EXPECT_TRUE(starts_with_image(m, wanted)) << "flag " << flag;
    EXPECT_FALSE(starts_with_image(m, flag ? module_image_plain() : module_image_pm())) << "flag " << flag;
    // The block after the image is exactly what a design file holds.
    std::vector<uint8_t> block = design_block_bytes(d);
    EXPECT_EQ(std::vector<uint8_t>(m.begin() + module_image_size, m.end()), block);
  }
}

TEST(module_writer, every_way_of_building_stores_the_animations_at_rest_and_leaves_the_design_as_it_was) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  std::filesystem::create_directories(root + "/Modules");
  vessel_design d;
  apply_template(d);
  ASSERT_FALSE(d.data.anim_seqs.empty());

  leave_animations_moving(d);
  const vessel_design before = d;
  const std::vector<uint8_t> built = build_module(d);
  const std::string module = write_module_file(d, "", root);
  write_design_file(d, root + "/saved.vessdef");
  EXPECT_EQ(std::memcmp(&d.header, &before.header, sizeof d.header), 0);
  for (size_t a = 0; a < d.data.anim_seqs.size(); ++a)    // still half open and playing
    EXPECT_EQ(std::memcmp(&d.data.anim_seqs[a].seq, &before.data.anim_seqs[a].seq, sizeof(anim_seq)), 0);
  for (const std::string& file : {module, root + "/saved.vessdef"}) {
    vessel_design back;
    ASSERT_EQ(read_design_file(back, file).status, design_read_ok);
    expect_animations_at_rest(back);
  }
  vessel_design back;
  ASSERT_EQ(read_design_bytes(back, built.data(), built.size()).status, design_read_ok);
  expect_animations_at_rest(back);
}

TEST(module_writer, default_target_is_below_the_modules_folder_and_stable) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  std::filesystem::create_directories(root + "/Modules");  // the installation's capitalisation
  vessel_design d;
  apply_template(d);
  std::string dll = name_of(d.header.dll_name, sizeof d.header.dll_name);
  EXPECT_EQ(default_module_name(d), "modules\\" + dll + ".dll");

  write_module_file(d, "", root);
  std::string path = root + "/Modules/" + dll + ".dll";
  std::string first = read_text(path);
  leave_animations_moving(d);
  write_module_file(d, "", root);
  EXPECT_EQ(read_text(path), first) << "a second write from the same design differs";
  std::vector<uint8_t> built = build_module(d);
  EXPECT_EQ(first, std::string(built.begin(), built.end()));

  // A module opens as a design and gives back the same block.
  vessel_design back;
  reset_design(back);
  EXPECT_EQ(read_design_file(back, path).status, design_read_ok);
  EXPECT_EQ(design_block_bytes(back), design_block_bytes(d));

  write_module_file(d, root + "/chosen.dll");
  EXPECT_EQ(read_text(root + "/chosen.dll"), first);
}

TEST(module_writer, bad_targets_are_reported_and_nothing_is_written_outside) {
  scratch_dir scratch;
  std::string root = scratch.path.string();
  vessel_design d;
  reset_design(d);
  EXPECT_THROW(write_module_file(d, "", root), io_error);  // no modules folder
  set_name(d.header.dll_name, sizeof d.header.dll_name, "..\\..\\escape");
  std::filesystem::create_directories(root + "/inner/modules");
  EXPECT_THROW(write_module_file(d, "", root + "/inner"), io_error);
  EXPECT_FALSE(std::filesystem::exists(root + "/escape.dll"));
}
