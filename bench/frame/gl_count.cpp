// gl_count: the call counter and the stubs of the driver's entry points.
#include "gl_count.h"

#include <SDL.h>

#include <cstddef>

extern "C" {
uint64_t gl_call_count = 0;
void* gl_pointer_targets[256];                     // where each pointer stub jumps
extern char gl_pointer_stubs[];                    // 256 stubs, 16 bytes each (gl_stubs.S)
}

namespace {

constexpr size_t stub_count = 256, stub_bytes = 16;
size_t stubs_used = 0;

}  // namespace

void* counting_lookup(const char* name) {
  void* real = SDL_GL_GetProcAddress(name);
  if (!real || stubs_used == stub_count) return real;
  gl_pointer_targets[stubs_used] = real;
  return gl_pointer_stubs + stub_bytes * stubs_used++;
}
