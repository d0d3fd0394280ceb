// The decoding behind LoadImageFile, free of the operating system: file
// bytes in, RGBA rows out. The DLL adds reading the file and the bitmap.
#ifndef IMAGEDLL_DECODE_H
#define IMAGEDLL_DECODE_H

#include <cstddef>

// Limits that keep a hostile file from exhausting memory, even in a 32-bit
// process. A decode costs at most about 20 bytes per pixel at its peak (a
// 16-bit interlaced PNG: inflated rows, the 16-bit picture and its RGBA
// conversion alive at once; a progressive JPEG keeps its coefficients), so
// 16 Mpx (4096 x 4096) keeps the peak near 330 MB: affordable in a 2 GB
// address space next to the viewer's model and OpenGL, where the 64 Mpx
// allowed before peaked above 1 GB for a 522 KB file.
enum : unsigned {
    kImageMaxSide = 16384,
    kImageMaxPixels = 16u * 1024u * 1024u,
    kImageMaxFileBytes = 256u * 1024u * 1024u,
};

// True for a picture size within the limits above.
bool size_acceptable(int w, int h);

// A decoded picture: RGBA rows, top row first, in malloc'd memory (the
// decoder allocates with malloc too); rgba null when nothing was decoded.
struct Decoded {
    unsigned char* rgba = nullptr;
    int w = 0, h = 0;
    bool has_alpha = false;
};

// Decodes a JPEG, PNG, BMP (run-length too), TGA or GIF file held in size
// bytes at data, after the structural checks of imagecheck.h; of a GIF, the
// first frame on its screen, transparent outside the frame.
Decoded decode_image(const unsigned char* data, size_t size);

#endif
