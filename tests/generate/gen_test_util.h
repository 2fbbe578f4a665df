// Helpers shared by the generator tests: whole-file reads and writes, and running
// the independent archive checkers (unzip, Python's zipfile).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <vector>

#include "common/scratch_dir.h"

namespace gentest {

inline std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_text(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Runs a shell command; returns its exit status and collects its standard output.
inline int run(const std::string& command, std::string* output = nullptr) {
#ifdef _WIN32
  FILE* p = _popen((command + " 2>&1").c_str(), "rb");
#else
  FILE* p = popen((command + " 2>&1").c_str(), "r");
#endif
  if (!p) return -1;
  char buffer[4096];
  size_t n;
  std::string out;
  while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
  if (output) *output = out;
#ifdef _WIN32
  return _pclose(p);
#else
  int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// Python's zipfile reads every entry and checks its CRC; prints one line per
// entry ("name method size") and then "OK" when testzip() found nothing wrong.
inline int python_zip_check(const std::string& zip, std::string& listing) {
  return run("python3 -c 'import sys, zipfile\n"
             "z = zipfile.ZipFile(sys.argv[1])\n"
             "for i in z.infolist(): print(i.filename, i.compress_type, i.file_size)\n"
             "bad = z.testzip()\n"
             "print(\"OK\" if bad is None else \"BAD \" + bad)' '" + zip + "'",
             &listing);
}

inline uint32_t u32_at(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

inline uint16_t u16_at(const std::string& s, size_t at) {
  return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}

}  // namespace gentest
