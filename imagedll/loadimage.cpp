#define JPEGDLL_BUILDING
#include "loadimage.h"

#include "bmprle.h"
#include "imagecheck.h"

#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The whole file in one malloc'd block, read with bounded reads; null when
// it is missing, empty, larger than the cap or cannot be read in full.
unsigned char* read_whole_file(const char* name, size_t& size) {
    HANDLE f = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return nullptr;
    unsigned char* data = nullptr;
    LARGE_INTEGER len;
    if (GetFileSizeEx(f, &len) && len.QuadPart > 0 && len.QuadPart <= kImageMaxFileBytes) {
        size = size_t(len.QuadPart);
        data = static_cast<unsigned char*>(std::malloc(size));
        size_t got = 0;
        while (data && got < size) {
            DWORD want = DWORD(size - got < (1u << 20) ? size - got : (1u << 20));
            DWORD n = 0;
            if (!ReadFile(f, data + got, want, &n, nullptr) || n == 0) {
                std::free(data);
                data = nullptr;
                break;
            }
            got += n;
        }
    }
    CloseHandle(f);
    return data;
}

// Copies decoded RGBA rows (top row first) into a new bottom-up 32-bit DIB.
HBITMAP make_dib(const unsigned char* rgba, int w, int h, bool has_alpha) {
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) {
        if (bmp) DeleteObject(bmp);
        return nullptr;
    }
    unsigned char* out = static_cast<unsigned char*>(bits);
    const size_t row = size_t(w) * 4;
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = rgba + size_t(y) * row;
        unsigned char* dst = out + size_t(h - 1 - y) * row;
        for (int x = 0; x < w; ++x, src += 4, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = has_alpha ? src[3] : 0;
        }
    }
    GdiFlush();
    return bmp;
}

bool size_acceptable(int w, int h) {
    return w > 0 && h > 0 && unsigned(w) <= kImageMaxSide && unsigned(h) <= kImageMaxSide &&
           uint64_t(w) * uint64_t(h) <= kImageMaxPixels;
}

// A decoded picture: RGBA rows, top row first, in malloc'd memory (the
// decoder allocates with malloc too).
struct Decoded {
    unsigned char* rgba = nullptr;
    int w = 0, h = 0;
    bool has_alpha = false;
};

// The general decoder on a complete file. The decoder's own size query
// gives a top-down BMP's height as it is stored, negative.
Decoded decode_with_stb(const unsigned char* data, size_t size, ImageKind kind) {
    Decoded d;
    int w = 0, h = 0, channels = 0;
    // The decoder takes an int length; the file cap keeps it far below that.
    if (!stbi_info_from_memory(data, int(size), &w, &h, &channels)) return d;
    if (kind == ImageKind::Bmp && h < 0 && h != INT_MIN) h = -h;
    if (!size_acceptable(w, h)) return d;
    int dc = 0;
    if (kind == ImageKind::Png && stbi_is_16_bit_from_memory(data, int(size))) {
        // 16-bit samples are rounded to the nearest 8-bit level, as the PNG
        // format recommends, not cut to their high byte.
        stbi_us* wide = stbi_load_16_from_memory(data, int(size), &d.w, &d.h, &dc, 4);
        if (wide) {
            size_t count = size_t(d.w) * size_t(d.h) * 4;
            d.rgba = static_cast<unsigned char*>(std::malloc(count));
            if (d.rgba)
                for (size_t i = 0; i < count; ++i) d.rgba[i] = (unsigned char)((wide[i] * 255u + 32767u) / 65535u);
        }
        stbi_image_free(wide);
    } else {
        d.rgba = stbi_load_from_memory(data, int(size), &d.w, &d.h, &dc, 4);
    }
    d.has_alpha = dc == 2 || dc == 4;
    if (d.rgba && !size_acceptable(d.w, d.h)) {
        std::free(d.rgba);
        d.rgba = nullptr;
    }
    return d;
}

