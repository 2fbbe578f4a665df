// vrkdll_runtime: the few C++ run-time pieces the module needs on Windows.
//
// The Windows module links the C++ library statically, and the library's own
// operator new and error paths bring exception handling, type information and
// a name demangler with them: more than the whole module image may hold. The
// module is built without exceptions, so running out of memory or a broken
// container bound ends the simulator's process here, as it would anyway.
//
// Builds on: the C library.
#include <cstddef>
#include <cstdlib>

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) std::abort();
  return p;
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace std {
[[noreturn]] void __throw_length_error(const char*) { abort(); }
[[noreturn]] void __throw_logic_error(const char*) { abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { abort(); }
[[noreturn]] void __throw_bad_alloc() { abort(); }
[[noreturn]] void __throw_bad_array_new_length() { abort(); }
}  // namespace std

extern "C" [[noreturn]] void __cxa_pure_virtual() { std::abort(); }
