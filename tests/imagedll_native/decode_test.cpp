// The decoding behind LoadImageFile on the host: the heap it takes at its
// peak, counted through AddressSanitizer's allocation hooks, for hostile
// sizes and for the largest pictures it accepts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "decode.h"
#include "image_writers.h"

extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* p);
}

namespace {

// Live heap bytes and their highest point since the last reset.
size_t live = 0, peak = 0;
void onmalloc(const volatile void*, size_t n) {
    live += n;
    if (live > peak) peak = live;
}
void onfree(const volatile void* p) {
    size_t n = __sanitizer_get_allocated_size(p);
    live = n < live ? live - n : 0;
}

struct Measured {
    Decoded d;
    size_t peak;  // bytes above what was live before the call
};

Measured decodemeasured(const Bytes& file) {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(onmalloc, onfree) != 0;
    EXPECT_TRUE(installed);
    live = peak = 0;
    Measured m;
    m.d = decode_image(file.data(), file.size());
    m.peak = peak;
    return m;
}

const size_t MB = 1024 * 1024;

// What a decode may take at its peak (see decode.h): 2 GB of address space
// hold it with room for the viewer's model record, OpenGL and a fragmented
// heap.
const size_t kPeakBound = 320 * MB;

}  // namespace

// 16384 x 4096 is within each side's limit but over the pixel cap: refused
// from the header, before the decoder allocates the picture.
TEST(DecodeMemory, HugeScreensAndPicturesInTinyFilesAreRefusedFromTheirHeaders) {
    Bytes png = png_blank(16384, 4096, 16, 6, false);
    EXPECT_LT(png.size(), 4 * MB);
    Bytes gif = gif_screen(16384, 4096);
    EXPECT_EQ(gif.size(), 35u);
    for (const Bytes* file : {&png, &gif}) {
        Measured m = decodemeasured(*file);
        EXPECT_EQ(m.d.rgba, nullptr);
        EXPECT_LT(m.peak, 1 * MB);
    }
    // The same writers at a small size give pictures: the refusals above
    // are the sizes'.
    Measured small = decodemeasured(gif_screen(16, 8));
    ASSERT_NE(small.d.rgba, nullptr);
    EXPECT_EQ(small.d.w, 16);
    EXPECT_EQ(small.d.h, 8);
    free(small.d.rgba);
    small = decodemeasured(png_blank(16, 8, 16, 6, true));
    ASSERT_NE(small.d.rgba, nullptr);
    EXPECT_EQ(small.d.w, 16);
    free(small.d.rgba);
}

// Each costly kind of picture near the largest size its cost allows decodes
// in full, within the bound (the files are small: their own bytes hardly
// count), and a little larger is refused from its header: RGBA PNGs of 8 and 16 bits, plain and interlaced; a GIF screen;
// a JPEG without its end marker (decoded twice, once with noise after the
// scan).
TEST(DecodeMemory, TheLargestPicturesDecodeWithinTheBound) {
    auto blackjpeg = [](int w, int h) {
        Image black;
        black.w = w;
        black.h = h;
        black.rgba.assign(size_t(w) * h * 4, 0);
        Bytes jpg = encode_jpg(black, 90);
        jpg.resize(jpg.size() - 2);  // FF D9
        return jpg;
    };
    struct Case {
        const char* name;
        int w, h, overh;  // overh: a height just past the budget
        Bytes (*make)(int w, int h);
    } cases[] = {
        {"png 8-bit", 6400, 6400, 6554, [](int w, int h) { return png_blank(w, h, 8, 6, false); }},
        {"png 8-bit interlaced", 4800, 4800, 5000, [](int w, int h) { return png_blank(w, h, 8, 6, true); }},
        {"png 16-bit", 4096, 5100, 5121, [](int w, int h) { return png_blank(w, h, 16, 6, false); }},
        {"png 16-bit interlaced", 4096, 2925, 2926, [](int w, int h) { return png_blank(w, h, 16, 6, true); }},
        {"gif screen", 6000, 6000, 6300, [](int w, int h) { return gif_screen(uint16_t(w), uint16_t(h)); }},
        {"jpeg without end", 5400, 5400, 5700, blackjpeg},
    };
    for (const Case& c : cases) {
        Measured m = decodemeasured(c.make(c.w, c.h));
        ASSERT_NE(m.d.rgba, nullptr) << c.name;
        EXPECT_EQ(m.d.w, c.w) << c.name;
        EXPECT_EQ(m.d.h, c.h) << c.name;
        EXPECT_EQ(m.d.rgba[size_t(c.w) * c.h * 4 - 2], 0) << c.name;
        free(m.d.rgba);
        EXPECT_LT(m.peak, kPeakBound) << c.name;
        printf("%-22s %dx%d peak %zu MB\n", c.name, c.w, c.h, m.peak / MB);
        if (c.make == +blackjpeg) continue;  // the refusal needs no second big encode
        Measured over = decodemeasured(c.make(c.w, c.overh));
        EXPECT_EQ(over.d.rgba, nullptr) << c.name;
        EXPECT_LT(over.peak, 1 * MB) << c.name;
        free(over.d.rgba);
    }
}
