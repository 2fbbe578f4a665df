#include "alloc_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> watching{false};
std::atomic<size_t> largest{0};

void* watched_alloc(size_t n) {
  if (watching.load(std::memory_order_relaxed) && n > largest.load(std::memory_order_relaxed)) largest = n;
  return std::malloc(n ? n : 1);
}

void* must_alloc(size_t n) {
  if (void* p = watched_alloc(n)) return p;
  throw std::bad_alloc();
}

}  // namespace

size_t largest_allocation(const std::function<void()>& run) {
  largest = 0;
  watching = true;
  run();
  watching = false;
  return largest;
}

// Every non-aligned form, so that what one form allocates another may free.
void* operator new(size_t n) { return must_alloc(n); }
void* operator new[](size_t n) { return must_alloc(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return watched_alloc(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return watched_alloc(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
