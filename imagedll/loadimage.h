// jpeg.dll: decodes an image file into a bitmap the caller owns.
#ifndef IMAGEDLL_LOADIMAGE_H
#define IMAGEDLL_LOADIMAGE_H

#include <windows.h>

#include "decode.h"

#ifdef JPEGDLL_BUILDING
#define JPEGDLL_API __declspec(dllexport)
#else
#define JPEGDLL_API __declspec(dllimport)
#endif

// Signature the toolkit binds with GetProcAddress.
typedef HBITMAP (*LoadImageFileFn)(int, const char*);

// Decodes a JPEG, PNG, BMP (run-length too), TGA or GIF file; of a GIF, the
// first frame on its screen, transparent outside the frame. `reserved` is
// ignored (callers pass 0). The result is a 32-bit bottom-up DIB section,
// bytes blue, green, red, alpha; alpha is the image's own when the file has
// an alpha channel (GIF transparency included) and 0 otherwise, as the
// toolkit's own DIB copies expect. Free it with DeleteObject. Returns 0 for
// anything it cannot decode completely.
extern "C" JPEGDLL_API HBITMAP LoadImageFile(int reserved, const char* filename);

#endif
