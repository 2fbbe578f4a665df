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

// Names differing in case are different files, /dev holds devices, files have mode bits.
constexpr bool posix_files = std::filesystem::path::preferred_separator == '/';

struct scratch_path : std::filesystem::path {   // also reads as a UTF-8 name with "/", as the units take names
  operator std::string() const { return generic_string(); }
};

struct scratch_dir {
  scratch_path path;                                           // empty when none could be made
  scratch_dir() {
#ifdef _WIN32
    std::random_device pick;
    for (int tries = 0; tries < 100 && path.empty(); ++tries) {
      const auto p = std::filesystem::temp_directory_path() / ("corvane-test-" + std::to_string(pick()));
      if (std::filesystem::create_directory(p)) path.assign(p.native());
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) path.assign(pattern);
#endif
  }
  ~scratch_dir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  std::string file(const std::string& rel) const { return std::string(path) + "/" + rel; }   // rel stays UTF-8
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