// Stray bytes between segments are dropped. A file that stops after scan
// data without its end-of-image marker is decoded twice, its scan data
// followed once by zero bits and once by 4 KB of pseudo-random bytes: when all
// of it is there, the decoder reads none of what follows and both pictures
// agree; a file cut inside its scan data decodes different blocks (or fails)
// the moment the decoder reads past the cut. The random run is long because
// blocks that lie wholly outside the picture (an MCU's padding) may swallow
// a short one without a visible trace.
Decoded decode_jpeg(const unsigned char* data, size_t size) {
    std::vector<unsigned char> clean;
    bool ended = false;
    if (!jpeg_clean(data, size, clean, ended)) return {};
    if (ended) return decode_with_stb(clean.data(), clean.size(), ImageKind::Jpeg);
    std::vector<unsigned char> noise = clean;
    uint32_t seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        unsigned char b = (unsigned char)(seed >> 16);
        noise.push_back(b == 0xFF ? 0xFE : b);  // no 0xFF: nothing reads as a marker
    }
    for (auto* v : {&clean, &noise}) v->insert(v->end(), {0xFF, 0xD9});
    Decoded a = decode_with_stb(clean.data(), clean.size(), ImageKind::Jpeg);
    Decoded b = decode_with_stb(noise.data(), noise.size(), ImageKind::Jpeg);
    bool same = a.rgba && b.rgba && a.w == b.w && a.h == b.h &&
                std::memcmp(a.rgba, b.rgba, size_t(a.w) * size_t(a.h) * 4) == 0;
    std::free(b.rgba);
    if (!same) {
        std::free(a.rgba);
        return {};
    }
    return a;
}

// The first frame on its logical screen. The decoder paints the area outside
// it with the background colour (red and blue swapped) when the background
// index is not 0; that area shows nothing, so it is cleared to transparent.
void clear_outside_frame(Decoded& d, const GifFrame& frame) {
    for (int y = 0; y < d.h; ++y)
        for (int x = 0; x < d.w; ++x) {
            bool inside = unsigned(x) >= frame.x && unsigned(x) - frame.x < frame.w && unsigned(y) >= frame.y &&
                          unsigned(y) - frame.y < frame.h;
            if (!inside) std::memset(d.rgba + (size_t(y) * d.w + x) * 4, 0, 4);
        }
}

// A TGA whose descriptor puts the origin on the right (bit 4): the decoder
// honours only the top/bottom bit, so the rows come back mirrored.
void mirror_rows(Decoded& d) {
    for (int y = 0; y < d.h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(d.rgba) + size_t(y) * d.w;
        std::reverse(row, row + d.w);
    }
}

Decoded decode(const unsigned char* data, size_t size) {
    Decoded d;
    ImageKind kind = image_kind(data, size);
    switch (kind) {
    case ImageKind::None: break;
    case ImageKind::Jpeg: d = decode_jpeg(data, size); break;
    case ImageKind::Bmp:
        if (bmp_is_rle(data, size))
            d.rgba = bmp_rle_decode(data, size, d.w, d.h, size_acceptable);
        else if (image_complete(kind, data, size))
            d = decode_with_stb(data, size, kind);
        break;
    case ImageKind::Gif: {
        GifFrame frame;
        if (gif_first_frame(data, size, frame)) {
            d = decode_with_stb(data, size, kind);
            if (d.rgba) clear_outside_frame(d, frame);
        }
        break;
    }
    case ImageKind::Tga:
        if (image_complete(kind, data, size)) {
            d = decode_with_stb(data, size, kind);
            if (d.rgba && (data[17] & 0x10)) mirror_rows(d);
        }
        break;
    case ImageKind::Png:
        if (image_complete(kind, data, size)) d = decode_with_stb(data, size, kind);
        break;
    }
    return d;
}

}  // namespace

extern "C" JPEGDLL_API HBITMAP LoadImageFile(int reserved, const char* filename) {
    (void)reserved;
    if (!filename || !filename[0]) return nullptr;
    size_t size = 0;
    unsigned char* data = read_whole_file(filename, size);
    if (!data) return nullptr;
    Decoded d = decode(data, size);
    std::free(data);
    HBITMAP result = d.rgba ? make_dib(d.rgba, d.w, d.h, d.has_alpha) : nullptr;
    std::free(d.rgba);
    return result;
}
