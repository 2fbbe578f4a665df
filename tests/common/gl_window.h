// Shared by the tests that need a GL context: one hidden 256 x 256 window with
// a compatibility context for the whole test program, capabilities probed,
// and a read-back of one pixel. The programs run under xvfb-run (see
// gl_context_test in tests/CMakeLists.txt).
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "gl/glgr.h"

class gl_window : public ::testing::Environment {
 public:
  static constexpr int size = 256;
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    window_ = SDL_CreateWindow("test", 0, 0, size, size, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    context_ = SDL_GL_CreateContext(window_);
    ASSERT_NE(context_, nullptr) << SDL_GetError();
    probe_capabilities();
  }
  void TearDown() override {
    SDL_GL_DeleteContext(context_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
  }

 private:
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
};

// Red, green, blue, alpha of the back buffer's pixel at (x, y), y from the bottom.
inline std::array<uint8_t, 4> pixel_at(int x, int y) {
  std::array<uint8_t, 4> p{};
  glFinish();
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return p;
}
