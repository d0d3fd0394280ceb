// Feeds arbitrary bytes, as a file, to Loadobj and to the line reader and
// stops at the first record on which they disagree.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kestrin.h"
#include "objtype.h"
#include "reference_reader.h"

namespace {

int quietbox(const char*, const char*, unsigned) { return 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t n) {
    static obj_type* fast = static_cast<obj_type*>(malloc(sizeof(obj_type)));
    static obj_type* ref = static_cast<obj_type*>(malloc(sizeof(obj_type)));
    static std::string path = "/tmp/kestrin-fuzz-" + std::to_string(getpid()) + ".obj";
    kestrinsetboxhook(quietbox);

    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, n, f);
    fclose(f);

    memset(fast, 0, sizeof(obj_type));
    memset(ref, 0, sizeof(obj_type));
    int a = Loadobj(fast, &path[0]);
    int b = refloadobj(ref, &path[0]);
    if (a != b || memcmp(fast, ref, sizeof(obj_type)) != 0) {
        fprintf(stderr, "fast reader and line reader disagree\n");
        abort();
    }
    return 0;
}
