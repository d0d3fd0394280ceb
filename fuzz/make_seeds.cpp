// Writes the seed corpora of the fuzz targets, made with the project's own
// writers: the tests' 3DS and image writers, the bundled assets of
// tools/make_assets and a slice of the OBJ benchmark's kind of file.
//   make_seeds ROOT OUT_DIR   (ROOT: the source tree, for assets/)
// Makes OUT_DIR/{objdraw,read3ds,kitwords,image}/ and fills them.
#include <sys/stat.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image_writers.h"
#include "objtype.h"
#include "writer3ds.h"

namespace {

std::string outdir;

void put(const std::string& target, const std::string& name, const std::string& bytes) {
    std::string dir = outdir + "/" + target;
    mkdir(dir.c_str(), 0777);
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
}

void put(const std::string& target, const std::string& name, const Bytes& bytes) {
    put(target, name, std::string(bytes.begin(), bytes.end()));
}

std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The bundled figure cut to its first `nv` vertices and the faces that use
// only those, with its other lines (groups, materials) kept.
std::string figureslice(const std::string& obj, int nv) {
    std::istringstream in(obj);
    std::string line, out;
    int seen = 0;
    while (std::getline(in, line)) {
        if (line.rfind("v ", 0) == 0) {
            if (++seen <= nv) out += line + "\n";
            continue;
        }
        if (line.rfind("f ", 0) == 0) {
            std::istringstream words(line.substr(2));
            std::string w;
            bool keep = true;
            while (words >> w) keep = keep && std::stoi(w) <= nv;
            if (!keep) continue;
        }
        out += line + "\n";
    }
    return out;
}

std::string u32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A patch of the drawing target's hand-filled record mode.
std::string patch(uint32_t at, const std::string& bytes) { return u32(at) + char(bytes.size()) + bytes; }
std::string i32s(std::vector<int32_t> v) { return std::string(reinterpret_cast<const char*>(v.data()), v.size() * 4); }

void objseeds(const std::string& root) {
    const char* small[] = {
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\n"
        "f 1/1/1 2/2/1 3/3/1 4/1/1\nf -4 -3 -2\n",
        "mtllib box.mtl\ng box\nusemtl Wood\nv 1 2 3\nv 4 5 6\nv 7 8 9\nf 1//1 2//1 3//1\n"
        "usemtl mat1\nf 3 2 1\ns off\n# comment\n",
        "v 1e38 -1e38 3.5e-3\r\nv .5 -.5 +2\r\nv 1 1 1\r\nf 1/2/3 2/3/1 3/1/2\r\n",
    };
    for (int i = 0; i < 4; ++i) put("objdraw", "small" + std::to_string(i) + ".obj", small[i]);
    std::string figure = readfile(root + "/assets/objects/myfemale70_grp.obj");
    // Whole lines, one slice short and one past 64 KiB.
    auto lines = [](const std::string& s, size_t most) { return s.substr(0, s.rfind('\n', most) + 1); };
    put("objdraw", "figure300.obj", lines(figureslice(figure, 300), 20000));
    put("objdraw", "figure2000.obj", lines(figureslice(figure, 2000), 80000));
    // A texture list and fallback key of its own, dialogs on.
    put("objdraw", "listed.obj", std::string("\x01\x01\x64") + "box 1 wood 2" + '\0' + "wood" + '\0' + small[2]);
    // Hand-filled records: counts and faces with indices out of every range,
    // an unterminated material name.
    const uint32_t counts = offsetof(obj_type, nvertex);
    const uint32_t faces = offsetof(obj_type, face);
    std::string rec = std::string("\x01\x02\x0a") + '\0' + '\0';
    rec += patch(counts, i32s({3, 2, 0, 0}));
    rec += patch(faces + 48, i32s({1, 2, 3, 0, 1, -5, 100000, 0, 7, 0, 0, 0}));
    rec += patch(faces + 96, i32s({-1, 99999, 2147483647, 4, 0, 0, 0, 0, -1, 0, 0, 0}));
    rec += patch(200 * 256, i32s({0, 1, 2}));
    rec += patch(0, std::string(255, 'M'));
    rec += patch(255, "N");
    put("objdraw", "record.bin", rec);
    // Large and padded: blank lines, comments and zeros around a small model,
    // and one model repeated past the capacity.
    put("objdraw", "padded.obj", std::string(40000, '\n') + "# " + std::string(20000, ' ') + "\n" + small[1] +
                                     std::string(30000, '\0'));
    std::string repeated;
    while (repeated.size() < 120000) repeated += small[1];
    put("objdraw", "repeated.obj", repeated);
}

void seeds3ds() {
    MeshSpec c = cube(1.5f);
    c.name = "box";
    put("read3ds", "cube.3ds", file3ds(meshobject(c)));
    MeshSpec g = cube(2.0f);
    g.name = "grouped";
    g.mapping = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.5f}, {0, 1}, {1, 0}, {1, 1}};
    g.groups = materialgroup("Wood", {0, 1, 2, 3}) + materialgroup("mat", {4, 5, 70});
    put("read3ds", "groups.3ds", file3ds(meshobject(g)));
    MeshSpec m = cube(1.0f);
    m.name = "mirror";
    const float axes[12] = {-1, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 4};
    m.extra = localframe(axes);
    put("read3ds", "mirrored.3ds", file3ds(meshobject(m) + meshobject(c)));
    // The benchmark's wavy grid, small.
    MeshSpec w;
    w.name = "grid";
    const int across = 12, down = 10;
    for (int y = 0; y <= down; ++y)
        for (int x = 0; x <= across; ++x) {
            w.vertices.push_back({float(x), float(y), float(std::sin(x * 0.1) * std::cos(y * 0.13) * 5)});
            w.mapping.push_back({float(x) / across, float(y) / down});
        }
    std::vector<uint16_t> all;
    for (int y = 0; y < down; ++y)
        for (int x = 0; x < across; ++x) {
            uint16_t a = uint16_t(y * (across + 1) + x), b = uint16_t(a + 1);
            uint16_t cc = uint16_t(a + across + 1), d = uint16_t(cc + 1);
            w.faces.push_back({a, b, d});
            w.faces.push_back({a, d, cc});
        }
    for (size_t f = 0; f < w.faces.size(); ++f) all.push_back(uint16_t(f));
    w.groups = materialgroup("paint", all);
    w.extra = chunk(0x4150, std::string(8, '\1'));
    put("read3ds", "grid.3ds", file3ds(meshobject(w)));
    // Large and padded: thousands of empty meshes and face lists around a
    // cube, and zeros after the file.
    std::string empties;
    for (int i = 0; i < 4000; ++i) empties += chunk(0x4000, std::string("e\0") + chunk(0x4100, chunk(0x4120, u16le(0))));
    put("read3ds", "empties.3ds", file3ds(empties + meshobject(c)));
    put("read3ds", "zeros.3ds", file3ds(meshobject(c)) + std::string(100000, '\0'));
}

