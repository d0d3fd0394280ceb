// Feeds arbitrary bytes, as a 3DS file's exact-size buffer (so that a read
// past its end is seen), to harlith's chunk reader and draws what it found
// through the recording OpenGL of the tests, once with a texture list that
// names materials and once with none (the two drawing paths).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model3ds.h"
#include "recording_gl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t n) {
    // A copy of exactly n bytes: libFuzzer's own buffer is that too, but the
    // copy keeps the reader off memory the fuzzer may reuse.
    unsigned char* file = static_cast<unsigned char*>(malloc(n ? n : 1));
    if (n) memcpy(file, data, n);
    {
        model3ds model;
        read3ds(file, n, model);
        clearglcalls();
        draw3ds(model, 100, "box", "boxwood 3 wood 4 boxbox 5 mat 6", "");
        clearglcalls();
        draw3ds(model, 0, "", "", "mat");
        clearglcalls();
    }
    free(file);
    return 0;
}
