// Times reading one OBJ file, best of 10 runs each: kestrin's Loadobj;
// fast_obj, the fastest single-threaded reader a user would pick instead;
// tinyobjloader's LoadObj (without triangulation, so it does no extra work;
// its default, triangulating call is timed too); a plain fgets + sscanf
// reader; and the floor, reading the file and finding its lines (fread +
// memchr) without looking at them. The readers must agree on the four
// counts, the floor on the number of lines.
//   bench_obj FILE.obj [--rows]   (--rows: "name ms" lines for bench/report)
#include <fast_obj.h>
#if defined(BENCH_TINYOBJ)
#include <tiny_obj_loader.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "objtype.h"

namespace {

struct counts {
    long v = 0, vt = 0, vn = 0, f = 0;
    bool operator==(const counts& o) const { return v == o.v && vt == o.vt && vn == o.vn && f == o.f; }
};

double now_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// One timing of read(); prepare() runs untimed before it.
template <class Prepare, class Read>
double timed(Prepare prepare, Read read) {
    prepare();
    double t0 = now_ms();
    read();
    return now_ms() - t0;
}

// Counts one more element; the slot is capped like the record's.
long slot(long& n) {
    ++n;
    return n < long(OBJ_SLOTS) ? n : long(OBJ_MAXELEMENTS);
}

// The reader everybody writes first: one fgets line, one sscanf per element.
counts plainread(obj_type* o, const char* path) {
    counts c;
    FILE* f = fopen(path, "r");
    if (!f) return c;
    char line[256];
    while (fgets(line, sizeof line, f)) {
        if (line[0] == 'v' && line[1] == ' ') {
            float* p = o->vertex[slot(c.v)];
            sscanf(line + 2, "%f %f %f", &p[0], &p[1], &p[2]);
        } else if (line[0] == 'v' && line[1] == 't' && line[2] == ' ') {
            float* p = o->texcoord[slot(c.vt)];
            sscanf(line + 3, "%f %f", &p[0], &p[1]);
        } else if (line[0] == 'v' && line[1] == 'n' && line[2] == ' ') {
            float* p = o->normal[slot(c.vn)];
            sscanf(line + 3, "%f %f %f", &p[0], &p[1], &p[2]);
        } else if (line[0] == 'f' && line[1] == ' ') {
            face_type& fc = o->face[slot(c.f)];
            int j = 0;
            for (char* tok = strtok(line + 2, " \r\n"); tok && j < 4; tok = strtok(nullptr, " \r\n"), ++j) {
                int n = 0;
                if (sscanf(tok, "%d/%d/%d", &fc.vi[j], &fc.ti[j], &n) != 3) sscanf(tok, "%d//%d", &fc.vi[j], &n);
                if (j == 0) fc.ni[0] = n;
            }
        }
    }
    fclose(f);
    return c;
}

// The least any reader must do: every byte read, every line end found.
long floorread(const char* path) {
    static char buffer[1 << 16];
    long lines = 0;
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) {
        const char* end = buffer + n;
        for (const char* p = buffer; (p = static_cast<const char*>(memchr(p, '\n', size_t(end - p)))); ++p) ++lines;
    }
    fclose(f);
    return lines;
}

long countlines(const char* path) {
    long lines = 0;
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    for (int c; (c = getc(f)) != EOF;) lines += c == '\n';
    fclose(f);
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    bool rows = argc == 3 && strcmp(argv[2], "--rows") == 0;
    if (argc != 2 && !rows) {
        fprintf(stderr, "usage: %s file.obj [--rows]\n", argv[0]);
        return 2;
    }
    char* path = argv[1];
    FILE* f = fopen(path, "rb");
    if (!f) {
        perror(path);
        return 1;
    }
    fseek(f, 0, SEEK_END);
    double mb = double(ftell(f)) / 1e6;
    fclose(f);

    const int runs = 10;
    obj_type* rec = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    if (!rec) return 1;

    counts ck, ct, cp, cf;
    long floorlines = 0;
    // With the record as the entry points get it (kept between calls, cleared
    // of the last call's data), since fast_obj's time holds its allocations.
    auto kestrin = [&] { return timed([] {}, [&] {
        obj_type* r = takerecord("bench_obj", path);
        if (!r) return;
        Loadobj(r, path);
        ck.v = r->nvertex, ck.vt = r->ntexcoord, ck.vn = r->nnormal, ck.f = r->nface;
        giverecord(r);
    }); };

#if defined(BENCH_TINYOBJ)
    auto tiny = [&] { return timed([] {}, [&] {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path, nullptr, false);
        ct.v = long(attrib.vertices.size() / 3), ct.vt = long(attrib.texcoords.size() / 2);
        ct.vn = long(attrib.normals.size() / 3), ct.f = 0;
        for (const tinyobj::shape_t& s : shapes) ct.f += long(s.mesh.num_face_vertices.size());
    }); };

    // The loader's default call triangulates the quads as well: timed for
    // reference, not compared (its face count is in triangles).
    auto tinytri = [&] { return timed([] {}, [&] {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path);
    }); };

    const bool havetiny = true;
