// The largest single allocation made while a piece of code runs, so that tests
// can show a damaged file never makes a decoder ask for much memory. The test
// executable routes every non-aligned operator new through malloc to watch it.
#pragma once
#include <cstddef>
#include <functional>

size_t largest_allocation(const std::function<void()>& run);  // bytes of the largest request during run
