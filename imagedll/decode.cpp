#include "decode.h"

#include "bmprle.h"
#include "imagecheck.h"

#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

bool size_acceptable(int w, int h) {
    return w > 0 && h > 0 && unsigned(w) <= kImageMaxSide && unsigned(h) <= kImageMaxSide &&
           uint64_t(w) * uint64_t(h) <= kImageMaxPixels;
}

namespace {

// Heap bytes per pixel that decoding this file takes at its peak (see the
// limits in decode.h); the file has passed its structural check.
uint64_t decode_cost(const unsigned char* data, size_t size, ImageKind kind) {
    switch (kind) {
    case ImageKind::Png: {
        if (size < 29) return 28;
        uint64_t cost = data[28] ? 14 : 8;  // interlaced
        return data[24] == 16 ? cost * 2 : cost;
    }
    case ImageKind::Gif: return 9;
    default: return 8;
    }
}

// True when the size the header gives is within the limits and its decode
// within the budget: asked before anything else reads the file, so that a
// picture the caps rule out costs neither a scan nor an allocation. The
// decoder's own size query gives a top-down BMP's height as it is stored,
// negative.
bool picture_fits(const unsigned char* data, size_t size, ImageKind kind) {
    int w = 0, h = 0, channels = 0;
    // The decoder takes an int length; the file cap keeps it far below that.
    if (!stbi_info_from_memory(data, int(size), &w, &h, &channels)) return false;
    if (kind == ImageKind::Bmp && h < 0 && h != INT_MIN) h = -h;
    return size_acceptable(w, h) && uint64_t(w) * uint64_t(h) * decode_cost(data, size, kind) <= kImageDecodeBudget;
}

// The general decoder on a complete file whose size fits.
Decoded decode_with_stb(const unsigned char* data, size_t size, ImageKind kind) {
    Decoded d;
    if (!picture_fits(data, size, kind)) return d;
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

// A JPEG reaches the decoder as a stream, not a copy: the runs of its
// cleaned framing read in place from the file, then an optional tail of
// bytes that the file lacks. A file padded with hundreds of megabytes of
// zeros costs their reading, never their memory.
struct JpegSource {
    JpegWalk walk;
    const unsigned char* run = nullptr;
    size_t left = 0;
    const unsigned char* tail;
    size_t tailleft;

    JpegSource(const unsigned char* p, size_t n, const unsigned char* t, size_t tn)
        : walk(p, n), tail(t), tailleft(tn) {}

    // True while bytes are left; moves on to the next run when this one is done.
    bool more() {
        if (left) return true;
        if (walk.next(run, left)) return true;
        if (!tailleft) return false;
        run = tail;
        left = tailleft;
        tailleft = 0;
        return true;
    }

    static int read(void* user, char* out, int room) {
        JpegSource& s = *static_cast<JpegSource*>(user);
        int given = 0;
        while (given < room && s.more()) {
            size_t k = std::min(s.left, size_t(room - given));
            std::memcpy(out + given, s.run, k);
            s.run += k;
            s.left -= k;
            given += int(k);
        }
        return given;
    }

    static void skip(void* user, int n) {
        char sink[256];
        while (n > 0) {
            int got = read(user, sink, std::min(n, int(sizeof sink)));
            if (got == 0) break;
            n -= got;
        }
    }

    static int eof(void* user) { return !static_cast<JpegSource*>(user)->more(); }
};

const stbi_io_callbacks jpeg_callbacks = {JpegSource::read, JpegSource::skip, JpegSource::eof};

Decoded decode_jpeg_stream(const unsigned char* data, size_t size, const unsigned char* tail, size_t taillen) {
    Decoded d;
    int dc = 0;
    JpegSource source(data, size, tail, taillen);
    d.rgba = stbi_load_from_callbacks(&jpeg_callbacks, &source, &d.w, &d.h, &dc, 4);
    d.has_alpha = false;
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
    JpegWalk walk(data, size);
    const unsigned char* run;
    size_t len;
    while (walk.next(run, len)) {
    }
    if (!walk.good()) return {};
    // The size from the frame header, before anything large is allocated:
    // a sequential decode peaks near 11 bytes a pixel (two decodes when the
    // end marker is missing), a progressive one near 17 (its coefficients).
    int w = 0, h = 0, channels = 0;
    {
        JpegSource source(data, size, nullptr, 0);
        if (!stbi_info_from_callbacks(&jpeg_callbacks, &source, &w, &h, &channels)) return {};
    }
    uint64_t cost = walk.progressive() ? 17 : 11;
    if (!size_acceptable(w, h) || uint64_t(w) * uint64_t(h) * cost > kImageDecodeBudget) return {};
    if (walk.ended()) return decode_jpeg_stream(data, size, nullptr, 0);

    static const unsigned char end_marker[2] = {0xFF, 0xD9};
    unsigned char noise[4096 + 2];
    uint32_t seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        unsigned char b = (unsigned char)(seed >> 16);
        noise[i] = b == 0xFF ? 0xFE : b;  // no 0xFF: nothing reads as a marker
    }
    noise[4096] = 0xFF;
    noise[4097] = 0xD9;
    Decoded a = decode_jpeg_stream(data, size, end_marker, 2);
    if (!a.rgba) return {};
    Decoded b = decode_jpeg_stream(data, size, noise, sizeof noise);
    bool same = b.rgba && a.w == b.w && a.h == b.h && std::memcmp(a.rgba, b.rgba, size_t(a.w) * size_t(a.h) * 4) == 0;
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

}  // namespace

namespace {

Decoded decode_kind(const unsigned char* data, size_t size) {
    Decoded d;
    ImageKind kind = image_kind(data, size);
    switch (kind) {
    case ImageKind::None: break;
    case ImageKind::Jpeg: d = decode_jpeg(data, size); break;
    case ImageKind::Bmp:
        if (bmp_is_rle(data, size))
            d.rgba = bmp_rle_decode(data, size, d.w, d.h, size_acceptable);
        else if (picture_fits(data, size, kind) && image_complete(kind, data, size))
            d = decode_with_stb(data, size, kind);
        break;
    case ImageKind::Gif: {
        GifFrame frame;
        if (picture_fits(data, size, kind) && gif_first_frame(data, size, frame)) {
            d = decode_with_stb(data, size, kind);
            if (d.rgba) clear_outside_frame(d, frame);
        }
        break;
    }
    case ImageKind::Tga:
        if (picture_fits(data, size, kind) && image_complete(kind, data, size)) {
            d = decode_with_stb(data, size, kind);
            if (d.rgba && (data[17] & 0x10)) mirror_rows(d);
        }
        break;
    case ImageKind::Png:
        if (picture_fits(data, size, kind) && image_complete(kind, data, size)) d = decode_with_stb(data, size, kind);
        break;
    }
    return d;
}

}  // namespace

// The decoder and the checks allocate with malloc, which fails softly; the
// run-length reader's index buffer is a vector, whose failure throws.
Decoded decode_image(const unsigned char* data, size_t size) {
    try {
        return decode_kind(data, size);
    } catch (const std::bad_alloc&) {
        return {};
    }
}
