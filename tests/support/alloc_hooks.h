// The tests' allocation hooks: every malloc, calloc, realloc and free of
// the code linked into a test (and every operator new, which goes through
// malloc here) passes through them, given the link options of
// tolvane_alloc_hooks() in tests/bounds/CMakeLists.txt. They count the live
// heap and its peak, and fail allocations on demand. Works beside
// AddressSanitizer, under valgrind and in a plain build alike.
#ifndef TESTS_SUPPORT_ALLOC_HOOKS_H
#define TESTS_SUPPORT_ALLOC_HOOKS_H

#include <cstddef>

namespace allochooks {

// Peak and counts back to zero, no failures armed.
void reset();
// Highest live heap bytes since reset(), above what was live then.
size_t peak();
// Allocations made since reset().
size_t count();
// Every allocation of more than `bytes` fails from now on (0: none fail).
void failabove(size_t bytes);
// The n-th allocation after this call fails (1: the next one; 0: none).
void failnth(size_t n);
// Allocations refused since reset().
size_t failed();

}  // namespace allochooks

#endif
