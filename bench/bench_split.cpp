// Where a Loadobj call's time goes: opening the file, getting its bytes
// (mapped and touched page by page, read whole, or read in blocks into one
// reused buffer), getting a zero-filled record (fresh from the allocator,
// so its first touch pays the page faults, or the one kept by the library),
// and parsing bytes already in memory. Then the whole call both ways. Each
// stage is timed in rounds taken in turn, so a busy moment of the machine
// hits all alike; best and median of the rounds are printed. Builds
// natively and for Windows, where the file stages go through the Windows
// file API (under wine64, Wine's).
//   bench_split FILE.obj [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "objtype.h"

namespace {

double now_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Keeps the compiler from dropping reads whose values nobody uses.
volatile unsigned sink;

const size_t page = 4096;

// The file mapped read-only, each page touched once, unmapped: the cost a
// reader scanning a mapping pays besides its parsing.
double mapandtouch(const char* path) {
    double t0 = now_ms();
    unsigned sum = 0;
#if defined(_WIN32)
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER n;
    GetFileSizeEx(f, &n);
    HANDLE m = CreateFileMappingA(f, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const char* v = m ? static_cast<const char*>(MapViewOfFile(m, FILE_MAP_READ, 0, 0, 0)) : nullptr;
    if (v)
        for (size_t i = 0; i < size_t(n.QuadPart); i += page) sum += unsigned(v[i]);
    if (v) UnmapViewOfFile(v);
    if (m) CloseHandle(m);
    CloseHandle(f);
#else
    int fd = ::open(path, O_RDONLY);
    if (fd < 0) return -1;
    struct stat st;
    fstat(fd, &st);
    size_t n = size_t(st.st_size);
    void* v = mmap(nullptr, n, PROT_READ, MAP_PRIVATE, fd, 0);
    if (v != MAP_FAILED) {
        for (size_t i = 0; i < n; i += page) sum += unsigned(static_cast<const char*>(v)[i]);
        munmap(v, n);
    }
    ::close(fd);
#endif
    sink = sum;
    return now_ms() - t0;
}

long filesize(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fclose(f);
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: %s file.obj [rounds]\n", argv[0]);
        return 2;
    }
    char* path = argv[1];
    int rounds = argc == 3 ? atoi(argv[2]) : 10;
    if (rounds < 1) rounds = 1;
    long size = filesize(path);
    if (size <= 0) {
        fprintf(stderr, "%s: cannot read\n", path);
        return 1;
    }
    std::vector<char> copy(static_cast<size_t>(size));
    {
        FILE* f = fopen(path, "rb");
        size_t got = fread(copy.data(), 1, copy.size(), f);
        fclose(f);
        if (got != copy.size()) return 1;
    }
    obj_type* kept = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    static char block[1 << 16];
    if (!kept) return 1;

    struct stage {
        const char* name;
        std::function<double()> run;
        std::vector<double> times;
    };
    auto timed = [](const std::function<void()>& f) {
        double t0 = now_ms();
        f();
        return now_ms() - t0;
    };
    std::vector<stage> stages = {
        {"open + close (fopen, fclose)", [&] { return timed([&] { fclose(fopen(path, "rb")); }); }, {}},
        {"map, touch each page, unmap", [&] { return mapandtouch(path); }, {}},
        {"read whole into a new buffer", [&] {
             return timed([&] {
                 FILE* f = fopen(path, "rb");
                 char* b = static_cast<char*>(malloc(size_t(size)));
                 if (b) sink = unsigned(fread(b, 1, size_t(size), f));
                 free(b);
                 fclose(f);
             });
         }, {}},
        {"read in 64 KiB blocks, one buffer", [&] {
             return timed([&] {
                 FILE* f = fopen(path, "rb");
                 size_t n, all = 0;
                 while ((n = fread(block, 1, sizeof block, f)) > 0) all += n;
                 sink = unsigned(all);
                 fclose(f);
             });
         }, {}},
        {"record: calloc, first touch, free", [&] {
             return timed([&] {
                 char* r = static_cast<char*>(calloc(1, sizeof(obj_type)));
                 unsigned sum = 0;
                 if (r)
                     for (size_t i = 0; i < sizeof(obj_type); i += page) sum += unsigned(r[i] += 1);
                 sink = sum;
                 free(r);
             });
         }, {}},
        {"record: memset of one kept record", [&] { return timed([&] { memset(kept, 0, sizeof *kept); }); }, {}},
        {"parse from memory (readobj)", [&] {
             memset(kept, 0, sizeof *kept);
             return timed([&] { readobj(kept, copy.data(), copy.size()); });
         }, {}},
        {"Loadobj, record cleared before", [&] {
             memset(kept, 0, sizeof *kept);
             return timed([&] { Loadobj(kept, path); });
         }, {}},
        {"record as the entry points get it + Loadobj", [&] {
             return timed([&] {
                 obj_type* r = takerecord("bench_split", path);
                 if (r) Loadobj(r, path);
                 giverecord(r);
             });
         }, {}},
    };
    for (int r = 0; r < rounds; ++r)
        for (stage& s : stages) s.times.push_back(s.run());
    free(kept);

    printf("file %s: %.1f MB; %d rounds, ms\n", path, double(size) / 1e6, rounds);
    printf("%-46s %9s %9s\n", "stage", "best", "median");
    for (stage& s : stages) {
        std::sort(s.times.begin(), s.times.end());
        printf("%-46s %9.2f %9.2f\n", s.name, s.times.front(), s.times[s.times.size() / 2]);
    }
    return 0;
}
