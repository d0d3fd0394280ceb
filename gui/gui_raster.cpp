// The drawing layer: 32-bit raster images and the off-screen surface through
// which graphic boxes reach the screen.
#include "gui_state.h"

using guicore::state;

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

// Larger pictures are refused: w * h * 4 must not wrap in a 32-bit process,
// and no screen needs more.
const long long guimaximagepixels = 64LL * 1024 * 1024;

GuiImage* guiimagecreate(int width, int height, uint32_t fill) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (static_cast<long long>(width) * height > guimaximagepixels) return nullptr;
    GuiImage* image = new (std::nothrow) GuiImage;
    if (!image) return nullptr;
    try {
        image->px.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    } catch (const std::bad_alloc&) {
        delete image;
        return nullptr;
    }
    image->w = width;
    image->h = height;
    return image;
}

void guiimagefree(GuiImage* image) { delete image; }

void guicore::releaseimage(GuiImage*& image) {
    delete image;
    image = nullptr;
}

namespace {

const GuiImage& guitarget(const GuiImage* target) { return target ? *target : state.surface.image; }

// Maps a position to a pixel index, or -1 outside. NaN fails both tests.
long long guipixelindex(const GuiImage& image, float x, float y) {
    if (!(x >= 0.0f && y >= 0.0f && x < static_cast<float>(image.w) && y < static_cast<float>(image.h)))
        return -1;
    long long col = static_cast<long long>(std::floor(x));
    long long row = static_cast<long long>(std::floor(y));
    if (col >= image.w || row >= image.h) return -1;
    return row * image.w + col;
}

}  // namespace

int guiimagewidth(const GuiImage* image) { return guitarget(image).w; }
int guiimageheight(const GuiImage* image) { return guitarget(image).h; }

void guisetpixel(GuiImage* target, float x, float y, uint32_t colour) {
    GuiImage& image = const_cast<GuiImage&>(guitarget(target));
    long long at = guipixelindex(image, x, y);
    if (at >= 0) image.px[static_cast<size_t>(at)] = colour;
}

// Wider than 32 bits so that an opaque white pixel (0xFFFFFFFF) is not
// mistaken for "outside".
int64_t guigetpixel(const GuiImage* target, float x, float y) {
    const GuiImage& image = guitarget(target);
    long long at = guipixelindex(image, x, y);
    return at < 0 ? -1 : static_cast<int64_t>(image.px[static_cast<size_t>(at)]);
}

void guicore::surfacecreate(int width, int height) {
    guicore::GuiSurface& s = state.surface;
    s.image.w = width > 0 ? width : 1;
    s.image.h = height > 0 ? height : 1;
    s.image.px.assign(static_cast<size_t>(s.image.w) * static_cast<size_t>(s.image.h), 0xFF000000u);

    // Plain 32-bit top-down BI_RGB, so StretchDIBits reads the 0xAARRGGBB
    // pixels as blue, green, red, unused bytes; with BI_RGB the masks are
    // ignored by GDI, and they name those byte positions anyway.
    BITMAPV4HEADER& h = s.header;
    std::memset(&h, 0, sizeof h);
    h.bV4Size = sizeof(BITMAPV4HEADER);
    h.bV4Width = s.image.w;
    h.bV4Height = -s.image.h;
    h.bV4Planes = 1;
    h.bV4BitCount = 32;
    h.bV4V4Compression = BI_RGB;
    h.bV4SizeImage = static_cast<DWORD>(s.image.w) * static_cast<DWORD>(s.image.h) * 4;
    h.bV4RedMask = 0x00FF0000;
    h.bV4GreenMask = 0x0000FF00;
    h.bV4BlueMask = 0x000000FF;
    h.bV4AlphaMask = 0xFF000000;
    h.bV4CSType = 0x73524742;   // LCS_sRGB
}

// Opaque copy to the top-left corner; only the part that fits is copied.
void guicore::surfacecopy(const GuiImage& image) {
    GuiImage& s = state.surface.image;
    int w = std::min(image.w, s.w);
    int h = std::min(image.h, s.h);
    if (w <= 0 || h <= 0) return;
    for (int row = 0; row < h; ++row)
        std::memcpy(&s.px[static_cast<size_t>(row) * s.w], &image.px[static_cast<size_t>(row) * image.w],
                    static_cast<size_t>(w) * 4);
}

// The surface lives in plain memory; locking only hands out its pixels and
// header for one StretchDIBits.
const void* guicore::surfacelock(const BITMAPINFO*& header) {
    header = reinterpret_cast<const BITMAPINFO*>(&state.surface.header);
    return state.surface.image.px.data();
}

void guicore::surfaceunlock() {}
