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

// A quantization table segment: Pq/Tq bytes, each followed by 64 one-byte
// or two-byte values. Sets bit tq of `defined` for each table.
bool jpeg_dqt_ok(const unsigned char* p, size_t n, unsigned& defined) {
    size_t i = 0;
    while (i < n) {
        unsigned pq = p[i] >> 4, tq = p[i] & 15;
        size_t len = pq ? 128 : 64;
        if (pq > 1 || tq > 3 || n - i - 1 < len) return false;
        defined |= 1u << tq;
        i += 1 + len;
    }
    return true;
}

bool jpeg_sof(unsigned m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

}  // namespace

// Each step gives the next run of the cleaned stream: a run is a whole
// marker segment, with the scan data that follows a scan header, so the
// runs are views into the file and nothing is copied.
bool JpegWalk::next(const unsigned char*& run, size_t& len) {
    const unsigned char* p = data_;
    const size_t n = size_;
    if (state_ == Ending) return finish(scanned_);
    if (state_ != Walking) return false;
    if (i_ == 0) {
        i_ = 2;
        run = p;
        len = 2;
        return true;
    }
    for (;;) {
        while (i_ < n && p[i_] != 0xFF) ++i_;          // stray bytes
        while (i_ + 1 < n && p[i_ + 1] == 0xFF) ++i_;  // fill bytes
        if (i_ + 1 >= n) return finish(scanned_);      // the file ends here
        const size_t at = i_;
        unsigned m = p[i_ + 1];
        i_ += 2;
        if (m == 0xD9) {
            ended_ = true;
            run = p + at;
            len = 2;
            state_ = Ending;
            return true;
        }
        if (m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;  // no length
        if (i_ + 2 > n) return finish(false);
        size_t seg = be16(p + i_);
        if (seg < 2 || seg > n - i_) return finish(false);
        const unsigned char* body = p + i_ + 2;
        const size_t bodylen = seg - 2;
        if (m == 0xC2) progressive_ = true;
        if (m == 0xC4 && !jpeg_dht_ok(body, bodylen, huffman_)) return finish(false);
        if (m == 0xDB && !jpeg_dqt_ok(body, bodylen, quant_)) return finish(false);
        if (jpeg_sof(m)) {
            if (bodylen < 6 || frame_components_ || bodylen < 6 + 3 * size_t(body[5])) return finish(false);
            frame_components_ = body[5];
            if (frame_components_ == 0 || frame_components_ > 4) return finish(false);
            for (unsigned c = 0; c < frame_components_; ++c) {
                component_id_[c] = body[6 + 3 * c];
                component_table_[c] = body[8 + 3 * c];
            }
        }
        if (m == 0xDA && !scan_ok(body, bodylen)) return finish(false);
        i_ += seg;
        if (m == 0xDA) {
            scanned_ = true;
            size_t start = i_;
            while (i_ + 1 < n) {
                if (p[i_] == 0xFF) {
                    unsigned next = p[i_ + 1];
                    if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7)) break;
                }
                ++i_;
            }
            if (i_ + 1 >= n) {
                i_ = n;
                while (i_ > start && p[i_ - 1] == 0xFF) --i_;
                state_ = Ending;  // nothing but fill bytes may follow
            }
        }
        run = p + at;
        len = i_ - at;
        return true;
    }
}

// A scan may decode only with tables that exist: its Huffman tables, and
// the quantization tables of its components, which the decoder applies
// while decoding a sequential scan. (Of a progressive frame, the decoder
// applies them all at the end; finish() checks those.)
bool JpegWalk::scan_ok(const unsigned char* p, size_t n) {
    if (!jpeg_sos_ok(p, n, progressive_, huffman_)) return false;
    for (size_t c = 0; c < p[0]; ++c) {
        unsigned k = 0;
        while (k < frame_components_ && component_id_[k] != p[1 + 2 * c]) ++k;
        if (k == frame_components_) return false;  // no frame, or no such component
        if (!progressive_ && (component_table_[k] > 3 || !(quant_ & (1u << component_table_[k])))) return false;
    }
    return true;
}

bool JpegWalk::finish(bool good) {
    if (good && progressive_)
        for (unsigned k = 0; k < frame_components_; ++k)
            if (component_table_[k] > 3 || !(quant_ & (1u << component_table_[k]))) good = false;
    state_ = good ? Done : Broken;
    return false;
}

bool jpeg_framing(const unsigned char* p, size_t n, bool& ended) {
    JpegWalk walk(p, n);
    const unsigned char* run;
    size_t len;
    while (walk.next(run, len)) {
    }
    ended = walk.ended();
    return walk.good();
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
        bool ended = false;
        return jpeg_framing(p, n, ended) && ended;
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
