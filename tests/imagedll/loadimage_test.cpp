// jpeg.dll loaded the way the toolkit loads it, decoding files written here.
#include "decoded_pixels.h"
#include "image_writers.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A picture whose every pixel differs: catches swapped channels, flipped rows
// and shifted columns.
Image pattern(int w, int h) {
    Image img;
    img.w = w;
    img.h = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.rgba.insert(img.rgba.end(), {(unsigned char)(20 + 30 * x), (unsigned char)(10 + 40 * y),
                                             (unsigned char)(250 - 7 * x - 11 * y), (unsigned char)(255 - 25 * x)});
    return img;
}

bool close_to(uint32_t a, uint32_t b, int tol) {
    for (int s = 0; s < 24; s += 8)
        if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tol) return false;
    return true;
}

size_t find_marker(const Bytes& jpg, unsigned char marker) {
    for (size_t i = 0; i + 1 < jpg.size(); ++i)
        if (jpg[i] == 0xFF && jpg[i + 1] == marker) return i;
    return jpg.size();
}

class LoadImageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        load = loader();
        ASSERT_NE(load, nullptr) << "jpeg.dll or its entry LoadImageFile not found";
        dir = folder.dir() + "\\";
    }

    std::string write(const std::string& name, const Bytes& bytes) {
        std::string path = dir + name;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(f, INVALID_HANDLE_VALUE) << path;
        DWORD done = 0;
        if (!bytes.empty()) WriteFile(f, bytes.data(), DWORD(bytes.size()), &done, nullptr);
        CloseHandle(f);
        return path;
    }

    // Decodes the bytes from a file; the bitmap is read back and deleted.
    bool decode(const Bytes& bytes, Pixels* out = nullptr, const std::string& name = "image.bin") {
        HBITMAP bmp = load(0, write(name, bytes).c_str());
        if (!bmp) return false;
        Pixels px = read_dib(bmp);
        EXPECT_EQ(px.bits, 32);
        EXPECT_EQ(size_t(px.w) * px.h, px.argb.size()) << "not a readable 32-bit DIB section";
        EXPECT_TRUE(DeleteObject(bmp));
        if (out) *out = px;
        return true;
    }

    void expect_exact(const Bytes& file, const Image& img, bool keeps_alpha) {
        Pixels px;
        ASSERT_TRUE(decode(file, &px));
        ASSERT_EQ(px.w, img.w);
        ASSERT_EQ(px.h, img.h);
        for (int y = 0; y < img.h; ++y)
            for (int x = 0; x < img.w; ++x) {
                uint32_t want = keeps_alpha ? img.argb(x, y) : img.argb(x, y) & 0x00FFFFFF;
                ASSERT_EQ(px.at(x, y), want) << "pixel " << x << "," << y;
            }
    }

    // Every shorter copy of a complete file is refused.
    void expect_every_cut_refused(const Bytes& file, size_t keep_ok_from) {
        for (size_t cut = 1; cut < keep_ok_from; ++cut)
            ASSERT_FALSE(decode(Bytes(file.begin(), file.begin() + cut))) << "cut at " << cut << " of " << file.size();
    }

    LoadImageFileFn load = nullptr;
    TempFolder folder{"imagedll_tests"};
    std::string dir;
};

TEST_F(LoadImageFileTest, DecodesLosslessFormatsPixelForPixel) {
    Image img = pattern(7, 5);
    expect_exact(encode_png(img, 4), img, true);
    expect_exact(encode_png(img, 3), img, false);  // no alpha channel: alpha 0
    expect_exact(encode_bmp(img), img, false);
    expect_exact(encode_tga(img, false), img, false);
    expect_exact(encode_tga(img, true), img, false);
}

