// sys on Windows: what a Windows user sees of names, long paths and files that
// another program holds open.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include "base/asys.h"
#include "base/instpath.h"
#include "base/sys.h"
#include "../common/scratch_dir.h"

namespace {

std::vector<uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

void save(const std::string& name, const std::string& text) { replace_file(name, text.data(), text.size()); }

std::string message_of_save(const std::string& name) {
  try {
    save(name, "new");
  } catch (const io_error& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(SysWin32, ReservedDeviceNamesAreRefusedAndOtherNamesWritten) {
  scratch_dir t;
  for (const char* device : {"CON", "con.vessdef", "Aux.txt", "NUL", "com1.zip", "LPT0", "prn .txt", "COM\xc2\xb9.dll"}) {
    EXPECT_EQ(kind_of_path(t.file(device)), path_other) << device;
    const std::string why = message_of_save(t.file(device));
    EXPECT_NE(why.find("reserved by Windows for a device"), std::string::npos) << device << ": " << why;
  }
  for (const char* plain : {"console.vessdef", "com10.txt", "auxiliary", "nul_tank.txt", "LPT"}) {
    EXPECT_EQ(message_of_save(t.file(plain)), "") << plain;
    EXPECT_EQ(file_read_all(t.file(plain)), bytes_of("new")) << plain;
  }
}

TEST(SysWin32, PathsOverTheOldLimitAndUtf8NamesWithEitherSlash) {
  scratch_dir t;
  std::string deep = t.path.string();
  for (int i = 0; deep.size() < 300; ++i) deep += "\\folder-with-a-long-name-" + std::to_string(i);
  ASSERT_TRUE(make_folders(deep));
  EXPECT_EQ(kind_of_path(deep), path_folder);
  const std::string name = deep + "/Gleiter \xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac.vessdef";  // "Gleiter äöü €"
  save(name, "design");
  EXPECT_EQ(file_read_all(name), bytes_of("design"));
  mapped_file m;
  file_map(m, name);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.data), m.size), "design");
  EXPECT_EQ(folder_entries(deep), astr{"Gleiter \xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac.vessdef"});
  binfile h;
  ASSERT_TRUE(file_open(h, name, binfile_read));
  EXPECT_EQ(file_size(h), 6u);
  EXPECT_EQ(enterable_folder(deep + "\\..\\" + deep.substr(deep.find_last_of('\\') + 1)), deep);
}

TEST(SysWin32, NamesThatDifferOnlyInCaseAreOneFile) {
  scratch_dir t;
  save(t.file("Glider.vessdef"), "old");
  save(t.file("GLIDER.VESSDEF"), "new");
  EXPECT_EQ(folder_entries(t.path.string()).size(), 1u);
  EXPECT_EQ(file_read_all(t.file("glider.vessdef")), bytes_of("new"));
  EXPECT_TRUE(same_file(t.file("glider.vessdef"), t.file("Glider.VESSDEF")));
  t.put("Meshes/DG/Hull.msh", "mesh");
  EXPECT_TRUE(same_file(install_path(t.path.string(), "meshes\\dg\\hull.msh"), t.file("Meshes/DG/Hull.msh")));
}

TEST(SysWin32, ASaveOverAFileHeldOpenKeepsTheFileAndSaysWhy) {
  scratch_dir t;
  const std::string name = t.file("held.vessdef");
  save(name, "old");
  // A viewer that opened the file without letting others delete or rename it.
  HANDLE held = CreateFileW(wide_path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string why = message_of_save(name);
  CloseHandle(held);
  EXPECT_NE(why.find("cannot write " + name + ": "), std::string::npos) << why;
  EXPECT_NE(why.find("open in another program"), std::string::npos) << why;
  EXPECT_EQ(file_read_all(name), bytes_of("old"));
  EXPECT_EQ(folder_entries(t.path.string()), astr{"held.vessdef"}) << "a temporary file was left";
  save(name, "new");  // closed there: the next save goes through
  EXPECT_EQ(file_read_all(name), bytes_of("new"));
}
