// Shared by the unit tests: a fresh temporary folder for one test, removed with
// everything in it when the test ends (also when an assertion ends it early), and
// whole-file reads and writes.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// Windows takes names that differ only in case for one name.
#ifdef _WIN32
constexpr bool names_differ_in_case = false;
#else
constexpr bool names_differ_in_case = true;
#endif

struct scratch_dir {
  std::filesystem::path path;                                  // empty when none could be made
  scratch_dir() {
#ifdef _WIN32
    std::random_device pick;
    for (int tries = 0; tries < 100 && path.empty(); ++tries) {
      const auto p = std::filesystem::temp_directory_path() / ("corvane-test-" + std::to_string(pick()));
      if (std::filesystem::create_directory(p)) path = p;
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
#endif
  }
  ~scratch_dir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  // Names are UTF-8 and keep "/" (Windows would read rel in its ANSI code page).
  std::string file(const std::string& rel) const { return path.generic_string() + "/" + rel; }
  // Writes text to rel, creating its folders.
  void put(const std::string& rel, const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(file(rel)).parent_path());
    std::ofstream(file(rel), std::ios::binary) << text;
  }
};

inline void write_bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> read_bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
