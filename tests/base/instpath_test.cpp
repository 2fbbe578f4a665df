#include "base/instpath.h"

#include <gtest/gtest.h>

#include "common/scratch_dir.h"

TEST(InstallPath, MatchesComponentsIgnoringCase) {
  if (!posix_files) GTEST_SKIP() << "Windows hands back the spelling asked for";
  scratch_dir t;
  t.put("Meshes/Ship/Hull.msh", "m");
  t.put("textures/a.dds", "t");
  EXPECT_EQ(install_path(t.path, "Meshes/Ship/Hull.msh"), t.file("Meshes/Ship/Hull.msh"));
  EXPECT_EQ(install_path(t.path, "meshes\\ship\\HULL.MSH"), t.file("Meshes/Ship/Hull.msh"));
  EXPECT_EQ(install_path(t.path, "Textures/A.dds"), t.file("textures/a.dds"));
  EXPECT_EQ(install_path(t.path.string() + "/", ".\\Textures\\\\a.dds"), t.file("textures/a.dds"));
  EXPECT_EQ(install_path(t.path, "Meshes"), t.file("Meshes"));  // folders are found too
  EXPECT_EQ(install_path(t.path, "Meshes/Ship/Deck.msh"), "");
  EXPECT_EQ(install_path(t.path, "Meshes/Hull.msh/x"), "");    // a file is no folder
  EXPECT_EQ(install_path(t.file("nothing"), "Meshes"), "");
}

TEST(InstallPath, ChoosesTheSameEntryWhateverTheListingOrder) {
  if (!posix_files) GTEST_SKIP() << "one name on Windows";
  scratch_dir t;
  t.put("Data/file", "lower");
  t.put("Data/File", "upper");
  EXPECT_EQ(install_path(t.path, "data/FILE"), t.file("Data/File"));
  EXPECT_EQ(install_path(t.path, "Data/file"), t.file("Data/file"));  // an exact name wins
}

TEST(InstallPath, LooksInEverySpellingOfAFolder) {
  if (!posix_files) GTEST_SKIP() << "one name on Windows";
  scratch_dir t;  // an unpacked add-on brings "modules" beside the installation's "Modules"
  t.put("Modules/PayloadManager.dll", "pm");
  t.put("modules/vessel.dll", "v");
  EXPECT_EQ(install_path(t.path, "Modules/vessel.dll"), t.file("modules/vessel.dll"));
  EXPECT_EQ(install_path(t.path, "modules/payloadmanager.dll"), t.file("Modules/PayloadManager.dll"));
  EXPECT_EQ(install_path(t.path, "MODULES/other.dll"), "");
}

TEST(InstallPath, SafeRelativeNames) {
  for (const char* rel : {"Meshes\\a.msh", "textures/b.dds", "a..b/c", "...", "x/./y", ""})
    EXPECT_TRUE(is_safe_relative(rel)) << rel;
  for (const char* rel : {"/etc/passwd", "\\share\\x", "C:\\x", "c:x", "..", "..\\Meshes\\a",
                          "a/../b", "a\\b\\..", "Meshes//../../x"})
    EXPECT_FALSE(is_safe_relative(rel)) << rel;
}

TEST(InstallPath, SlashConversion) {
  EXPECT_EQ(to_backslashes("Meshes/Ship/a.msh"), "Meshes\\Ship\\a.msh");
  EXPECT_EQ(to_slashes("Meshes\\Ship/a.msh"), "Meshes/Ship/a.msh");
  EXPECT_EQ(to_slashes(""), "");
}
