// jpeg.dll against ImageMagick on files that ImageMagick and this program
// write (tests/imagedll/conformance/make-files.sh drives both). Run with
// "--make DIR", the program derives the variants ImageMagick cannot write
// from the ones it wrote; as a test, it decodes every file of the folder's
// list and compares it with ImageMagick's RGBA of the same file.
#include "decoded_pixels.h"
#include "image_writers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

Bytes read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(f);
}

size_t find_marker(const Bytes& jpg, unsigned char marker) {
    for (size_t i = 0; i + 1 < jpg.size(); ++i)
        if (jpg[i] == 0xFF && jpg[i + 1] == marker) return i;
    return jpg.size();
}

// The variants ImageMagick does not write: top-down and run-length BMPs
// (with delta moves and ends of line), a GIF whose first frame is smaller
// than its screen with a background index that is not 0, JPEGs without an
// end-of-image marker or with stray bytes before markers.
int make_variants(const std::string& dir) {
    int made = 0;
    auto derive = [&](const char* from, const char* to, Bytes (*how)(const Bytes&)) {
        Bytes in = read_file(dir + from);
        Bytes out = in.empty() ? Bytes() : how(in);
        if (!out.empty() && write_file(dir + to, out)) ++made;
        else std::fprintf(stderr, "could not make %s from %s\n", to, from);
    };
    derive("bmp-4.bmp", "bmp-4-topdown.bmp", bmp_top_down);
    derive("bmp-8.bmp", "bmp-8-topdown.bmp", bmp_top_down);
    derive("bmp-24.bmp", "bmp-24-topdown.bmp", bmp_top_down);
    derive("bmp-4.bmp", "bmp-4-rle-delta.bmp", bmp_rle_from);
    derive("bmp-8.bmp", "bmp-8-rle-delta.bmp", bmp_rle_from);
    derive("jpeg-420.jpg", "jpeg-no-end-marker.jpg", [](const Bytes& jpg) {
        return jpg.size() > 2 && jpg[jpg.size() - 2] == 0xFF ? Bytes(jpg.begin(), jpg.end() - 2) : Bytes();
    });
    derive("jpeg-444.jpg", "jpeg-stray-bytes.jpg", [](const Bytes& jpg) {
        Bytes out = jpg;
        for (unsigned char marker : {0xDA, 0xC4}) {  // the later one first
            size_t at = find_marker(out, marker);
            if (at == out.size()) return Bytes();
            out.insert(out.begin() + at, {0x00, 0x5A, 0x00});
        }
        return out;
    });

    // 23 x 17 frame at (7, 5) on a 40 x 30 screen, background index 2, a
    // transparent index 3.
    const unsigned char pal[4][3] = {{230, 40, 20}, {20, 90, 200}, {250, 220, 10}, {0, 0, 0}};
    std::vector<int> index;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x) index.push_back((x / 4 + y / 3) % 4);
    if (write_file(dir + "gif-small-frame.gif", encode_gif_frame(40, 30, 2, 7, 5, 23, 17, index, pal, 3))) ++made;
    return made == 8 ? 0 : 1;
}

// One file of the list with ImageMagick's decoding of it.
struct Reference {
    std::string file;
    int w = 0, h = 0;
};

std::string conformance_dir() { return exe_dir() + "..\\imagedll_conformance\\"; }

std::vector<Reference> references(const std::string& extension) {
    std::vector<Reference> refs;
    std::ifstream list(conformance_dir() + "list.txt");
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        Reference r;
        if (!(fields >> r.file >> r.w >> r.h)) continue;
        if (r.file.size() > extension.size() &&
            r.file.compare(r.file.size() - extension.size(), extension.size(), extension) == 0)
            refs.push_back(r);
    }
    return refs;
}

// Error statistics over the colour channels of every pixel ImageMagick does
// not call fully transparent.
struct Errors {
    int max = 0;
    double sum = 0;
    std::vector<int> all;
    double mean() const { return all.empty() ? 0 : sum / double(all.size()); }
    int percentile_999() const {
        if (all.empty()) return 0;
        std::vector<int> sorted = all;
        size_t at = size_t(double(sorted.size() - 1) * 0.999);
        std::nth_element(sorted.begin(), sorted.begin() + at, sorted.end());
        return sorted[at];
    }
    void add(const Errors& e) {
        max = std::max(max, e.max);
        sum += e.sum;
        all.insert(all.end(), e.all.begin(), e.all.end());
    }
};

