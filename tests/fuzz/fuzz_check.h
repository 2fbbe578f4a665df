// fuzz_check: what every harness shares: a check that stops the run with the
// input saved, a scratch folder for readers that take a file name, and the
// design round trip that the design readers must pass.
//
// Builds on: design/designfile (the block writer and reader).
//
// Notes: a failed check aborts, so libFuzzer keeps the input as a crash and
// prints the message above its report.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "design/designfile.h"

inline void fuzz_check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// The scratch folder of this run, made on first use and removed at exit.
inline const std::filesystem::path& scratch_folder() {
  struct folder {
    std::filesystem::path path;
    folder() {
      std::string pattern = (std::filesystem::temp_directory_path() / "corvane-fuzz-XXXXXX").string();
      fuzz_check(mkdtemp(pattern.data()) != nullptr, "a scratch folder");
      path = pattern;
    }
    ~folder() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static folder f;
  return f.path;
}

// Writes the input to rel in the scratch folder and returns its path. A fresh
// file each time: truncating one that holds data makes ext4 flush it on close.
inline std::string scratch_file(const std::string& rel, const uint8_t* data, size_t size) {
  const std::filesystem::path path = scratch_folder() / rel;
  std::filesystem::create_directories(path.parent_path());
  std::filesystem::remove(path);
  FILE* f = std::fopen(path.c_str(), "wb");
  fuzz_check(f && std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0, "the input written");
  return path.string();
}

// A design that was read writes a block that reads back to the same block.
inline void check_design_round_trip(vessel_design& d) {
  const std::vector<uint8_t> block = design_block_bytes(d);
  fuzz_check(block.size() == design_block_size(d) + sizeof(uint32_t), "the block is as long as it says");
  vessel_design again;
  const design_read_result r = read_design_bytes(again, block.data(), block.size());
  fuzz_check(r.status == design_read_ok && r.message.empty(), "a written block reads back");
  fuzz_check(design_block_bytes(again) == block, "the block read back writes the same bytes");
}
