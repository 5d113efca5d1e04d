// A heap for test exes that refuses single allocations above a limit, so that a body outgrowing
// the process shows without first filling 2 GB of address space.
#pragma once

#include <cstddef>

namespace vd::test {

// 0 lifts the limit.
void SetAllocationLimit(size_t bytes);

}  // namespace vd::test
