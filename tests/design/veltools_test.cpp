// The mesh folder listing, the browse path, the visibility text, and the user settings file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include "design/filef.h"
#include "design/kvvar.h"
#include "design/veltools.h"
#include "common/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

void touch(const fs::path& p) { write_bytes(p.string(), {'x'}); }

// Entries in the order the file system lists them, the way the browser must show them.
astr listed(const fs::path& folder, bool dirs) {
  astr names;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string n = e.path().filename().string();
    if (dirs && e.is_directory()) names.push_back(n);
    if (!dirs && e.is_regular_file() && n.size() > 4 && name_matches(n, "*.msh")) names.push_back(n.substr(0, n.size() - 4));
  }
  return names;
}

TEST(MeshBrowser, ListsFoldersThenMeshesWithoutExtension) {
  scratch_dir dir;
  const fs::path meshes = dir.path / "Meshes";              // capitalised as installations have it
  fs::create_directories(meshes / "ab");
  fs::create_directories(meshes / "cargobay");
  touch(meshes / "pod.msh");
  touch(meshes / "wheel.msh");
  touch(meshes / "x.MSH");
  touch(meshes / "readme.txt");
  mesh_browser b;
  b.root = dir.path.string();
  browse_start(b);
  astr expected = listed(meshes, true);
  const astr files = listed(meshes, false);
  expected.insert(expected.end(), files.begin(), files.end());
  EXPECT_EQ(b.mesh_browse_list, expected);
  EXPECT_EQ(b.mesh_browse_dirs, 2);
  EXPECT_EQ(b.mesh_browse_width, 8);
  EXPECT_EQ(b.mesh_browse_list.size(), 5u);
  EXPECT_NE(std::find(b.mesh_browse_list.begin(), b.mesh_browse_list.end(), "x"), b.mesh_browse_list.end());
  for (const std::string& e : b.mesh_browse_list) {
    EXPECT_NE(e, ".");
    EXPECT_NE(e, "..");
  }
}

TEST(MeshBrowser, OpeningAFolderExtendsBothPaths) {
  scratch_dir dir;
  fs::create_directories(dir.path / "meshes" / "dg");
  touch(dir.path / "meshes" / "dg" / "glider.msh");
  mesh_browser b;
  b.root = dir.path.string();
  browse_start(b);
  ASSERT_EQ(b.mesh_browse_dirs, 1);
  EXPECT_FALSE(browse_open(b, 1));
  EXPECT_TRUE(browse_open(b, 0));
  EXPECT_EQ(b.browse_path, "meshes/dg/");
  EXPECT_EQ(b.browse_rel, "dg/");
  ASSERT_EQ(b.mesh_browse_list, astr{"glider"});
  EXPECT_EQ(b.mesh_browse_dirs, 0);
  EXPECT_EQ(browse_mesh_name(b, 0), "dg/glider");
  EXPECT_EQ(browse_mesh_name(b, 1), "");
}

TEST(MeshBrowser, MissingFolderListsNothing) {
  scratch_dir dir;
  mesh_browser b;
  b.root = dir.path.string();
  b.mesh_browse_list = {"stale"};
  b.mesh_browse_dirs = 1;
  browse_start(b);
  EXPECT_TRUE(b.mesh_browse_list.empty());
  EXPECT_EQ(b.mesh_browse_dirs, 0);
  EXPECT_EQ(b.mesh_browse_width, 0);
}

TEST(MeshBrowser, VisibilityText) {
  EXPECT_EQ(visibility_text(0), "None");
  EXPECT_EQ(visibility_text(3), "Cockpit External");
  EXPECT_EQ(visibility_text(5), "External VC");
  EXPECT_EQ(visibility_text(16), "EXTPASS");
  EXPECT_EQ(visibility_text(23), "Cockpit External VC EXTPASS");
  EXPECT_EQ(visibility_text(8), "None");                   // bit 8 has no name
}

TEST(DirectoryListing, WildcardsIgnoreCase) {
  EXPECT_TRUE(name_matches("Wheel.MSH", "*.msh"));
  EXPECT_TRUE(name_matches("noext", "*.*"));
  EXPECT_TRUE(name_matches("a.b.msh", "*.msh"));
  EXPECT_FALSE(name_matches("a.msh.bak", "*.msh"));
  EXPECT_TRUE(name_matches("ab", "a?"));
  EXPECT_FALSE(name_matches("abc", "a?"));
}

TEST(UserSettings, MissingFileKeepsTheDefault) {
  scratch_dir dir;
  user_settings s;
  read_user_settings(s, dir.path.string());
  EXPECT_EQ(s.author_name, "%authorname");
}

TEST(UserSettings, WrittenAsOneLineAndReadBack) {
  scratch_dir dir;
  user_settings s;
  s.author_name = "Ada  Lovelace";
  write_user_settings(s, dir.path.string());                 // creates Vessel_Design
  const std::vector<uint8_t> bytes = read_bytes(dir.file("Vessel_Design/vrk.cfg"));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "author_name=Ada  Lovelace\r\n");
  user_settings back;
  read_user_settings(back, dir.path.string());
  EXPECT_EQ(back.author_name, "Ada  Lovelace");
}

TEST(UserSettings, LastAuthorLineWinsWhateverItsCase) {
  scratch_dir dir;
  fs::create_directories(dir.path / "Vessel_Design");
  const std::string text = "author_name=first\r\nother=1\r\n  AUTHOR_NAME =second\r\n";
  write_bytes(dir.file("Vessel_Design/vrk.cfg"), std::vector<uint8_t>(text.begin(), text.end()));
  user_settings s;
  read_user_settings(s, dir.path.string());
  EXPECT_EQ(s.author_name, "second");
}

}  // namespace

TEST(FileReplacement, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
  if (!posix_files) GTEST_SKIP() << "Windows files have no mode bits";
  scratch_dir dir;
  const mode_t old = umask(027);
  replace_file(dir.file("new.txt"), "a", 1);
  umask(old);
  struct stat st;
  ASSERT_EQ(stat(dir.file("new.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  ASSERT_EQ(chmod(dir.file("new.txt").c_str(), 0600), 0);
  replace_file(dir.file("new.txt"), "bb", 2);
  ASSERT_EQ(stat(dir.file("new.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_size, 2);
}
