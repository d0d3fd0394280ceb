// Without a desktop a box is written to stderr and answered as if the user
// had agreed, so tools and tests run unattended.
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "platform.h"

int kestrinsystembox(const char* text, const char* title, unsigned type) {
    fprintf(stderr, "[%s] %s\n", title, text);
    return (type & 0xF) == KESTRIN_MB_YESNO ? KESTRIN_IDYES : KESTRIN_IDOK;
}

void kestrinsleep(int ms) {
    timespec t;
    t.tv_sec = ms / 1000;
    t.tv_nsec = long(ms % 1000) * 1000000L;
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

const char* kestrinmapfile(FILE* file, size_t* size) {
    struct stat st;
    int fd = fileno(file);
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return nullptr;
    if (uintmax_t(st.st_size) > SIZE_MAX) return nullptr;
    // No MAP_POPULATE: measured slower than the faults, which map a run of
    // pages each.
    void* view = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) return nullptr;
    *size = size_t(st.st_size);
    return static_cast<const char*>(view);
}

void kestrinunmapfile(const char* view, size_t size) {
    if (view) munmap(const_cast<char*>(view), size);
}
