// Feeds arbitrary bytes, as an exact-size copy of a file, to the image
// decoder's structural checks and decoding, as LoadImageFile does it
// (everything but the bitmap). A picture that comes back must be within the
// size limits, and every byte of it is read once so that uninitialised or
// short buffers show.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "decode.h"
#include "imagecheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t n) {
    if (n == 0 || n > kImageMaxFileBytes) return 0;  // the DLL reads no such file
    unsigned char* file = static_cast<unsigned char*>(malloc(n));
    memcpy(file, data, n);
    ImageKind kind = image_kind(file, n);
    (void)image_complete(kind, file, n);
    Decoded d = decode_image(file, n);
    if (d.rgba) {
        if (!size_acceptable(d.w, d.h)) abort();
        unsigned sum = 0;
        size_t bytes = size_t(d.w) * size_t(d.h) * 4;
        for (size_t i = 0; i < bytes; ++i) sum += d.rgba[i];
        if (sum == 0xFFFFFFFFu) abort();  // keeps the reads
    }
    free(d.rgba);
    free(file);
    return 0;
}