TEST_F(LoadImageFileTest, DecodesGifFirstFrameWithTransparency) {
    const unsigned char pal[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    std::vector<int> index = {0, 1, 2, 3, 2, 1, 0, 3, 1};  // 3 x 3, index 3 transparent
    Pixels px;
    ASSERT_TRUE(decode(encode_gif(3, 3, index, pal, 3), &px));
    ASSERT_EQ(px.w, 3);
    ASSERT_EQ(px.h, 3);
    const uint32_t colour[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    for (int i = 0; i < 9; ++i) {
        uint32_t got = px.at(i % 3, i / 3);
        if (index[i] == 3)
            EXPECT_EQ(got >> 24, 0u) << "transparent pixel " << i;
        else
            EXPECT_EQ(got, colour[index[i]]) << "pixel " << i;
    }
}

TEST_F(LoadImageFileTest, DecodesJpegCloseToItsColours) {
    Image img;
    img.w = img.h = 32;
    const unsigned char quad[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const unsigned char* c = quad[(y / 16) * 2 + x / 16];
            img.rgba.insert(img.rgba.end(), {c[0], c[1], c[2], 255});
        }
    Pixels px;
    ASSERT_TRUE(decode(encode_jpg(img, 95), &px));
    ASSERT_EQ(px.w, 32);
    ASSERT_EQ(px.h, 32);
    EXPECT_PRED3(close_to, px.at(8, 8), 0xFF0000u, 24);
    EXPECT_PRED3(close_to, px.at(24, 8), 0x00FF00u, 24);
    EXPECT_PRED3(close_to, px.at(8, 24), 0x0000FFu, 24);
    EXPECT_PRED3(close_to, px.at(24, 24), 0xFFFFFFu, 24);
    EXPECT_EQ(px.at(8, 8) >> 24, 0u);
}

// The toolkit only selects the bitmap into a memory DC and copies it.
TEST_F(LoadImageFileTest, BitmapReadsBackThroughAMemoryDc) {
    Image img = pattern(6, 4);
    HBITMAP bmp = load(0, write("dc.png", encode_png(img, 3)).c_str());
    ASSERT_NE(bmp, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    ASSERT_NE(old, nullptr);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            uint32_t c = img.argb(x, y);
            EXPECT_EQ(GetPixel(dc, x, y), RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)) << x << "," << y;
        }
    EXPECT_EQ(GetPixel(dc, img.w, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, img.h), CLR_INVALID);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bmp));
}

// Layouts that other tools write: a BMP stored top row first, TGAs whose
// origin is on the right (top or bottom).
TEST_F(LoadImageFileTest, DecodesTopDownBmpAndEveryTgaOrigin) {
    Image img = pattern(7, 5);
    expect_exact(bmp_top_down(encode_bmp(img)), img, false);

    Image mirrored = img, turned = img;  // columns reversed; and rows too
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            for (int c = 0; c < 4; ++c) {
                unsigned char v = img.rgba[(size_t(y) * img.w + x) * 4 + c];
                mirrored.rgba[(size_t(y) * img.w + img.w - 1 - x) * 4 + c] = v;
                turned.rgba[(size_t(img.h - 1 - y) * img.w + img.w - 1 - x) * 4 + c] = v;
            }
    for (bool rle : {false, true}) {
        Bytes bottom_right = encode_tga(mirrored, rle), top_right = encode_tga(turned, rle);
        bottom_right[17] |= 0x10;
        top_right[17] |= 0x30;
        expect_exact(bottom_right, img, false);
        expect_exact(top_right, img, false);
    }
}

// The first frame lies on a larger screen whose background index is not 0:
// the screen outside the frame is transparent, not the background colour.
TEST_F(LoadImageFileTest, GifScreenOutsideTheFirstFrameIsTransparent) {
    const unsigned char pal[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {200, 100, 50}};
    std::vector<int> index = {0, 1, 2, 3, 2, 1};  // 3 x 2 at (2, 1) on 6 x 5
    Pixels px;
    ASSERT_TRUE(decode(encode_gif_frame(6, 5, 3, 2, 1, 3, 2, index, pal, -1), &px));
    ASSERT_EQ(px.w, 6);
    ASSERT_EQ(px.h, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            const unsigned char* c = inside ? pal[index[(y - 1) * 3 + x - 2]] : nullptr;
            uint32_t want = inside ? 0xFF000000u | (c[0] << 16) | (c[1] << 8) | c[2] : 0u;
            EXPECT_EQ(px.at(x, y), want) << x << "," << y;
        }
}

// Run-length BMPs: runs, literals (padded to 16 bits), a delta, end of line,
// end of bitmap; pixels the file skips take palette entry 0.
const unsigned char kPalette16[16][3] = {{9, 8, 7},   {255, 0, 0},  {0, 255, 0},  {0, 0, 255},
                                         {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {90, 90, 90},
                                         {10, 200, 30}, {1, 2, 250},  {3, 4, 5},   {6, 7, 8},
                                         {11, 12, 13}, {14, 15, 16}, {17, 18, 19}, {20, 21, 22}};
const Bytes kRle8 = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0,  // row 0: run, literal of 3, end of line
                     0, 2, 2, 0, 2, 5, 0, 0,        // row 1: delta 2 right, run, end of line
                     1, 8, 0, 2, 3, 1, 2, 9,        // row 2: run; delta to (4, 3); row 3: run
                     0, 1};
