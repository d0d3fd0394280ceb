// Run-length BMPs (RLE8 and RLE4), which the general decoder does not read.
#ifndef IMAGEDLL_BMPRLE_H
#define IMAGEDLL_BMPRLE_H

#include <cstddef>

// True when the BMP's header announces RLE8 or RLE4 compression.
bool bmp_is_rle(const unsigned char* p, size_t n);

// Decodes a run-length BMP into malloc'd RGBA rows, top row first, or
// returns null. Every run, literal and cursor move is checked against the
// image (a row may be coded up to the end of its 32-bit padding, which is
// dropped) and against the file; pixels the file skips (delta, end of line,
// early end of bitmap) take palette entry 0, as they do in other decoders.
// An index past the palette is refused. The size must pass `size_ok` before
// anything is allocated.
unsigned char* bmp_rle_decode(const unsigned char* p, size_t n, int& w, int& h,
                              bool (*size_ok)(int w, int h));

#endif
