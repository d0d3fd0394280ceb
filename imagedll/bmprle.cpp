#include "bmprle.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}

// The fields of a BITMAPINFOHEADER (or a larger header) that matter here.
struct RleHeader {
    uint32_t data_offset, header_size, compression, bits, colours;
    int32_t width, height;
};

bool read_header(const unsigned char* p, size_t n, RleHeader& h) {
    if (n < 54 || p[0] != 'B' || p[1] != 'M') return false;
    h.data_offset = le32(p + 10);
    h.header_size = le32(p + 14);
    if (h.header_size < 40 || h.header_size > 124) return false;
    h.width = int32_t(le32(p + 18));
    h.height = int32_t(le32(p + 22));
    h.bits = le16(p + 28);
    h.compression = le32(p + 30);
    h.colours = le32(p + 46);
    return le16(p + 26) == 1;
}

}  // namespace

bool bmp_is_rle(const unsigned char* p, size_t n) {
    RleHeader h;
    return read_header(p, n, h) && (h.compression == 1 || h.compression == 2);
}

unsigned char* bmp_rle_decode(const unsigned char* p, size_t n, int& w, int& h,
                              bool (*size_ok)(int w, int h)) {
    RleHeader hd;
    if (!read_header(p, n, hd)) return nullptr;
    const bool rle8 = hd.compression == 1 && hd.bits == 8;
    const bool rle4 = hd.compression == 2 && hd.bits == 4;
    if (!rle8 && !rle4) return nullptr;
    // Run-length files are stored bottom-up; a negative height (top-down)
    // is read the way it is written for uncompressed files.
    const bool bottom_up = hd.height > 0;
    if (hd.height == INT32_MIN || !size_ok(hd.width, bottom_up ? hd.height : -hd.height)) return nullptr;
    w = hd.width;
    h = bottom_up ? hd.height : -hd.height;

    const uint32_t max_colours = 1u << hd.bits;
    const uint32_t colours = hd.colours ? hd.colours : max_colours;
    const size_t palette_at = 14 + size_t(hd.header_size);
    if (colours > max_colours || palette_at + 4 * size_t(colours) > n) return nullptr;
    if (hd.data_offset < palette_at + 4 * size_t(colours) || hd.data_offset >= n) return nullptr;

    // Palette indices, row 0 first as stored; unwritten pixels stay 0. Runs
    // may cover the padding of the stored row, as some writers code whole
    // padded rows: those pixels are dropped. Anything further is refused.
    std::vector<unsigned char> index(size_t(w) * size_t(h), 0);
    const size_t row_len = size_t(w);
    const uint32_t row_room = uint32_t((uint64_t(w) * hd.bits + 31) / 32 * 32 / hd.bits);
    size_t i = hd.data_offset;
    uint32_t x = 0, y = 0;
    bool done = false;
    while (!done) {
        if (n - i < 2) return nullptr;
        unsigned count = p[i], code = p[i + 1];
        i += 2;
        if (count > 0) {  // a run of `count` pixels
            if (y >= uint32_t(h) || count > row_room - x) return nullptr;
            unsigned char* out = &index[y * row_len];
            for (unsigned k = 0; k < count && x + k < row_len; ++k)
                out[x + k] = rle8 ? code : (k & 1) ? (code & 15) : (code >> 4);
            x += count;
        } else if (code == 0) {  // end of line
            x = 0;
            if (++y > uint32_t(h)) return nullptr;
        } else if (code == 1) {  // end of bitmap
            done = true;
        } else if (code == 2) {  // delta: move right and up
            if (n - i < 2) return nullptr;
            x += p[i];
            y += p[i + 1];
            i += 2;
            if (x > row_room || y > uint32_t(h)) return nullptr;
        } else {  // `code` literal pixels, padded to a 16-bit boundary
            size_t bytes = rle8 ? code : (code + 1) / 2;
            size_t padded = bytes + (bytes & 1);
            if (n - i < padded || y >= uint32_t(h) || code > row_room - x) return nullptr;
            unsigned char* out = &index[y * row_len];
            for (unsigned k = 0; k < code && x + k < row_len; ++k)
                out[x + k] = rle8 ? p[i + k] : (k & 1) ? (p[i + k / 2] & 15) : (p[i + k / 2] >> 4);
            x += code;
            i += padded;
        }
    }

    unsigned char* rgba = static_cast<unsigned char*>(std::malloc(index.size() * 4));
    if (!rgba) return nullptr;
    const unsigned char* palette = p + palette_at;  // blue, green, red, unused
    for (size_t r = 0; r < size_t(h); ++r) {
        const unsigned char* src = &index[(bottom_up ? size_t(h) - 1 - r : r) * row_len];
        unsigned char* dst = rgba + r * row_len * 4;
        for (size_t c = 0; c < row_len; ++c, dst += 4) {
            if (src[c] >= colours) {
                std::free(rgba);
                return nullptr;
            }
            const unsigned char* entry = palette + 4 * size_t(src[c]);
            dst[0] = entry[2];
            dst[1] = entry[1];
            dst[2] = entry[0];
            dst[3] = 255;
        }
    }
    return rgba;
}