const Bytes kRle4 = {3, 0x11, 0, 3, 0x23, 0x40, 0, 0, 0, 2, 2, 0, 2, 0x55, 0, 0,
                     1, 0x80, 0, 2, 3, 1, 2, 0x99, 0, 1};

TEST_F(LoadImageFileTest, DecodesRunLengthBmps) {
    const int rows[4][6] = {{0, 0, 0, 0, 9, 9}, {8, 0, 0, 0, 0, 0}, {0, 0, 5, 5, 0, 0}, {1, 1, 1, 2, 3, 4}};
    for (const Bytes& file : {bmp_file(6, 4, 8, 1, kPalette16, kRle8), bmp_file(6, 4, 4, 2, kPalette16, kRle4)}) {
        Pixels px;
        ASSERT_TRUE(decode(file, &px));
        ASSERT_EQ(px.w, 6);
        ASSERT_EQ(px.h, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const unsigned char* c = kPalette16[rows[y][x]];
                EXPECT_EQ(px.at(x, y), uint32_t((c[0] << 16) | (c[1] << 8) | c[2])) << x << "," << y;
            }
        expect_every_cut_refused(file, file.size());
    }
}

TEST_F(LoadImageFileTest, RunLengthBmpsOutsideTheirBoundsAreRefused) {
    auto rle8 = [](const Bytes& data) { return bmp_file(6, 4, 8, 1, kPalette16, data); };
    // A row of 6 pixels is stored in 8 bytes: runs may cover that padding
    // (some writers code whole stored rows), the pixels there are dropped.
    Pixels px;
    ASSERT_TRUE(decode(rle8({4, 1, 0, 3, 2, 3, 4, 0, 0, 0, 8, 5, 0, 1}), &px));
    EXPECT_EQ(px.at(0, 3), 0x00FF0000u);  // bottom row: 1 1 1 1 2 3, then 4 dropped
    EXPECT_EQ(px.at(4, 3), 0x0000FF00u);
    EXPECT_EQ(px.at(5, 3), 0x000000FFu);
    EXPECT_EQ(px.at(5, 2), 0x0000FFFFu);  // next row: six of the eight 5s
    EXPECT_EQ(px.at(0, 1), 0x00090807u);
    EXPECT_FALSE(decode(rle8({9, 1, 0, 1})));                       // run past the stored row
    EXPECT_FALSE(decode(rle8({4, 1, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1})));  // literal past it
    EXPECT_FALSE(decode(rle8({0, 2, 9, 0, 0, 1})));                 // delta past it
    EXPECT_FALSE(decode(rle8({0, 2, 0, 5, 0, 1})));                 // delta past the image
    EXPECT_FALSE(decode(rle8({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1})));  // run below the last row
    EXPECT_FALSE(decode(rle8({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})));  // end of line past it
    EXPECT_FALSE(decode(rle8({1, 16, 0, 1})));                      // index past the palette
    EXPECT_FALSE(decode(rle8({0, 5, 1, 2, 3})));                    // literal past the file
    EXPECT_FALSE(decode(bmp_file(6, 4, 4, 1, kPalette16, kRle8)));  // RLE8 needs 8 bits
    EXPECT_FALSE(decode(bmp_file(6, 4, 8, 2, kPalette16, kRle4)));  // RLE4 needs 4 bits
    EXPECT_FALSE(decode(bmp_file(0, 4, 8, 1, kPalette16, {0, 1})));
    EXPECT_FALSE(decode(bmp_file(20000, 4, 8, 1, kPalette16, {0, 1})));
}

// A palette BMP whose pixels use an entry the file does not hold: the
// decoder would paint whatever its table held.
TEST_F(LoadImageFileTest, PaletteIndexPastTheFilesPaletteIsRefused) {
    Bytes rows = {1, 15, 3, 0, 2, 2, 2, 0};  // 3 x 2, rows padded to 4 bytes
    Pixels px;
    ASSERT_TRUE(decode(bmp_file(3, 2, 8, 0, kPalette16, rows), &px));
    EXPECT_EQ(px.at(1, 1), 0x00141516u);  // entry 15, bottom row
    EXPECT_EQ(px.at(0, 0), 0x0000FF00u);
    rows[1] = 16;
    EXPECT_FALSE(decode(bmp_file(3, 2, 8, 0, kPalette16, rows)));
}

