// sys: file kinds, folders and the reasons readers give.
#include <gtest/gtest.h>
#include <algorithm>
#include <unistd.h>
#include "base/asys.h"
#include "base/sys.h"
#include "../common/scratch_dir.h"

TEST(Sys, KindsFoldersAndEntries) {
  scratch_dir t;
  t.put("a.txt", "x");
  EXPECT_EQ(kind_of_path(t.file("a.txt")), path_regular);
  EXPECT_EQ(kind_of_path(t.path.string()), path_folder);
  EXPECT_EQ(kind_of_path(posix_files ? "/dev/null" : "NUL"), path_other);
  EXPECT_EQ(kind_of_path(t.file("none")), path_missing);
  EXPECT_EQ(kind_of_path(t.file("a.txt/below")), path_missing);  // a file on the way
  ASSERT_TRUE(make_folders(t.file("b/c/d")));
  EXPECT_TRUE(make_folders(t.file("b/c/d/")));                    // already there
  EXPECT_EQ(kind_of_path(t.file("b/c/d")), path_folder);
  EXPECT_FALSE(make_folders(t.file("a.txt/e")));                  // a file stands in the way
  astr names = folder_entries(t.path.string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (astr{"a.txt", "b"}));
  EXPECT_TRUE(folder_entries(t.file("none")).empty());
  EXPECT_EQ(enterable_folder(t.file("b/c/../c")), std::filesystem::canonical(t.file("b/c")).string());
  EXPECT_EQ(enterable_folder(t.file("a.txt")), "");
}

TEST(Sys, ReadFileBytesSaysWhyItFailed) {
  scratch_dir t;
  t.put("a.txt", "abc");
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(read_file_bytes(t.file("a.txt"), bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 'b', 'c'}));
  const read_result missing = read_file_bytes(t.file("none"), bytes);
  EXPECT_EQ(missing.status, read_missing);
  EXPECT_NE(missing.message.find("none: file not found"), std::string::npos) << missing.message;
  const read_result folder = read_file_bytes(t.path.string(), bytes);
  EXPECT_EQ(folder.status, read_unreadable);
  EXPECT_NE(folder.message.find("is a folder"), std::string::npos) << folder.message;
}

TEST(Sys, TheNextWriteRemovesTemporariesOfWritersThatAreGone) {
  namespace fs = std::filesystem;
  scratch_dir dir;
  // 2147483647 is above any process number the system hands out
  const std::string gone = ".corvane-2147483647-AbC123", running = ".corvane-" + std::to_string(getpid()) + "-XyZ789";
  for (const std::string& name : {gone, running, std::string(".corvane-notapid"), std::string("other.txt")})
    dir.put(name, "left");
  replace_file(dir.file("design.vessdef"), "new", 3);
  EXPECT_FALSE(fs::exists(dir.file(gone)));
  for (const char* kept : {".corvane-notapid", "other.txt"}) EXPECT_TRUE(fs::exists(dir.file(kept))) << kept;
  EXPECT_TRUE(fs::exists(dir.file(running)));
  EXPECT_EQ(read_bytes(dir.file("design.vessdef")), std::vector<uint8_t>({'n', 'e', 'w'}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 4);
}
