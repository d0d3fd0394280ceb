// The decoding behind LoadImageFile, free of the operating system: file
// bytes in, RGBA rows out. The DLL adds reading the file and the bitmap.
#ifndef IMAGEDLL_DECODE_H
#define IMAGEDLL_DECODE_H

#include <cstddef>

// Limits that keep a hostile file from exhausting memory, even in a 32-bit
// process: LoadImageFile stays under 320 MB at its peak, affordable in a
// 2 GB address space beside the viewer's model and OpenGL. Two phases count:
// - the decode, whose peak per pixel depends on the file (measured in
//   tests/imagedll_native): 8 bytes for a PNG, 14 for an interlaced one (the
//   decoder's inflate buffer grows by doubling), twice that at 16 bits; 9
//   for a GIF screen; 11 for a JPEG (two decodes when its end marker is
//   missing), 17 for a progressive one (its coefficients are kept); 8 for
//   the rest. A picture whose cost passes the budget is refused from its
//   header, before the decoder allocates anything large;
// - the bitmap, made while the decoded copy still lives: 8 bytes per pixel,
//   which the pixel cap of 40 Mpx keeps within the budget.
// Under the 64 Mpx cap alone, a 16-bit RGBA PNG of 16384 x 4096 (3.4 MB of
// zeros) took 1 GB and a 35-byte GIF with a screen of that size 576 MB.
enum : unsigned {
    kImageMaxSide = 16384,
    kImageMaxPixels = 40u * 1024u * 1024u,
    kImageMaxFileBytes = 256u * 1024u * 1024u,
    kImageDecodeBudget = 320u * 1024u * 1024u,
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
