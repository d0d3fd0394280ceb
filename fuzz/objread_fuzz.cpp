// Feeds arbitrary bytes to kestrin's OBJ reader along every way in, and to
// the line reader of the tests, and stops at the first record on which they
// disagree:
// - the file, read in blocks (Loadobj);
// - an exact-size heap copy read in place, so that AddressSanitizer sees a
//   read past the end;
// - a stream without a descriptor, read in blocks;
// - an input whose first byte is 0x01: the rest repeated past 64 KiB, so
//   that lines cross block refills and the in-place reader's tail copy.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kestrin.h"
#include "objtype.h"
#include "reference_reader.h"
#include "../tests/support/temp_folder.h"

namespace {

int quietbox(const char*, const char*, unsigned) { return 1; }

obj_type* newrecord() { return static_cast<obj_type*>(calloc(1, sizeof(obj_type))); }

// Zeroes what a read wrote: slots up to the counts, the material table and
// the counts. Cheaper than 8 MB each time; a stray write past the counts is
// caught by the comparison of the very run that made it.
void clearrecord(obj_type* o) {
    memset(o->matname, 0, sizeof o->matname);
    memset(o->matstart, 0, sizeof o->matstart);
    memset(&o->prefix, 0, sizeof o->prefix);
    memset(o->vertex, 0, sizeof o->vertex[0] * size_t(o->nvertex + 1));
    memset(o->face, 0, sizeof o->face[0] * size_t(o->nface + 1));
    memset(o->texcoord, 0, sizeof o->texcoord[0] * size_t(o->ntexcoord + 1));
    memset(o->normal, 0, sizeof o->normal[0] * size_t(o->nnormal + 1));
    o->nvertex = o->nface = o->ntexcoord = o->nnormal = 0;
}

void check(const obj_type* fast, const obj_type* ref, const char* way) {
    if (memcmp(fast, ref, sizeof(obj_type)) != 0) {
        fprintf(stderr, "the reader (%s) and the line reader disagree\n", way);
        abort();
    }
}

// The input as the reader sees it.
std::string bytesof(const uint8_t* data, size_t n) {
    if (n == 0 || data[0] != 0x01) return std::string(reinterpret_cast<const char*>(data), n);
    std::string unit(reinterpret_cast<const char*>(data) + 1, n - 1);
    if (unit.empty()) unit = "\n";
    std::string s;
    while (s.size() <= (64 << 10) + 600) s += unit;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t n) {
    static obj_type* fast = newrecord();
    static obj_type* ref = newrecord();
    // In a folder of the run's temp directory (TMPDIR), removed at exit.
    static const TempFolder folder("kestrin-fuzz");
    static std::string path = folder.path("model.obj");
    kestrinsetboxhook(quietbox);
    std::string bytes = bytesof(data, n);

    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);

    clearrecord(ref);
    if (refloadobj(ref, &path[0]) != 1) abort();

    clearrecord(fast);
    if (Loadobj(fast, &path[0]) != 1) abort();
    unlink(path.c_str());
    check(fast, ref, "file");

    // The ways in below fill everything but the prefix.
    char* copy = static_cast<char*>(malloc(bytes.size() ? bytes.size() : 1));
    memcpy(copy, bytes.data(), bytes.size());
    clearrecord(fast);
    fast->prefix = ref->prefix;
    readobj(fast, copy, bytes.size());
    free(copy);
    check(fast, ref, "exact-size copy in place");

    if (!bytes.empty()) {  // fmemopen wants a buffer
        FILE* stream = fmemopen(&bytes[0], bytes.size(), "rb");  // no descriptor
        if (!stream) abort();
        clearrecord(fast);
        fast->prefix = ref->prefix;
        readobj(fast, stream);
        fclose(stream);
        check(fast, ref, "blocks");
    }
    return 0;
}
