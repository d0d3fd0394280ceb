#include "imagecheck.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint32_t be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
uint32_t be32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// The decoder trusts the Huffman tables of a file more than is safe: a
// table whose code counts add up to more than 256 symbols overflows its
// arrays, and a scan that uses a table never defined decodes with whatever
// the memory held. Both are refused here. `defined` has bit th for DC table
// th and bit 4 + th for AC table th.
bool jpeg_dht_ok(const unsigned char* p, size_t n, unsigned& defined) {
    size_t i = 0;
    while (i < n) {
        if (n - i < 17) return false;
        unsigned cls = p[i] >> 4, th = p[i] & 15;
        if (cls > 1 || th > 3) return false;
        size_t symbols = 0;
        for (int k = 1; k <= 16; ++k) symbols += p[i + k];
        if (symbols > 256 || symbols > n - i - 17) return false;
        defined |= 1u << (cls * 4 + th);
        i += 17 + symbols;
    }
    return true;
}

// A scan header: the tables it decodes with must exist. A progressive
// scan uses only the DC tables (first DC pass) or only the AC tables.
bool jpeg_sos_ok(const unsigned char* p, size_t n, bool progressive, unsigned defined) {
    if (n < 1) return false;
    size_t ns = p[0];
    if (ns < 1 || ns > 4 || n < 1 + 2 * ns + 3) return false;
    unsigned ss = p[1 + 2 * ns], ah = p[3 + 2 * ns] >> 4;
    bool uses_dc = !progressive || (ss == 0 && ah == 0);
    bool uses_ac = !progressive || ss > 0;
    for (size_t c = 0; c < ns; ++c) {
        unsigned td = p[2 + 2 * c] >> 4, ta = p[2 + 2 * c] & 15;
        if (uses_dc && (td > 3 || !(defined & (1u << td)))) return false;
        if (uses_ac && (ta > 3 || !(defined & (1u << (4 + ta))))) return false;
    }
    return true;
}

// PNG: chunks by their lengths up to IEND.
bool png_complete(const unsigned char* p, size_t n) {
    size_t i = 8;
    while (n - i >= 12) {
        size_t len = be32(p + i);
        if (len > n - i - 12) return false;
        if (std::memcmp(p + i + 4, "IEND", 4) == 0) return true;
        i += 12 + len;
    }
    return false;
}

// BMP: the pixel rows after the data offset must all be present. Run-length
// files are decoded and checked by bmp_rle_decode; other compressed forms
// than bit fields are refused by the decoder.
bool bmp_complete(const unsigned char* p, size_t n) {
    if (n < 26) return false;
    uint64_t offset = le32(p + 10);
    uint32_t hsz = le32(p + 14);
    int64_t w, h;
    uint32_t bpp;
    if (hsz == 12) {
        w = le16(p + 18);
        h = le16(p + 20);
        bpp = le16(p + 24);
    } else {
        if (n < 34) return false;
        w = int32_t(le32(p + 18));
        h = int32_t(le32(p + 22));
        bpp = le16(p + 28);
    }
    if (h < 0) h = -h;
    if (w <= 0 || h == 0 || bpp == 0 || bpp > 32) return false;
    uint64_t stride = (uint64_t(w) * bpp + 31) / 32 * 4;
    if (offset > n || stride * uint64_t(h) > n - offset) return false;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8) return true;  // no palette, or refused later

    // The decoder fills only as many palette entries as fit between the
    // header and the pixels, and leaves the rest of its table uninitialised:
    // an index past them would paint stack garbage. Such files are refused.
    // (For the old 12-byte header it counts 4 entries fewer than fit.)
    uint64_t header_end = hsz == 12 ? 38 : 14 + uint64_t(hsz);
    uint64_t entries = offset < header_end ? 0 : (offset - header_end) / (hsz == 12 ? 3 : 4);
    if (entries >= (1u << bpp)) return true;
    for (uint64_t y = 0; y < uint64_t(h); ++y) {
        const unsigned char* row = p + offset + y * stride;
        for (uint64_t x = 0; x < uint64_t(w); ++x) {
            uint64_t bit = x * bpp;
            unsigned index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
            if (index >= entries) return false;
        }
    }
    return true;
}

// GIF: header, colour tables and blocks up to the end of the first image's
// data sub-blocks (the decoder returns the first frame).
bool skip_subblocks(const unsigned char* p, size_t n, size_t& i) {
    for (;;) {
        if (i >= n) return false;
        size_t s = p[i];
        i += 1 + s;
        if (s == 0) return i <= n;
    }
}

// TGA has no signature: the header must be one the decoder accepts, and the
// colour map and pixels (raw or run-length packets) must fit in the file.
bool tga_header_ok(const unsigned char* p, size_t n) {
    if (n < 18) return false;
    unsigned cmtype = p[1], type = p[2], cmbits = p[7], bpp = p[16];
    auto depth_ok = [](unsigned d) { return d == 8 || d == 15 || d == 16 || d == 24 || d == 32; };
    if (cmtype == 1) {
        if (type != 1 && type != 9) return false;
        if (!depth_ok(cmbits) || (bpp != 8 && bpp != 16)) return false;
        if (le16(p + 5) == 0) return false;
    } else if (cmtype == 0) {
        if (type != 2 && type != 3 && type != 10 && type != 11) return false;
        if (!depth_ok(bpp)) return false;
    } else {
        return false;
    }
    return le16(p + 12) >= 1 && le16(p + 14) >= 1;
}

