// The decoding behind LoadImageFile, free of the operating system: file
// bytes in, RGBA rows out. The DLL adds reading the file and the bitmap.
#ifndef IMAGEDLL_DECODE_H
#define IMAGEDLL_DECODE_H

#include <cstddef>

// Limits that keep a hostile file from exhausting memory, even in a 32-bit
// process: a decode stays under 320 MB at its peak, affordable in a 2 GB
// address space beside the viewer's model and OpenGL. Measured at the cap
// of 16 Mpx (tests/imagedll_native), the costliest decode, an interlaced
// PNG, takes 14 bytes per pixel (the decoder's inflate buffer, grown by
// doubling, the picture and a pass alive at once), 224 MB; a progressive
// JPEG keeps its coefficients too, about 17 bytes per pixel. A 16-bit PNG
// counts twice against the cap, as all its buffers are twice as large. The
// 64 Mpx allowed before let a 522 KB 16-bit PNG take 1 GB.
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
