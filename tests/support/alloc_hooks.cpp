#include "alloc_hooks.h"

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <new>

extern "C" {
void* __real_malloc(size_t n);
void* __real_calloc(size_t count, size_t n);
void* __real_realloc(void* p, size_t n);
void __real_free(void* p);
}

namespace {

// One test thread allocates at a time; the counters need no lock.
size_t live = 0, highest = 0, made = 0, refused = 0;
size_t limit = 0;  // 0: no size fails
size_t nth = 0;    // 0: no position fails

bool refuse(size_t n) {
    ++made;
    bool no = (limit && n > limit) || (nth && --nth == 0);
    if (no) ++refused;
    return no;
}

void added(void* p) {
    if (!p) return;
    live += malloc_usable_size(p);
    if (live > highest) highest = live;
}

void removed(void* p) {
    if (!p) return;
    size_t n = malloc_usable_size(p);
    live = n < live ? live - n : 0;  // blocks from before reset() count as 0
}

}  // namespace

namespace allochooks {
void reset() {
    live = highest = made = refused = 0;
    limit = nth = 0;
}
size_t peak() { return highest; }
size_t count() { return made; }
void failabove(size_t bytes) { limit = bytes; }
void failnth(size_t n) { nth = n; }
size_t failed() { return refused; }
}  // namespace allochooks

extern "C" {

void* __wrap_malloc(size_t n) {
    if (refuse(n)) return nullptr;
    void* p = __real_malloc(n);
    added(p);
    return p;
}

void* __wrap_calloc(size_t count, size_t n) {
    if (refuse(n && count > SIZE_MAX / n ? SIZE_MAX : count * n)) return nullptr;
    void* p = __real_calloc(count, n);
    added(p);
    return p;
}

void* __wrap_realloc(void* p, size_t n) {
    if (!p) return __wrap_malloc(n);
    if (refuse(n)) return nullptr;  // p stays valid, as a failed realloc leaves it
    size_t before = malloc_usable_size(p);
    void* q = __real_realloc(p, n);
    if (!q) return nullptr;
    live = before < live ? live - before : 0;
    added(q);
    return q;
}

void __wrap_free(void* p) {
    removed(p);
    __real_free(p);
}
}

// operator new on top of the hooked malloc, so that containers count and
// fail too.
void* operator new(size_t n) {
    void* p = malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
