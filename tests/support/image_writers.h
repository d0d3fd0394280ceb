// Image files made in memory for the decoder tests.
#ifndef TESTS_SUPPORT_IMAGE_WRITERS_H
#define TESTS_SUPPORT_IMAGE_WRITERS_H

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// RGBA pixels, top row first.
struct Image {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    uint32_t argb(int x, int y) const;  // 0xAARRGGBB
};

Bytes encode_png(const Image& img, int comp);  // comp 3 (RGB) or 4 (RGBA)
Bytes encode_bmp(const Image& img);            // 24 bits per pixel
Bytes encode_tga(const Image& img, bool rle);  // 24 bits per pixel
Bytes encode_jpg(const Image& img, int quality);

// A GIF with a four-entry palette; `index` holds one palette index per pixel,
// top row first; `transparent` is a palette index or -1.
Bytes encode_gif(int w, int h, const std::vector<int>& index, const unsigned char palette[4][3],
                 int transparent);

// A GIF whose logical screen is screen_w x screen_h with background index
// `background`, holding one frame of fw x fh pixels at (left, top).
Bytes encode_gif_frame(int screen_w, int screen_h, int background, int left, int top, int fw, int fh,
                       const std::vector<int>& index, const unsigned char palette[4][3], int transparent);

// A BMP with a 16-colour palette (blue, green, red order in the file as
// usual; given here as red, green, blue) and `pixels` stored as they are:
// compression 1 (RLE8, bits 8), 2 (RLE4, bits 4) or 0 (raw rows).
Bytes bmp_file(int w, int h, int bits, int compression, const unsigned char palette[16][3], const Bytes& pixels);

// The same uncompressed BMP stored top-down: rows reversed, negative height.
Bytes bmp_top_down(const Bytes& bottom_up);

// An uncompressed 4- or 8-bit BMP (40-byte header) run-length encoded (RLE4
// or RLE8) the way a thrifty encoder writes it: the most frequent colour is
// moved to palette entry 0 and its stretches are skipped with delta moves
// and ends of line; other pixels go in runs and literals. Empty when the
// input is not such a BMP.
Bytes bmp_rle_from(const Bytes& uncompressed);

// A PNG chunk with its length and CRC.
Bytes png_chunk(const char type[4], const Bytes& data);
// A PNG that claims w x h 8-bit RGB pixels but carries one tiny IDAT.
Bytes png_header_only(uint32_t w, uint32_t h);

// A complete, valid PNG of w x h black pixels (every sample 0) of the given
// bit depth (8 or 16) and colour type (0 grey, 2 RGB, 6 RGBA), interlaced
// or not: its rows compress to runs of zeros, so a huge picture is a small
// file. Optionally with a wrong CRC on its IDAT chunk.
Bytes png_blank(uint32_t w, uint32_t h, int depth, int colour_type, bool interlaced, bool bad_crc = false);

// The smallest GIF whose logical screen is w x h: a 1 x 1 frame at its corner.
Bytes gif_screen(uint16_t w, uint16_t h);

#endif