// Decodes every file of the kind and checks it against ImageMagick: alpha
// exact (an opaque file gives alpha 0 throughout; 16-bit PNGs see below), colour within `max_error`
// per channel, or for a lossy format a mean within `max_mean` and a 99.9th
// percentile within `max_p999`. Prints one table row.
void conform(const char* format, const std::string& extension, int max_error, double max_mean = 0,
             int max_p999 = 0) {
    LoadImageFileFn load = loader();
    ASSERT_NE(load, nullptr);
    std::vector<Reference> refs = references(extension);
    ASSERT_FALSE(refs.empty()) << "no " << format << " files in " << conformance_dir() << "list.txt";
    Errors total;
    int decoded = 0;
    for (const Reference& r : refs) {
        const std::string path = conformance_dir() + r.file;
        Bytes want = read_file(path + ".rgba");
        ASSERT_EQ(want.size(), size_t(r.w) * r.h * 4) << r.file;
        HBITMAP bmp = load(0, path.c_str());
        EXPECT_NE(bmp, nullptr) << r.file << " refused";
        if (!bmp) continue;
        Pixels px = read_dib(bmp);
        DeleteObject(bmp);
        EXPECT_EQ(px.w, r.w) << r.file;
        EXPECT_EQ(px.h, r.h) << r.file;
        if (px.w != r.w || px.h != r.h || px.argb.size() != size_t(r.w) * r.h) continue;
        ++decoded;

        bool opaque = true, alpha_zero = true;
        for (size_t i = 0; i < px.argb.size(); ++i) {
            opaque = opaque && want[i * 4 + 3] == 255;
            alpha_zero = alpha_zero && (px.argb[i] >> 24) == 0;
        }
        // From 16-bit samples ImageMagick (Q16) takes colour as v / 257 rounded
        // down and alpha rounded up (it keeps opacity); jpeg.dll rounds both
        // to the nearest level, so there alpha may differ by one.
        const Bytes file = read_file(path);
        const int alpha_slack = extension == ".png" && file.size() > 24 && file[24] == 16 ? 1 : 0;
        Errors e;
        int alpha_wrong = 0;
        for (size_t i = 0; i < px.argb.size(); ++i) {
            const unsigned char* ref = &want[i * 4];
            const uint32_t got = px.argb[i];
            if (!(opaque && alpha_zero) && std::abs(int(got >> 24) - int(ref[3])) > alpha_slack) ++alpha_wrong;
            if (ref[3] == 0) continue;
            for (int c = 0; c < 3; ++c) {
                int err = std::abs(int((got >> (16 - 8 * c)) & 0xFF) - int(ref[c]));
                e.max = std::max(e.max, err);
                e.sum += err;
                e.all.push_back(err);
            }
        }
        EXPECT_EQ(alpha_wrong, 0) << r.file << ": pixels whose alpha differs";
        std::printf("  %-34s %4dx%-4d max %3d  mean %.3f  p99.9 %d\n", r.file.c_str(), r.w, r.h, e.max, e.mean(),
                    e.percentile_999());
        if (max_mean > 0) {
            EXPECT_LE(e.mean(), max_mean) << r.file;
            EXPECT_LE(e.percentile_999(), max_p999) << r.file;
        } else {
            EXPECT_LE(e.max, max_error) << r.file;
        }
        total.add(e);
    }
    std::printf("| %s | %zu | %d | %d | %.3f |\n", format, refs.size(), decoded, total.max, total.mean());
    EXPECT_EQ(decoded, int(refs.size()));
}

TEST(Conformance, Bmp) { conform("BMP", ".bmp", 1); }
TEST(Conformance, Tga) { conform("TGA", ".tga", 1); }
TEST(Conformance, Gif) { conform("GIF", ".gif", 1); }
TEST(Conformance, Png) { conform("PNG", ".png", 1); }
TEST(Conformance, Jpeg) { conform("JPEG", ".jpg", 255, 0.5, 4); }

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--make") {
        std::string dir = argv[2];
        if (dir.back() != '/' && dir.back() != '\\') dir += '/';
        return make_variants(dir);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
