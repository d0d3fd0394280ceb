#define JPEGDLL_BUILDING
#include "loadimage.h"

#include <cstdlib>
#include <cstring>

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

}  // namespace

extern "C" JPEGDLL_API HBITMAP LoadImageFile(int reserved, const char* filename) {
    (void)reserved;
    if (!filename || !filename[0]) return nullptr;
    size_t size = 0;
    unsigned char* data = read_whole_file(filename, size);
    if (!data) return nullptr;
    // decode_image turns every failure into no picture; this guard keeps
    // anything it missed from unwinding into a host that knows no C++.
    Decoded d;
    try {
        d = decode_image(data, size);
    } catch (...) {
        d = Decoded();
    }
    std::free(data);
    HBITMAP result = d.rgba ? make_dib(d.rgba, d.w, d.h, d.has_alpha) : nullptr;
    std::free(d.rgba);
    return result;
}
