// jpeg.dll bound the way the toolkit binds it, and its bitmaps read back.
#ifndef TESTS_IMAGEDLL_DECODED_PIXELS_H
#define TESTS_IMAGEDLL_DECODED_PIXELS_H

#include "loadimage.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The folder of the running test program, with a trailing separator.
std::string exe_dir();

// LoadImageFile from the jpeg.dll beside the test program, or null.
LoadImageFileFn loader();

// A decoded bitmap's pixels as 0xAARRGGBB, top row first.
struct Pixels {
    int w = 0, h = 0, bits = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[size_t(y) * w + x]; }
};

// The pixels of a DIB section (bits 0 and nothing else when it is not one).
Pixels read_dib(HBITMAP bmp);

#endif