bool tga_complete(const unsigned char* p, size_t n) {
    if (!tga_header_ok(p, n)) return false;
    uint64_t i = 18 + uint64_t(p[0]);
    if (p[1] == 1) i += le16(p + 3) + uint64_t(le16(p + 5)) * ((p[7] + 7) / 8);
    uint64_t pixels = uint64_t(le16(p + 12)) * le16(p + 14);
    uint64_t bytes = (p[16] + 7) / 8;
    if (p[2] < 8) return i <= n && pixels * bytes <= n - i;
    uint64_t done = 0;
    while (done < pixels) {
        if (i >= n) return false;
        unsigned c = p[i++];
        uint64_t count = (c & 0x7F) + 1;
        i += (c & 0x80) ? bytes : count * bytes;
        if (i > n) return false;
        done += count;
    }
    return true;
}

}  // namespace

// JPEG: walk the marker segments and copy them into `out` without what
// other decoders skip with a warning: stray bytes between segments and the
// parameterless markers there. Entropy-coded data after a scan header holds
// no marker except restarts (0xFF is stuffed as FF 00), so the walk resumes
// at the next real marker. A file may end without its end-of-image marker
// after scan data; `ended` tells whether it had one, and `out` then ends
// with the scan data, less any 0xFF fill bytes at the very end.
bool jpeg_clean(const unsigned char* p, size_t n, std::vector<unsigned char>& out, bool& ended) {
    out.assign(p, p + 2);
    ended = false;
    size_t i = 2;
    bool scanned = false, progressive = false;
    unsigned defined = 0;
    for (;;) {
        while (i < n && p[i] != 0xFF) ++i;                // stray bytes
        while (i + 1 < n && p[i + 1] == 0xFF) ++i;         // fill bytes
        if (i + 1 >= n) return scanned;                    // the file ends here
        unsigned m = p[i + 1];
        i += 2;
        if (m == 0xD9) {
            out.insert(out.end(), {0xFF, 0xD9});
            ended = true;
            return scanned;
        }
        if (m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;  // no length
        if (i + 2 > n) return false;
        size_t len = be16(p + i);
        if (len < 2 || len > n - i) return false;
        if (m == 0xC2) progressive = true;
        if (m == 0xC4 && !jpeg_dht_ok(p + i + 2, len - 2, defined)) return false;
        if (m == 0xDA && !jpeg_sos_ok(p + i + 2, len - 2, progressive, defined)) return false;
        out.insert(out.end(), {0xFF, (unsigned char)m});
        out.insert(out.end(), p + i, p + i + len);
        i += len;
        if (m == 0xDA) {
            scanned = true;
            size_t start = i;
            while (i + 1 < n) {
                if (p[i] == 0xFF) {
                    unsigned next = p[i + 1];
                    if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7)) break;
                }
                ++i;
            }
            if (i + 1 >= n) {
                i = n;
                while (i > start && p[i - 1] == 0xFF) --i;
            }
            out.insert(out.end(), p + start, p + i);
        }
    }
}

bool gif_first_frame(const unsigned char* p, size_t n, GifFrame& frame) {
    if (n < 13) return false;
    size_t i = 13;
    if (p[10] & 0x80) i += 3u * (2u << (p[10] & 7));
    for (;;) {
        if (i >= n) return false;
        unsigned b = p[i];
        if (b == 0x21) {
            i += 2;
            if (!skip_subblocks(p, n, i)) return false;
        } else if (b == 0x2C) {
            if (n - i < 10) return false;
            frame = {le16(p + i + 1), le16(p + i + 3), le16(p + i + 5), le16(p + i + 7)};
            unsigned flags = p[i + 9];
            i += 10;
            if (flags & 0x80) i += 3u * (2u << (flags & 7));
            i += 1;  // LZW minimum code size
            return skip_subblocks(p, n, i);
        } else {
            return false;  // trailer before any image, or garbage
        }
    }
}

ImageKind image_kind(const unsigned char* p, size_t n) {
    static const unsigned char png_sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return ImageKind::Jpeg;
    if (n >= 8 && std::memcmp(p, png_sig, 8) == 0) return ImageKind::Png;
    if (n >= 2 && p[0] == 'B' && p[1] == 'M') return ImageKind::Bmp;
    if (n >= 6 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0))
        return ImageKind::Gif;
    if (tga_header_ok(p, n)) return ImageKind::Tga;
    return ImageKind::None;
}

bool image_complete(ImageKind kind, const unsigned char* p, size_t n) {
    switch (kind) {
    case ImageKind::Jpeg: {
        std::vector<unsigned char> clean;
        bool ended = false;
        return jpeg_clean(p, n, clean, ended) && ended;
    }
    case ImageKind::Png: return png_complete(p, n);
    case ImageKind::Bmp: return bmp_complete(p, n);
    case ImageKind::Gif: {
        GifFrame frame;
        return gif_first_frame(p, n, frame);
    }
    case ImageKind::Tga: return tga_complete(p, n);
    case ImageKind::None: break;
    }
    return false;
}
