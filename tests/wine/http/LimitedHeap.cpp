#include "LimitedHeap.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> allocationLimit{0};
}  // namespace

namespace vd::test {
void SetAllocationLimit(size_t bytes) { allocationLimit = bytes; }
}  // namespace vd::test

// Replaces the global allocation functions of the whole exe (new[] and the nothrow forms end
// here too); kept in a file of its own so the compiler never pairs them up with inlined callers.
void* operator new(size_t size) {
  const size_t limit = allocationLimit.load();
  if (limit != 0 && size > limit) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
