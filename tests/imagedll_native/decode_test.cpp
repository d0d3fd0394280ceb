// The decoding behind LoadImageFile on the host: the heap it takes at its
// peak, counted through the tests' allocation hooks, for hostile sizes, for
// the largest pictures it accepts and for small pictures in files padded to
// 100 MB and more; what it does when allocations fail; and the files it
// must refuse before decoding.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "alloc_hooks.h"
#include "decode.h"
#include "image_writers.h"
#include "imagecheck.h"

namespace {

struct Measured {
    Decoded d;
    size_t peak;  // bytes above what was live before the call
};

Measured decodemeasured(const Bytes& file) {
    allochooks::reset();
    Measured m;
    m.d = decode_image(file.data(), file.size());
    m.peak = allochooks::peak();
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

namespace {

Image pattern(int w, int h) {
    Image img;
    img.w = w;
    img.h = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.rgba.insert(img.rgba.end(), {(unsigned char)(x * 7), (unsigned char)(y * 3), (unsigned char)(x ^ y), 255});
    return img;
}

void expectsame(const Decoded& a, const Decoded& b, const char* name) {
    ASSERT_NE(a.rgba, nullptr) << name;
    ASSERT_NE(b.rgba, nullptr) << name;
    ASSERT_EQ(a.w, b.w) << name;
    ASSERT_EQ(a.h, b.h) << name;
    EXPECT_EQ(std::memcmp(a.rgba, b.rgba, size_t(a.w) * a.h * 4), 0) << name;
}

Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Where a JPEG's frame header (SOF0) starts, at its marker.
size_t sof0(const Bytes& jpg) {
    for (size_t i = 2; i + 1 < jpg.size(); ++i)
        if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) return i;
    return 0;
}

const size_t kPad = 100 * MB;

}  // namespace

// A 256 x 256 picture in files padded or repeated past 100 MB: each decodes
// to the picture of the plain file (or is refused, as the plain file is)
// and its peak stays within what the picture costs (the bytes per pixel of
// decode.h) plus 1 MB: the padding is read, never copied.
TEST(DecodeMemory, PaddingCostsNoMemory) {
    const int side = 256;
    const size_t bound = 11 * size_t(side) * side + 1 * MB;
    Image img = pattern(side, side);
    Bytes jpg = encode_jpg(img, 85), png = encode_png(img, 4), tga = encode_tga(img, false);
    Bytes open_end(jpg.begin(), jpg.end() - 2);
    const unsigned char pal[4][3] = {{0, 0, 0}, {9, 9, 9}, {200, 10, 10}, {1, 2, 3}};
    Bytes gif = encode_gif(side, side, std::vector<int>(size_t(side) * side, 2), pal, -1);

    struct Case {
        const char* name;
        const Bytes* plain;
        Bytes padded;
    };
    std::vector<Case> cases;
    cases.push_back({"jpeg, zeros after its end marker", &jpg, cat(jpg, Bytes(kPad, 0))});
    cases.push_back({"jpeg without end marker, zeros after its scan", &jpg, cat(open_end, Bytes(kPad, 0))});
    {
        Bytes comments(jpg.begin(), jpg.begin() + 2);
        const unsigned char empty[4] = {0xFF, 0xFE, 0x00, 0x02};
        comments.reserve(kPad + jpg.size());
        while (comments.size() < kPad) comments.insert(comments.end(), empty, empty + 4);
        cases.push_back({"jpeg after 25 million empty comments", &jpg, cat(comments, Bytes(jpg.begin() + 2, jpg.end()))});
    }
    {
        Bytes chunks(png.begin(), png.begin() + 33), empty = png_chunk("tEXt", {});
        chunks.reserve(kPad + png.size());
        while (chunks.size() < kPad) chunks.insert(chunks.end(), empty.begin(), empty.end());
        cases.push_back({"png after 8 million empty chunks, zeros after its end",
                         &png, cat(cat(chunks, Bytes(png.begin() + 33, png.end())), Bytes(kPad / 4, 0))});
    }
    cases.push_back({"tga, zeros after", &tga, cat(tga, Bytes(kPad, 0))});
    {
        // Comment extensions of 255-byte sub-blocks between the colour table
        // and the image.
        size_t at = 13 + 3 * 4;
        Bytes ext = {0x21, 0xFE};
        ext.reserve(kPad);
        while (ext.size() < kPad) {
            ext.push_back(255);
            ext.insert(ext.end(), 255, 'c');
        }
        ext.push_back(0);
        Bytes padded(gif.begin(), gif.begin() + at);
        padded = cat(cat(padded, ext), Bytes(gif.begin() + at, gif.end()));
        cases.push_back({"gif after a 100 MB comment", &gif, padded});
    }
    for (Case& c : cases) {
        Decoded plain = decode_image(c.plain->data(), c.plain->size());
        Measured m = decodemeasured(c.padded);
        printf("%-52s %4zu MB file, peak %zu KB\n", c.name, c.padded.size() / MB, m.peak / 1024);
        EXPECT_LE(m.peak, bound) << c.name;
        expectsame(m.d, plain, c.name);
        free(plain.rgba);
        free(m.d.rgba);
        Bytes().swap(c.padded);
    }
}

// Caps are asked before anything reads past the header: a 1-bit BMP
// 800 million pixels wide (its 100 MB of rows unreadable here, so that a
// scan of them would crash) and one whose palette gap is 100 MB are refused
// without allocating.
TEST(DecodeMemory, WhatTheCapsRuleOutIsNeverScanned) {
    const uint32_t wide = 800000000u, stride = (wide + 31) / 32 * 4;
    const size_t page = 4096, total = page + stride;
    void* map = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    unsigned char* p = static_cast<unsigned char*>(map);
    auto le32 = [](unsigned char* at, uint32_t v) {
        for (int k = 0; k < 4; ++k) at[k] = (unsigned char)(v >> (8 * k));
    };
    const uint32_t offset = 62;
    // The rows start inside the first page; only the header, the palette
    // and the first rows' bytes up to the page end can be read.
    p[0] = 'B', p[1] = 'M';
    le32(p + 2, uint32_t(offset + stride));
    le32(p + 10, offset);
    le32(p + 14, 40);
    le32(p + 18, wide);
    le32(p + 22, 1);
    p[26] = 1, p[28] = 1;
    le32(p + 54, 0x00FFFFFF);  // palette: white, black
    ASSERT_EQ(mprotect(p + page, total - page, PROT_NONE), 0);
    allochooks::reset();
    Decoded d = decode_image(p, offset + stride);
    EXPECT_EQ(d.rgba, nullptr);
    EXPECT_LT(allochooks::peak(), 64u * 1024);
    munmap(map, total);

    const unsigned char pal16[16][3] = {{0, 0, 0}, {255, 255, 255}};
    Bytes gap = bmp_file(8, 4, 8, 0, pal16, Bytes(32, 1));
    const size_t header_end = 54 + 64;
    gap.insert(gap.begin() + header_end, kPad, 0);
    le32(&gap[10], uint32_t(header_end + kPad));
    Measured m = decodemeasured(gap);
    EXPECT_EQ(m.d.rgba, nullptr);
    EXPECT_LT(m.peak, 64u * 1024);
}

// A JPEG's frame may name a quantization table that no DQT segment
// defined: the decoder would scale by whatever its memory held (the pixels
// changed from run to run). Refused before decoding, sequential and
// progressive alike; the same file with the table defined is not.
TEST(DecodeChecks, AnUndefinedQuantizationTableIsRefused) {
    Bytes jpg = encode_jpg(pattern(40, 24), 80);
    size_t sof = sof0(jpg);
    ASSERT_GT(sof, 0u);
    ASSERT_EQ(jpg[sof + 9], 3);  // three components
    Bytes third_undefined = jpg;
    third_undefined[sof + 10 + 3 * 2 + 2] = 3;  // component 3 uses table 3
    Decoded good = decode_image(jpg.data(), jpg.size());
    ASSERT_NE(good.rgba, nullptr);
    free(good.rgba);
    EXPECT_EQ(decode_image(third_undefined.data(), third_undefined.size()).rgba, nullptr);
    Bytes open_end(third_undefined.begin(), third_undefined.end() - 2);
    EXPECT_EQ(decode_image(open_end.data(), open_end.size()).rgba, nullptr);

    // A progressive frame applies its tables after the last scan, so a
    // table defined after the scans counts, one never defined does not.
    bool ended = false;
    Bytes progressive = jpg, progressive_undefined = third_undefined;
    progressive[sof + 1] = progressive_undefined[sof + 1] = 0xC2;
    EXPECT_TRUE(jpeg_framing(progressive.data(), progressive.size(), ended));
    EXPECT_FALSE(jpeg_framing(progressive_undefined.data(), progressive_undefined.size(), ended));
    Bytes late = progressive_undefined;
    const unsigned char table3[] = {0xFF, 0xDB, 0x00, 0x43, 0x03};
    late.insert(late.end() - 2, table3, table3 + 5);
    late.insert(late.end() - 2, 64, 1);
    EXPECT_TRUE(jpeg_framing(late.data(), late.size(), ended));
    EXPECT_TRUE(ended);
}

// Every allocation may fail: the decode then gives no picture or the whole
// picture, never a throw, a crash or a leak. Each allocation of a small
// file's decode is failed in turn, then every one above a size.
TEST(DecodeMemory, EveryFailedAllocationEndsInNoPicture) {
    Image img = pattern(19, 11);
    const unsigned char pal[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    const unsigned char pal16[16][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0}};
    Bytes jpg = encode_jpg(img, 90);
    Bytes rows;
    for (int i = 0; i < 8 * 4; ++i) rows.push_back((unsigned char)(i % 4));
    Bytes raw8 = bmp_file(8, 4, 8, 0, pal16, rows);
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"jpeg", jpg},
        {"jpeg without end", Bytes(jpg.begin(), jpg.end() - 2)},
        {"png", encode_png(img, 4)},
        {"png 16-bit interlaced", png_blank(9, 7, 16, 6, true)},
        {"bmp", encode_bmp(img)},
        {"bmp rle8", bmp_rle_from(raw8)},
        {"tga rle", encode_tga(img, true)},
        {"gif", encode_gif(6, 5, std::vector<int>(30, 1), pal, -1)},
    };
    for (const Case& c : cases) {
        allochooks::reset();
        Decoded good = decode_image(c.file.data(), c.file.size());
        const size_t allocations = allochooks::count();
        ASSERT_NE(good.rgba, nullptr) << c.name;
        ASSERT_GT(allocations, 0u) << c.name;
        auto check = [&](const char* how, size_t n) {
            Decoded d;
            bool threw = false;
            try {
                d = decode_image(c.file.data(), c.file.size());
            } catch (...) {
                threw = true;
            }
            allochooks::failnth(0);
            allochooks::failabove(0);
            EXPECT_FALSE(threw) << c.name << how << n;
            if (d.rgba) expectsame(d, good, c.name);
            free(d.rgba);
        };
        for (size_t n = 1; n <= allocations; ++n) {
            allochooks::reset();
            allochooks::failnth(n);
            check(", failing allocation ", n);
            EXPECT_EQ(allochooks::failed(), 1u) << c.name << n;
        }
        for (size_t above : {1u, 16u, 256u, 4096u}) {
            allochooks::reset();
            allochooks::failabove(above);
            check(", failing every allocation above ", above);
        }
        allochooks::reset();
        free(good.rgba);
    }
}
