// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

struct temp_dir {
  std::string path;
  temp_dir() {
    char tmpl[] = "/tmp/corvane-base-XXXXXX";
    if (mkdtemp(tmpl)) path = tmpl;
  }
  ~temp_dir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  std::string file(const std::string& rel) const { return path + "/" + rel; }
  // Writes text to rel, creating its folders.
  void put(const std::string& rel, const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(file(rel)).parent_path());
    std::ofstream(file(rel), std::ios::binary) << text;
  }
};
