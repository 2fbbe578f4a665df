// Reading packages back and installing them under a root.
#include "generate/addon_install.h"

#include <gtest/gtest.h>
#include <cstring>
#include "common/scratch_dir.h"
#include "generate/azip.h"
#include "generate/zipread.h"

namespace {

std::vector<uint8_t> package(const std::vector<std::pair<std::string, std::string>>& entries) {
  scratch_dir dir;
  zipfile_rec z;
  for (const auto& [name, data] : entries) zip_set_text(z, zip_add_entry(z, name, 0), data);
  zip_write(z, dir.file("p.zip"));
  return read_bytes(dir.file("p.zip"));
}

std::string read_text(const std::string& path) {
  const std::vector<uint8_t> b = read_bytes(path);
  return std::string(b.begin(), b.end());
}

}  // namespace

TEST(ZipRead, EntriesComeBackAndDamageIsRefusedWithoutAllocatingBeyondTheData) {
  const std::string big(100000, 'x');
  const std::vector<uint8_t> good = package({{"meshes\\a.msh", big}, {"b.txt", "two"}, {"empty", ""}});
  const std::vector<zip_entry> e = zip_read_bytes(good.data(), good.size(), "p.zip");
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].name, "meshes\\a.msh");
  EXPECT_EQ(std::string(e[0].data.begin(), e[0].data.end()) + std::string(e[1].data.begin(), e[1].data.end()),
            big + "two");
  EXPECT_TRUE(e[2].data.empty());

  const auto refused = [](std::vector<uint8_t> bytes, const char* why) {
    EXPECT_THROW(zip_read_bytes(bytes.data(), bytes.size(), "p.zip"), io_error) << why;
  };
  refused({good.begin(), good.end() - 30}, "cut short");
  std::vector<uint8_t> bad = good;
  bad[60] ^= 0xFF;                                            // inside the first entry's deflated data
  refused(bad, "damaged data or CRC");
  bad = good;
  uint32_t central;                                          // the first central header, as the end record says
  std::memcpy(&central, &good[good.size() - 22 + 16], 4);
  uint32_t huge = 0xFFFFFFF0u;
  std::memcpy(&bad[central + 24], &huge, 4);                 // a declared size deflate cannot reach
  refused(bad, "declared size beyond its data");
  bad = good;
  std::memcpy(&bad[central + 46 + 12 + 42], &bad[central + 42], 4);   // the second entry's record is the first's
  refused(bad, "two entries on one record");
}

TEST(AddonInstall, FoldersMatchIgnoringCaseAndChangedFilesAreNamedBeforeWriting) {
  scratch_dir root;
  root.put("Meshes/DG/old.msh", "old");
  root.put("Config/Vessels/x.cfg", "same");
  root.put("Scenarios/x.scn", "changed before");
  const std::vector<uint8_t> bytes = package({{"meshes\\dg\\hull.msh", "hull"}, {"config\\vessels\\x.cfg", "same"},
                                              {"scenarios\\x.scn", "new"}, {"modules\\x.dll", "module"},
                                              {"..\\outside.txt", "no"}, {"/abs.txt", "no"}});
  write_bytes(root.file("x.zip"), bytes);
  const install_plan plan = plan_install(root.file("x.zip"), root.path.string());
  EXPECT_EQ(differing_files(plan), astr{"Scenarios/x.scn"});
  EXPECT_EQ(plan.refused.size(), 2u);
  EXPECT_EQ(read_text(root.file("Scenarios/x.scn")), "changed before");   // planning writes nothing
  const install_report r = install_package(plan);
  EXPECT_EQ(r.files, 4u);
  // Into the folders there, whatever their spelling; a new folder as the package names it.
  EXPECT_EQ(read_text(root.file("Meshes/DG/hull.msh")) + read_text(root.file("Scenarios/x.scn")) +
                read_text(root.file("modules/x.dll")), "hullnewmodule");
  EXPECT_NE(std::filesystem::exists(root.file("meshes")), posix_files);
  EXPECT_FALSE(std::filesystem::exists(root.path.parent_path() / "outside.txt"));
  EXPECT_TRUE(differing_files(plan_install(root.file("x.zip"), root.path.string())).empty());
}