void kitseeds(const std::string& root) {
    auto seed = [](int n, int start, char sep, const std::string& text, const std::string& pattern) {
        return std::string(1, char(n)) + char(start) + sep + text + '\0' + pattern;
    };
    put("kitwords", "list.txt", seed(3, 2, ' ', "  objects\\caisse2 9  wood 4 default 7 ", "wood"));
    put("kitwords", "face.txt", seed(2, 1, '/', "f 7//3 8/1/2 -4/-3", "//"));
    put("kitwords", "tabs.txt", seed(1, 5, '\t', "v\t1.0 2.0\t3.0\r\n", "\t"));
    put("kitwords", "long.txt", seed(-1, 100, 'x', std::string(300, 'a') + " " + std::string(300, 'b'), "ab"));
    std::string figure = readfile(root + "/assets/objects/myfemale70_grp.obj");
    put("kitwords", "line.txt", seed(4, 3, ' ', figure.substr(0, figure.find('\n')), "e"));
}

Image picture(int w, int h) {
    Image img;
    img.w = w;
    img.h = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.rgba.insert(img.rgba.end(), {(unsigned char)(x * 16), (unsigned char)(y * 16),
                                             (unsigned char)(x * y), (unsigned char)(255 - x)});
    return img;
}

void imageseeds(const std::string& root) {
    Image img = picture(13, 7);
    put("image", "rgb.png", encode_png(img, 3));
    put("image", "rgba.png", encode_png(img, 4));
    put("image", "plain.bmp", encode_bmp(img));
    put("image", "top_down.bmp", bmp_top_down(encode_bmp(img)));
    put("image", "plain.tga", encode_tga(img, false));
    put("image", "rle.tga", encode_tga(img, true));
    put("image", "q90.jpg", encode_jpg(img, 90));
    put("image", "q20.jpg", encode_jpg(picture(33, 17), 20));
    const unsigned char pal[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    std::vector<int> index;
    for (int i = 0; i < 6 * 5; ++i) index.push_back(i % 4);
    put("image", "plain.gif", encode_gif(6, 5, index, pal, -1));
    put("image", "frame.gif", encode_gif_frame(10, 9, 2, 3, 2, 6, 5, index, pal, 1));
    const unsigned char pal16[16][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    Bytes rows;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) rows.push_back((unsigned char)((x / 3 + y) % 5));
    Bytes raw8 = bmp_file(8, 4, 8, 0, pal16, rows);
    put("image", "pal8.bmp", raw8);
    put("image", "rle8.bmp", bmp_rle_from(raw8));
    put("image", "header_only.png", png_header_only(64, 64));
    put("image", "caisse2.jpg", readfile(root + "/assets/objects/caisse2.jpg"));
    put("image", "defaulttext.jpg", readfile(root + "/assets/objects/defaulttext.jpg"));
    // Large and padded: a JPEG without its end marker followed by zeros, one
    // with thousands of empty comments before its frame, a PNG with empty
    // chunks and zeros after its end, a BMP with a long palette gap.
    Bytes jpg = encode_jpg(picture(64, 48), 75);
    Bytes open_end(jpg.begin(), jpg.end() - 2);
    open_end.resize(open_end.size() + 200000, 0);
    put("image", "zeros_no_end.jpg", open_end);
    Bytes comments(jpg.begin(), jpg.begin() + 2);
    for (int i = 0; i < 8000; ++i) comments.insert(comments.end(), {0xFF, 0xFE, 0x00, 0x02});
    comments.insert(comments.end(), jpg.begin() + 2, jpg.end());
    put("image", "comments.jpg", comments);
    Bytes png = encode_png(img, 4), chunks(png.begin(), png.begin() + 33);
    for (int i = 0; i < 5000; ++i) {
        Bytes empty = png_chunk("tEXt", {});
        chunks.insert(chunks.end(), empty.begin(), empty.end());
    }
    chunks.insert(chunks.end(), png.begin() + 33, png.end());
    chunks.resize(chunks.size() + 100000, 0);
    put("image", "chunks.png", chunks);
    Bytes gap = raw8;
    gap.insert(gap.begin() + 54 + 64, 60000, 0);
    uint32_t offset = uint32_t(54 + 64 + 60000);
    for (int k = 0; k < 4; ++k) gap[10 + k] = (unsigned char)(offset >> (8 * k));
    put("image", "palette_gap.bmp", gap);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s ROOT OUT_DIR\n", argv[0]);
        return 2;
    }
    outdir = argv[2];
    mkdir(outdir.c_str(), 0777);
    objseeds(argv[1]);
    seeds3ds();
    kitseeds(argv[1]);
    imageseeds(argv[1]);
    return 0;
}
