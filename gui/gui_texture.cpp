// Bitmaps and textures: image files copied into 32-bit DIB sections, keyed
// or recoloured, then handed to OpenGL or written into raster images.
#include "gui_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <vector>

using guicore::state;

HBITMAP guicreatedib(int width, int height) {
    // The header is followed by one zeroed colour entry, as BITMAPINFO has.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;   // positive: bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(state.gl.refdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

namespace {

// An image file copied into a new 32-bit DIB section, either at its own
// probed size or stretched to a given one. A file that fails to decode
// leaves the source DC with its default 1 x 1 bitmap, so the copy is 1 x 1.
class GuiImageCopy {
public:
    GuiImageCopy(const std::string& path, int stretchwidth = 0, int stretchheight = 0) {
        decoded_ = guiloadimage(path);
        source_ = CreateCompatibleDC(state.gl.refdc);
        if (decoded_) oldsource_ = SelectObject(source_, decoded_);
        int w = 0, h = 0;
        guiprobesize(source_, w, h);
        width_ = stretchwidth > 0 ? stretchwidth : w;
        height_ = stretchheight > 0 ? stretchheight : h;

        dib_ = guicreatedib(width_, height_);
        bits_ = static_cast<uint32_t*>(dib_ ? guibitmapbits(dib_) : nullptr);
        copy_ = CreateCompatibleDC(state.gl.refdc);
        if (!bits_ || !copy_) return;
        olddib_ = SelectObject(copy_, dib_);
        if (stretchwidth > 0) {
            // The default stretch mode ANDs dropped pixels into the kept
            // ones, which turns a shrunk colour picture dark.
            SetStretchBltMode(copy_, COLORONCOLOR);
            StretchBlt(copy_, 0, 0, width_, height_, source_, 0, 0, w, h, SRCCOPY);
        } else {
            BitBlt(copy_, 0, 0, width_, height_, source_, 0, 0, SRCCOPY);
        }
        GdiFlush();
    }

    ~GuiImageCopy() {
        if (copy_) {
            if (olddib_) SelectObject(copy_, olddib_);
            DeleteDC(copy_);
        }
        if (oldsource_) SelectObject(source_, oldsource_);
        if (source_) DeleteDC(source_);
        if (decoded_) DeleteObject(decoded_);
        if (dib_) DeleteObject(dib_);
    }

    GuiImageCopy(const GuiImageCopy&) = delete;
    GuiImageCopy& operator=(const GuiImageCopy&) = delete;

    bool ok() const { return bits_ && olddib_; }
    int width() const { return width_; }
    int height() const { return height_; }
    const void* bits() const { return bits_; }

    // The pixels as GDI hands them out (0xAARRGGBB), and back.
    std::vector<uint32_t> pixels() const {
        std::vector<uint32_t> px(count());
        GetBitmapBits(dib_, static_cast<LONG>(px.size() * 4), px.data());
        return px;
    }
    void setpixels(const std::vector<uint32_t>& px) {
        SetBitmapBits(dib_, static_cast<DWORD>(px.size() * 4), px.data());
        GdiFlush();
    }

private:
    size_t count() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }

    HBITMAP decoded_ = nullptr, dib_ = nullptr;
    HDC source_ = nullptr, copy_ = nullptr;
    HGDIOBJ oldsource_ = nullptr, olddib_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

int guibrightness(uint32_t pixel) { return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF); }

// Steps shared by guiputimage and guistretchimage: recolour, then write
// the pixels row by row into the target.
void guiwritepicture(GuiImageCopy& copy, GuiImage* target, int key, unsigned int colour, int mode) {
    if (!copy.ok()) return;
    std::vector<uint32_t> px = copy.pixels();
    if (key != 255 && mode == 0) {
        for (uint32_t& p : px)
            if (guibrightness(p) > 3 * key) p = colour;
    }
    if (mode == 1) {
        for (uint32_t& p : px)
            if (p == static_cast<uint32_t>(key)) p = colour;
    }
    size_t next = 0;
    for (int y = 0; y < copy.height(); ++y)
        for (int x = 0; x < copy.width(); ++x)
            guisetpixel(target, static_cast<float>(x), static_cast<float>(y), px[next++]);
}

}  // namespace

unsigned int guiloadtexture(const std::string& path, int threshold, int alpha, int mode) {
    if (!guicore::fileexists(path)) return 0;
    // Without a current context there is nothing to own a texture, and GLU
    // would read a null version string.
    if (!wglGetCurrentContext()) return 0;
    GuiImageCopy copy(path);
    if (!copy.ok()) return 0;

    if (threshold != 255) {
        std::vector<uint32_t> px = copy.pixels();
        int limit = 3 * threshold;
        uint32_t keyed = static_cast<uint32_t>(alpha & 0xFF) << 24;
        for (uint32_t& p : px) {
            int brightness = guibrightness(p);
            if (mode == 0 ? brightness > limit : brightness < limit) p |= keyed;
        }
        copy.setpixels(px);
    }

    // The caller's binding is put back afterwards: a texture loaded while
    // another is in use must not unbind it.
    GLint callers = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &callers);
    GLuint name = 0;
    glGenTextures(1, &name);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    // GLU scales to power-of-two sizes and builds every level. The DIB
    // stores its bottom row first, so t = 0 is the image's bottom edge.
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, copy.width(), copy.height(), GL_BGRA_EXT, GL_UNSIGNED_BYTE, copy.bits());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(callers));
    return name;
}

void guideletetexture(unsigned int texture) {
    if (!texture) return;
    GLuint name = texture;
    glDeleteTextures(1, &name);
}

int guiputimage(GuiImage* target, const std::string& path, int key, unsigned int colour, int mode) {
    if (!guicore::fileexists(path)) return 0;
    GuiImageCopy copy(path);
    guiwritepicture(copy, target, key, colour, mode);
    return 0;
}

int guistretchimage(GuiImage* target, const std::string& path, int key, unsigned int colour, int mode) {
    if (!guicore::fileexists(path)) return 0;
    int w = 0, h = 0;
    guibuffersize(target, w, h);
    GuiImageCopy copy(path, w, h);
    guiwritepicture(copy, target, key, colour, mode);
    return 0;
}

namespace {

// The bisection of guiprobesize, on the raster layer; position 0 itself is
// never tested.
int guibufferextent(const GuiImage* target, int high, bool horizontal) {
    int low = 0;
    while (high - low >= 2) {
        int middle = (high + low) / 2;
        float at = static_cast<float>(middle);
        if ((horizontal ? guigetpixel(target, at, 0) : guigetpixel(target, 0, at)) == -1)
            high = middle;
        else
            low = middle;
    }
    return high < 1 ? 1 : high;
}

}  // namespace

void guibuffersize(const GuiImage* target, int& width, int& height) {
    width = guibufferextent(target, 8000, true);
    height = guibufferextent(target, 2000, false);
}
