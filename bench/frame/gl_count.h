// gl_count: every GL call a benchmark makes, counted.
//
// The benchmark is linked twice. The first link is never run: the GL
// functions it imports from the GL library name the calls to count. The
// second link redirects each of them (the linker's --wrap) to a stub that
// adds one to gl_call_count and jumps on to the real function, touching no
// argument; gl-wraps.sh writes those stubs. Entry points reached through the
// driver's lookup get stubs of the same kind from counting_lookup, which
// hands out one per name and passes on the real address.
//
// Builds on: the linker's --wrap, x86-64 assembly (gl_stubs.S).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

extern "C" uint64_t gl_call_count;                 // calls so far, every counted function

// A counting stand-in for the driver's entry point of `name`, or the real
// one when the stubs are used up; null when the driver has none.
void* counting_lookup(const char* name);
// Every counted function with its calls so far, the most called first.
std::vector<std::pair<std::string, uint64_t>> gl_calls_by_function();
