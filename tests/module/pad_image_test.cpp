// The build step that pads a vessel module with zero bytes to the image size,
// run as the build runs it (cmake -P) on files of known sizes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct pad_run {
  int status;                    // cmake's exit status
  std::string output;            // what it printed
};

struct pad_folder {
  std::string dir;
  pad_folder() {
    char tmpl[] = "/tmp/corvane_padXXXXXX";
    dir = mkdtemp(tmpl) ? tmpl : "";
  }
  ~pad_folder() {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
  std::string path(const std::string& name) const { return dir + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  pad_run pad(const std::string& in, const std::string& out, int size) const {
    std::string log = path("cmake.log");
    std::string command = std::string("\"") + CMAKE_PROGRAM + "\" -DIN=" + path(in) + " -DOUT=" + path(out) +
                          " -DSIZE=" + std::to_string(size) + " -P \"" + PAD_IMAGE_SCRIPT + "\" > " + log + " 2>&1";
    int status = std::system(command.c_str());
    std::ifstream text(log);
    std::stringstream s;
    s << text.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, s.str()};
  }
};

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PadImage, ASmallerModuleIsFilledWithZeroBytes) {
  pad_folder f;
  const std::string module = "\x7f" "ELF module bytes\x01\x02";
  f.write("m.so", module);
  pad_run r = f.pad("m.so", "m.dll", 64);
  ASSERT_EQ(r.status, 0) << r.output;
  std::string padded = read_all(f.path("m.dll"));
  ASSERT_EQ(padded.size(), 64u);
  EXPECT_EQ(padded.substr(0, module.size()), module);
  EXPECT_EQ(padded.substr(module.size()), std::string(64 - module.size(), '\0'));
  f.write("exact.so", std::string(64, 'x'));         // a module of exactly the size stays as it is
  ASSERT_EQ(f.pad("exact.so", "exact.dll", 64).status, 0);
  EXPECT_EQ(read_all(f.path("exact.dll")), std::string(64, 'x'));
}

TEST(PadImage, ALargerModuleFailsTheBuildWithItsSize) {
  pad_folder f;
  f.write("big.so", std::string(65, 'x'));
  pad_run r = f.pad("big.so", "big.dll", 64);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.output.find("is 65 bytes, larger than"), std::string::npos) << r.output;  // cmake wraps the rest
  EXPECT_NE(r.output.find("the 64 bytes of a module image"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(f.path("big.dll.tmp")));
  EXPECT_FALSE(fs::exists(f.path("big.dll")));
}

} // namespace