// Framing that other decoders read with a warning: no end-of-image marker
// after complete scan data, stray bytes before markers.
TEST_F(LoadImageFileTest, JpegWithLooseFramingDecodesInFull) {
    Bytes jpg = encode_jpg(pattern(24, 20), 90);
    Pixels whole, px;
    ASSERT_TRUE(decode(jpg, &whole));
    ASSERT_TRUE(decode(Bytes(jpg.begin(), jpg.end() - 2), &px));
    EXPECT_EQ(px.argb, whole.argb);

    Bytes stray = jpg;
    for (unsigned char marker : {0xD9, 0xDA, 0xC4, 0xDB}) {  // from the back, so offsets hold
        size_t at = find_marker(stray, marker);
        ASSERT_LT(at, stray.size());
        stray.insert(stray.begin() + at, {0x00, 0x12, 0x34});
    }
    ASSERT_TRUE(decode(stray, &px));
    EXPECT_EQ(px.argb, whole.argb);
    ASSERT_TRUE(decode(Bytes(stray.begin(), stray.end() - 2), &px));
    EXPECT_EQ(px.argb, whole.argb);
}

TEST_F(LoadImageFileTest, EveryTruncatedCopyIsRefused) {
    Image img = pattern(7, 5);
    expect_every_cut_refused(encode_png(img, 4), encode_png(img, 4).size());
    expect_every_cut_refused(encode_bmp(img), encode_bmp(img).size());
    expect_every_cut_refused(encode_tga(img, false), encode_tga(img, false).size());
    expect_every_cut_refused(encode_tga(img, true), encode_tga(img, true).size());
    // A JPEG is whole once its scan data is: only the end-of-image marker
    // may be missing (cuts at size - 2 and size - 1).
    Bytes jpg = encode_jpg(pattern(24, 20), 90);
    expect_every_cut_refused(jpg, jpg.size() - 2);
    const unsigned char pal[4][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    Bytes gif = encode_gif(4, 4, std::vector<int>(16, 2), pal, -1);
    expect_every_cut_refused(gif, gif.size() - 1);  // the last byte is the trailer only
    EXPECT_TRUE(decode(Bytes(gif.begin(), gif.end() - 1)));
}

TEST_F(LoadImageFileTest, CorruptHeadersAreRefused) {
    Image img = pattern(4, 4);
    Bytes png = encode_png(img, 3);
    Bytes bad = png;
    bad[1] = 'Q';  // signature
    EXPECT_FALSE(decode(bad));
    bad = png;
    bad[24] = 7;  // IHDR bit depth
    EXPECT_FALSE(decode(bad));

    Bytes bmp = encode_bmp(img);
    bad = bmp;
    bad[14] = 99;  // header size
    EXPECT_FALSE(decode(bad));
    bad = bmp;
    bad[28] = 0;  // bits per pixel
    EXPECT_FALSE(decode(bad));

    Bytes jpg = encode_jpg(img, 90);
    bad = Bytes{0xFF, 0xD8, 0xFF};
    bad.insert(bad.end(), 200, 0x41);
    EXPECT_FALSE(decode(bad));
    bad = jpg;
    bad[2] = 0x12;  // first marker
    EXPECT_FALSE(decode(bad));

    const unsigned char pal[4][3] = {};
    Bytes gif = encode_gif(2, 2, {0, 1, 2, 3}, pal, -1);
    bad = gif;
    bad[4] = '8';  // "GIF88a"
    EXPECT_FALSE(decode(bad));

    Bytes noise;
    srand(7);
    for (int i = 0; i < 3000; ++i) noise.push_back((unsigned char)(rand() >> 4));
    EXPECT_FALSE(decode(noise));
    const char text[] = "v 1 2 3\nf 1 2 3\n";
    EXPECT_FALSE(decode(Bytes(text, text + sizeof text - 1)));
}


// The JPEG without Huffman table `id` (class << 4 | number) in its table
// segment at `dht`.
Bytes drop_huffman_table(Bytes jpg, size_t dht, unsigned id) {
    size_t len = (jpg[dht + 2] << 8) | jpg[dht + 3];
    for (size_t t = dht + 4; t < dht + 2 + len;) {
        size_t symbols = 0;
        for (size_t k = 1; k <= 16; ++k) symbols += jpg[t + k];
        if (jpg[t] == id) {
            jpg.erase(jpg.begin() + t, jpg.begin() + t + 17 + symbols);
            len -= 17 + symbols;
            jpg[dht + 2] = (unsigned char)(len >> 8);
            jpg[dht + 3] = (unsigned char)len;
            break;
        }
        t += 17 + symbols;
    }
    return jpg;
}

// Huffman tables the decoder would trust to its harm: more than 256 codes
// in one table (written past its arrays), or a scan naming a table the file
// never defined (decoded with whatever an earlier image left in memory).
TEST_F(LoadImageFileTest, JpegWithUnsoundHuffmanTablesIsRefused) {
    Bytes jpg = encode_jpg(pattern(16, 16), 90);
    size_t dht = find_marker(jpg, 0xC4), sos = find_marker(jpg, 0xDA);
    ASSERT_LT(dht, sos);
    ASSERT_LT(sos, jpg.size());

    Bytes bad = jpg;
    for (size_t k = dht + 5; k < dht + 21; ++k) bad[k] = 0x20;  // 16 x 32 codes
    EXPECT_FALSE(decode(bad));

    Bytes no_ac1 = drop_huffman_table(jpg, dht, 0x11);
    ASSERT_LT(no_ac1.size(), jpg.size());
    ASSERT_TRUE(decode(jpg));
    EXPECT_FALSE(decode(no_ac1));
    bad = jpg;
    bad[sos + 6] = 0x33;  // first component: DC and AC table 3
    EXPECT_FALSE(decode(bad));
}

// Damaged bytes anywhere may give a picture or 0, but never a crash or a
// bitmap that is not a sound 32-bit DIB within the caps.
TEST_F(LoadImageFileTest, DamagedBytesNeverCrash) {
    Image img = pattern(9, 7);
    const unsigned char pal[4][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    const Bytes files[] = {encode_png(img, 4), encode_bmp(img), encode_tga(img, true), encode_jpg(img, 80),
                           encode_gif(5, 5, std::vector<int>(25, 1), pal, 0)};
    for (const Bytes& file : files)
        for (size_t i = 0; i < file.size(); ++i)
            for (int v : {0x00, 0xFF, file[i] ^ 0x5A}) {
                Bytes bad = file;
                bad[i] = (unsigned char)v;
                Pixels px;
                if (decode(bad, &px)) {
                    ASSERT_GT(px.w, 0);
                    ASSERT_GT(px.h, 0);
                    ASSERT_LE(unsigned(px.w), unsigned(kImageMaxSide));
                    ASSERT_LE(unsigned(px.h), unsigned(kImageMaxSide));
                }
            }
}

TEST_F(LoadImageFileTest, MissingEmptyOrUnnamedFilesGiveZero) {
    EXPECT_EQ(load(0, (dir + "no such file.png").c_str()), nullptr);
    EXPECT_EQ(load(0, write("empty.jpg", {}).c_str()), nullptr);
    EXPECT_EQ(load(0, ""), nullptr);
    EXPECT_EQ(load(0, nullptr), nullptr);
    EXPECT_EQ(load(0, dir.c_str()), nullptr);  // a folder
}

TEST_F(LoadImageFileTest, HostileDimensionsAreRefused) {
    EXPECT_FALSE(decode(png_header_only(100000, 100000)));
    EXPECT_FALSE(decode(png_header_only(16000, 16000)));  // each side fits, the pixel count not
    EXPECT_FALSE(decode(png_header_only(0x7FFFFFFF, 1)));

    // A GIF and a BMP whose headers claim 65535 x 65535 pixels.
    const unsigned char pal[4][3] = {};
    Bytes gif = encode_gif(2, 2, {0, 1, 2, 3}, pal, -1);
    for (size_t at : {6u, 8u, 30u, 32u}) gif[at] = gif[at + 1] = 0xFF;
    EXPECT_FALSE(decode(gif));
    Bytes bmp = encode_bmp(pattern(2, 2));
    bmp[18] = bmp[22] = 0xA0;
    bmp[19] = bmp[23] = 0x86;
    bmp[20] = bmp[24] = 0x01;  // 100000 x 100000
    EXPECT_FALSE(decode(bmp));
}

TEST_F(LoadImageFileTest, SideCapIsExact) {
    Image line;
    line.w = kImageMaxSide;
    line.h = 1;
    line.rgba.assign(size_t(line.w) * 4, 200);
    Pixels px;
    ASSERT_TRUE(decode(encode_png(line, 3), &px));
    EXPECT_EQ(px.w, int(kImageMaxSide));
    EXPECT_EQ(px.at(kImageMaxSide - 1, 0), 0x00C8C8C8u);
    line.w += 1;
    line.rgba.resize(size_t(line.w) * 4, 200);
    EXPECT_FALSE(decode(encode_png(line, 3)));
}

}  // namespace