#else
    // Not built here (the Windows build has no tinyobjloader header).
    auto tiny = [] { return 0.0; };
    auto tinytri = [] { return 0.0; };
    const bool havetiny = false;
#endif

    fastObjMesh* mesh = nullptr;
    auto fastobj = [&] {
        double t = timed([] {}, [&] { mesh = fast_obj_read(path); });
        if (mesh) {
            // fast_obj keeps an empty element 0 in each array, as the record does.
            cf.v = long(mesh->position_count) - 1, cf.vt = long(mesh->texcoord_count) - 1;
            cf.vn = long(mesh->normal_count) - 1, cf.f = long(mesh->face_count);
            fast_obj_destroy(mesh);
        }
        return t;
    };

    auto floorrun = [&] { return timed([] {}, [&] { floorlines = floorread(path); }); };

    auto plain = [&] { return timed([&] { memset(rec, 0, sizeof *rec); }, [&] { cp = plainread(rec, path); }); };

    // Rounds in turn, so that a busy moment of the machine hits all alike.
    double tk = 1e300, tf = 1e300, tfl = 1e300, tt = 1e300, ttri = 1e300, tp = 1e300;
    for (int r = 0; r < runs; ++r) {
        tk = std::min(tk, kestrin());
        tf = std::min(tf, fastobj());
        tfl = std::min(tfl, floorrun());
        tt = std::min(tt, tiny());
        ttri = std::min(ttri, tinytri());
        tp = std::min(tp, plain());
    }
    free(rec);

    auto show = [](const char* name, const counts& c) {
        fprintf(stderr, "  %-14s v %ld  vt %ld  vn %ld  f %ld\n", name, c.v, c.vt, c.vn, c.f);
    };
    if (!havetiny) ct = ck;
    if (!(ck == ct && ck == cp && ck == cf) || floorlines != countlines(path)) {
        fprintf(stderr, "COUNTS DIFFER:\n");
        show("Loadobj", ck), show("fast_obj", cf), show("tinyobjloader", ct), show("fgets+sscanf", cp);
        fprintf(stderr, "  floor: %ld lines of %ld\n", floorlines, countlines(path));
        return 1;
    }
    if (rows) {
        printf("Loadobj %.2f\nfast_obj %.2f\nread-floor %.2f\n", tk, tf, tfl);
        if (havetiny) printf("tinyobjloader %.2f\ntinyobjloader-triangulating %.2f\n", tt, ttri);
        printf("fgets+sscanf %.2f\n", tp);
        return 0;
    }

    printf("file %s: %.1f MB, best of %d runs\n", path, mb, runs);
    printf("%-15s %9s %9s %12s\n", "reader", "ms", "MB/s", "vs Loadobj");
    auto row = [&](const char* name, double t) { printf("%-15s %9.1f %9.1f %11.2fx\n", name, t, mb / (t / 1000.0), t / tk); };
    row("Loadobj", tk);
    row("fast_obj", tf);
    row("read floor", tfl);
    if (havetiny) {
        row("tinyobjloader", tt);
        row("  triangulating", ttri);
    }
    row("fgets+sscanf", tp);

    printf("  counts: v %ld  vt %ld  vn %ld  f %ld\n", ck.v, ck.vt, ck.vn, ck.f);
    printf("fast_obj / Loadobj = %.2f (target >= 1.25), Loadobj / floor = %.2f (target <= 2)\n", tf / tk, tk / tfl);
    return 0;
}
