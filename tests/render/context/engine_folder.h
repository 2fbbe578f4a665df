// Engine tests run in a fresh folder of their own, holding an empty
// "Textures" folder and whatever prepare() puts there: the engine starts in
// it with a fresh log and scene, and is stopped again at the end.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/gl_window.h"
#include "common/scratch_dir.h"
#include "render/vorlaux.h"
#include "render/vorlutil.h"

class engine_folder : public ::testing::Test {
 protected:
  scratch_dir dir;
  std::string old;
  virtual void prepare() {}         // files the engine should find when it starts
  void SetUp() override {
    old = std::filesystem::current_path().string();
    std::filesystem::create_directories(dir.file("Textures"));
    prepare();
    std::filesystem::current_path(dir.path);
    vorl_log_file = vorl_log_state{};
    vorl_scene = vorlscene{};
    start_engine(vorl_scene, gl_window::size, gl_window::size, nullptr);
  }
  void TearDown() override {
    stop_engine(vorl_scene);
    planet_code = planet_interface{};
    std::filesystem::current_path(old);
  }
};
