// The allocation tests' program counts heap allocations through this one copy of the replacement
// operator new and delete; the tests themselves only read the counts.
#include "testbed/CountingAllocator.h"
