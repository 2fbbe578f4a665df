// gl_count: the call counters and the stubs of the driver's entry points.
#include "gl_count.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>

namespace {

constexpr size_t stub_count = 256, stub_bytes = 32;
const char* pointer_names[stub_count];
size_t stubs_used = 0;

}  // namespace

extern "C" {
uint64_t gl_call_count = 0;
void* gl_pointer_targets[stub_count];              // where each pointer stub jumps
uint64_t gl_pointer_calls[stub_count];             // calls through each
extern char gl_pointer_stubs[];                    // 32 bytes each (gl_stubs.S)
// The linked functions' stubs (gl-wraps.sh); absent from the first link.
extern const uint64_t gl_wrapped_count __attribute__((weak));
extern uint64_t gl_wrapped_calls[] __attribute__((weak));
extern const char* const gl_wrapped_names[] __attribute__((weak));
}

void* counting_lookup(const char* name) {
  void* real = SDL_GL_GetProcAddress(name);
  if (!real || stubs_used == stub_count) return real;
  gl_pointer_targets[stubs_used] = real;
  pointer_names[stubs_used] = name;
  return gl_pointer_stubs + stub_bytes * stubs_used++;
}

std::vector<std::pair<std::string, uint64_t>> gl_calls_by_function() {
  std::vector<std::pair<std::string, uint64_t>> out;
  for (size_t i = 0; &gl_wrapped_count && i < gl_wrapped_count; ++i) out.emplace_back(gl_wrapped_names[i], gl_wrapped_calls[i]);
  for (size_t i = 0; i < stubs_used; ++i) out.emplace_back(pointer_names[i], gl_pointer_calls[i]);
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  return out;
}
