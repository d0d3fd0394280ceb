#include "image_writers.h"

#include <stb_image_write.h>

#include <algorithm>

namespace {

void append(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    auto* p = static_cast<unsigned char*>(data);
    out->insert(out->end(), p, p + size);
}

// The image without its alpha channel.
std::vector<unsigned char> rgb_of(const Image& img) {
    std::vector<unsigned char> rgb;
    for (size_t i = 0; i < img.rgba.size(); i += 4)
        rgb.insert(rgb.end(), img.rgba.begin() + i, img.rgba.begin() + i + 3);
    return rgb;
}

void put16(Bytes& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void put32be(Bytes& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back((v >> s) & 0xFF);
}

uint32_t crc32(const unsigned char* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

}  // namespace

uint32_t Image::argb(int x, int y) const {
    const unsigned char* p = &rgba[(size_t(y) * w + x) * 4];
    return (uint32_t(p[3]) << 24) | (p[0] << 16) | (p[1] << 8) | p[2];
}

Bytes encode_png(const Image& img, int comp) {
    Bytes out;
    if (comp == 4) {
        stbi_write_png_to_func(append, &out, img.w, img.h, 4, img.rgba.data(), img.w * 4);
    } else {
        std::vector<unsigned char> rgb = rgb_of(img);
        stbi_write_png_to_func(append, &out, img.w, img.h, 3, rgb.data(), img.w * 3);
    }
    return out;
}

Bytes encode_bmp(const Image& img) {
    Bytes out;
    std::vector<unsigned char> rgb = rgb_of(img);
    stbi_write_bmp_to_func(append, &out, img.w, img.h, 3, rgb.data());
    return out;
}

Bytes encode_tga(const Image& img, bool rle) {
    Bytes out;
    std::vector<unsigned char> rgb = rgb_of(img);
    stbi_write_tga_with_rle = rle ? 1 : 0;
    stbi_write_tga_to_func(append, &out, img.w, img.h, 3, rgb.data());
    return out;
}

Bytes encode_jpg(const Image& img, int quality) {
    Bytes out;
    std::vector<unsigned char> rgb = rgb_of(img);
    stbi_write_jpg_to_func(append, &out, img.w, img.h, 3, rgb.data(), quality);
    return out;
}

Bytes encode_gif(int w, int h, const std::vector<int>& index, const unsigned char palette[4][3],
                 int transparent) {
    return encode_gif_frame(w, h, 0, 0, 0, w, h, index, palette, transparent);
}

Bytes encode_gif_frame(int screen_w, int screen_h, int background, int left, int top, int fw, int fh,
                       const std::vector<int>& index, const unsigned char palette[4][3], int transparent) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    put16(b, screen_w);
    put16(b, screen_h);
    b.push_back(0x91);  // global table of 4 entries
    b.push_back((unsigned char)background);
    b.push_back(0);
    for (int i = 0; i < 4; ++i) b.insert(b.end(), palette[i], palette[i] + 3);
    if (transparent >= 0) b.insert(b.end(), {0x21, 0xF9, 4, 1, 0, 0, (unsigned char)transparent, 0});
    b.push_back(0x2C);
    put16(b, left);
    put16(b, top);
    put16(b, fw);
    put16(b, fh);
    b.push_back(0);
    b.push_back(2);  // LZW minimum code size

    // A clear code before every second pixel keeps the table from growing,
    // so every code stays 3 bits wide.
    Bytes data;
    uint32_t acc = 0;
    int nbits = 0;
    auto emit = [&](unsigned code) {
        acc |= code << nbits;
        nbits += 3;
        while (nbits >= 8) {
            data.push_back(acc & 0xFF);
            acc >>= 8;
            nbits -= 8;
        }
    };
    for (size_t i = 0; i < index.size(); ++i) {
        if (i % 2 == 0) emit(4);
        emit(unsigned(index[i]));
    }
    emit(5);
    if (nbits > 0) data.push_back(acc & 0xFF);
    for (size_t i = 0; i < data.size(); i += 255) {
        size_t n = data.size() - i < 255 ? data.size() - i : 255;
        b.push_back((unsigned char)n);
        b.insert(b.end(), data.begin() + i, data.begin() + i + n);
    }
    b.push_back(0);
    b.push_back(0x3B);
    return b;
}

Bytes bmp_file(int w, int h, int bits, int compression, const unsigned char palette[16][3], const Bytes& pixels) {
    const int colours = 16;
    Bytes b = {'B', 'M'};
    auto put32 = [&](uint32_t v) {
        put16(b, v & 0xFFFF);
        put16(b, v >> 16);
    };
    put32(uint32_t(54 + 4 * colours + pixels.size()));
    put32(0);
    put32(54 + 4 * colours);
    put32(40);
    put32(uint32_t(w));
    put32(uint32_t(h));
    put16(b, 1);
    put16(b, bits);
    put32(uint32_t(compression));
    put32(uint32_t(pixels.size()));
    put32(2835);
    put32(2835);
    put32(colours);
    put32(0);
    for (int i = 0; i < colours; ++i) b.insert(b.end(), {palette[i][2], palette[i][1], palette[i][0], 0});
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

Bytes bmp_top_down(const Bytes& bottom_up) {
    Bytes b = bottom_up;
    uint32_t offset = b[10] | (b[11] << 8) | (b[12] << 16) | (uint32_t(b[13]) << 24);
    int32_t w = int32_t(b[18] | (b[19] << 8) | (b[20] << 16) | (uint32_t(b[21]) << 24));
    int32_t h = int32_t(b[22] | (b[23] << 8) | (b[24] << 16) | (uint32_t(b[25]) << 24));
    unsigned bits = b[28] | (b[29] << 8);
    size_t stride = (size_t(w) * bits + 31) / 32 * 4;
    if (b[30] != 0 || h <= 0 || offset + h * stride > b.size()) return {};  // compressed or short
    for (int32_t y = 0; y < h; ++y)
        std::copy(bottom_up.begin() + offset + y * stride, bottom_up.begin() + offset + (y + 1) * stride,
                  b.begin() + offset + (h - 1 - y) * stride);
    uint32_t neg = uint32_t(-h);
    for (int k = 0; k < 4; ++k) b[22 + k] = (unsigned char)(neg >> (8 * k));
    return b;
}

namespace {

uint32_t le32_at(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

// Row y of palette indices as RLE codes from column x on. When the rest of
// the row is colour 0 and so is the start of the next row up to x, a delta
// moves straight up and the next row is coded too. Returns the last row coded.
// The last row is written out to its last pixel: some decoders refuse a file
// whose end of bitmap leaves pixels unwritten.
int rle_row(Bytes& out, const std::vector<std::vector<int>>& rows, int y, int x, int last, int bits) {
    const std::vector<int>& row = rows[y];
    const int w = int(row.size());
    while (x < w) {
        int zeros = 0;
        while (x + zeros < w && row[x + zeros] == 0) ++zeros;
        if (x + zeros == w && y < last) {  // the rest of the row is colour 0
            bool up = x > 0;
            for (int k = 0; up && k < x; ++k) up = rows[y + 1][k] == 0;
            if (up) {
                out.insert(out.end(), {0, 2, 0, 1});
                return rle_row(out, rows, y + 1, x, last, bits);
            }
            break;
        }
        if (zeros >= 4 && x + zeros < w) {
            int step = zeros > 255 ? 255 : zeros;
            out.insert(out.end(), {0, 2, (unsigned char)step, 0});
            x += step;
            continue;
        }
        int run = 1;
        while (x + run < w && run < 255 && row[x + run] == row[x]) ++run;
        if (run >= 3 || w - x < 3) {
            if (run < 3) run = 1;
            out.push_back((unsigned char)run);
            out.push_back((unsigned char)(bits == 8 ? row[x] : row[x] * 17));
            x += run;
            continue;
        }
        int lit = 0;  // literal pixels up to the next run of 3 or the end of the row
        while (x + lit < w && lit < 255 &&
               !(x + lit + 2 < w && row[x + lit] == row[x + lit + 1] && row[x + lit] == row[x + lit + 2]))
            ++lit;
        if (lit < 3) lit = 3;
        out.insert(out.end(), {0, (unsigned char)lit});
        Bytes packed;
        for (int k = 0; k < lit; ++k) {
            if (bits == 8) packed.push_back((unsigned char)row[x + k]);
            else if (k % 2 == 0) packed.push_back((unsigned char)(row[x + k] << 4));
            else packed.back() |= (unsigned char)row[x + k];
        }
        if (packed.size() % 2) packed.push_back(0);  // literals end on a 16-bit boundary
        out.insert(out.end(), packed.begin(), packed.end());
        x += lit;
    }
    if (y < last) out.insert(out.end(), {0, 0});
    return y;
}

}  // namespace

Bytes bmp_rle_from(const Bytes& in) {
    if (in.size() < 54 || le32_at(in, 14) != 40 || le32_at(in, 30) != 0) return {};
    const int w = int(le32_at(in, 18)), h = int(le32_at(in, 22)), bits = in[28];
    if ((bits != 4 && bits != 8) || w <= 0 || h <= 0) return {};
    const uint32_t offset = le32_at(in, 10);
    const int colours = le32_at(in, 46) ? int(le32_at(in, 46)) : 1 << bits;
    const size_t stride = (size_t(w) * bits + 31) / 32 * 4;

    std::vector<std::vector<int>> rows(h, std::vector<int>(w));
    std::vector<int> count(256, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char byte = in[offset + y * stride + (bits == 8 ? x : x / 2)];
            int v = bits == 8 ? byte : (x % 2 ? byte & 15 : byte >> 4);
            rows[y][x] = v;
            ++count[v];
        }
    const int common = int(std::max_element(count.begin(), count.end()) - count.begin());
    Bytes out(in.begin(), in.begin() + 54 + 4 * colours);
    std::swap_ranges(out.begin() + 54, out.begin() + 58, out.begin() + 54 + 4 * common);
    for (auto& row : rows)
        for (int& v : row) v = v == common ? 0 : v == 0 ? common : v;

    for (int y = 0; y < h; ++y) y = rle_row(out, rows, y, 0, h - 1, bits);
    out.insert(out.end(), {0, 1});
    const uint32_t data = uint32_t(out.size() - 54 - 4 * colours);
    for (int k = 0; k < 4; ++k) {
        out[2 + k] = (unsigned char)(out.size() >> (8 * k));
        out[30 + k] = (unsigned char)((bits == 8 ? 1u : 2u) >> (8 * k));
        out[34 + k] = (unsigned char)(data >> (8 * k));
    }
    return out;
}

Bytes png_chunk(const char type[4], const Bytes& data) {
    Bytes c;
    put32be(c, uint32_t(data.size()));
    c.insert(c.end(), type, type + 4);
    c.insert(c.end(), data.begin(), data.end());
    put32be(c, crc32(c.data() + 4, c.size() - 4));
    return c;
}

Bytes png_header_only(uint32_t w, uint32_t h) {
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    put32be(ihdr, w);
    put32be(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    // A valid zlib stream holding one empty stored block.
    Bytes idat = {0x78, 0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01};
    for (const Bytes& c : {png_chunk("IHDR", ihdr), png_chunk("IDAT", idat), png_chunk("IEND", {})})
        png.insert(png.end(), c.begin(), c.end());
    return png;
}

namespace {

// Deflate bits, least significant first; Huffman codes go in from their
// most significant bit.
struct BitWriter {
    Bytes out;
    uint32_t acc = 0;
    int n = 0;
    void bits(uint32_t v, int count) {
        for (int i = 0; i < count; ++i) {
            acc |= ((v >> i) & 1u) << n;
            if (++n == 8) {
                out.push_back((unsigned char)acc);
                acc = 0;
                n = 0;
            }
        }
    }
    void code(uint32_t v, int count) {
        for (int i = count - 1; i >= 0; --i) bits((v >> i) & 1u, 1);
    }
    void flush() {
        if (n) out.push_back((unsigned char)acc);
        acc = 0;
        n = 0;
    }
};

// A zlib stream of `count` zero bytes: one fixed-Huffman block of a literal
// 0 and then matches of 258 at distance 1.
Bytes zlib_zeros(uint64_t count) {
    BitWriter w;
    w.out = {0x78, 0x01};
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed codes
    uint64_t left = count;
    if (left) {
        w.code(0x30, 8);  // literal 0
        --left;
    }
    for (; left >= 258; left -= 258) {
        w.code(0xC5, 8);  // length 258
        w.code(0, 5);     // distance 1
    }
    for (; left; --left) w.code(0x30, 8);
    w.code(0, 7);  // end of block
    w.flush();
    // Adler-32 of zeros: the low sum stays 1, the high one grows by 1 a byte.
    put32be(w.out, uint32_t((count % 65521) << 16 | 1));
    return w.out;
}

}  // namespace

Bytes png_blank(uint32_t w, uint32_t h, int depth, int colour_type, bool interlaced, bool bad_crc) {
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    put32be(ihdr, w);
    put32be(ihdr, h);
    ihdr.insert(ihdr.end(), {(unsigned char)depth, (unsigned char)colour_type, 0, 0, (unsigned char)interlaced});
    const uint64_t channels = colour_type == 6 ? 4 : colour_type == 2 ? 3 : 1;
    const uint64_t pixel = channels * uint64_t(depth) / 8;
    // Rows of each pass, every row led by its filter byte.
    uint64_t raw = 0;
    if (!interlaced) {
        raw = uint64_t(h) * (1 + uint64_t(w) * pixel);
    } else {
        static const int x0[7] = {0, 4, 0, 2, 0, 1, 0}, y0[7] = {0, 0, 4, 0, 2, 0, 1};
        static const int dx[7] = {8, 8, 4, 4, 2, 2, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
        for (int p = 0; p < 7; ++p) {
            uint64_t pw = (uint64_t(w) + dx[p] - 1 - x0[p]) / dx[p];
            uint64_t ph = (uint64_t(h) + dy[p] - 1 - y0[p]) / dy[p];
            if (w > uint32_t(x0[p]) && h > uint32_t(y0[p])) raw += ph * (1 + pw * pixel);
        }
    }
    Bytes idat = png_chunk("IDAT", zlib_zeros(raw));
    if (bad_crc) idat.back() ^= 0x55;
    for (const Bytes& c : {png_chunk("IHDR", ihdr), idat, png_chunk("IEND", {})})
        png.insert(png.end(), c.begin(), c.end());
    return png;
}

Bytes gif_screen(uint16_t w, uint16_t h) {
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    put16(gif, w);
    put16(gif, h);
    gif.insert(gif.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255});  // two-colour table: black, white
    gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});     // 1 x 1 frame at (0, 0)
    gif.insert(gif.end(), {2, 2, 0x4C, 0x01, 0});                   // LZW: clear, 1, end
    gif.push_back(0x3B);
    return gif;
}
