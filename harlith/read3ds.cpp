// The 3DS chunk tree, read in one pass over the file's bytes. A chunk is a
// little-endian u16 id and u32 length (header included) followed by its
// body; only the chunks on the way to the triangle meshes are entered.
//
// Limits (what a file of any content costs):
// - memory: the file's bytes once, mapped by load3DSsize (read into one
//   buffer only when it cannot be mapped), plus a record of 104 bytes per
//   mesh that has vertices and 32 per material group that names faces, in
//   arrays that double as they grow (so at most three times that at the
//   moment of a reallocation), plus a constant. Meshes without vertices and
//   groups without faces draw nothing and are not kept, so padding a file
//   with empty chunks costs only their reading.
// - per-file caps: kMaxMeshes3ds (65,536) meshes and kMaxGroups3ds
//   (262,144) groups, in model3ds.h; later ones are dropped, as when memory
//   runs out: 20 MB and 25 MB at the peak. A mesh
//   holds at most 65,535 vertices and faces (u16 counts and indices).
// - work: one pass over the chunks on the way to the meshes; the chunks
//   inside are skipped by their lengths, never scanned.
#include <cstdlib>
#include <cstring>

#include "model3ds.h"

namespace {

typedef const unsigned char* bytes;

uint16_t u16(bytes p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t u32(bytes p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

float f32le(bytes p) {
    uint32_t u = u32(p);
    float f;
    memcpy(&f, &u, sizeof f);
    return f;
}

// Calls visit(id, body, end) for each chunk between p and end.
template <class Visit>
void chunks(bytes p, bytes end, Visit visit) {
    while (end - p >= 6) {
        uint32_t length = u32(p + 2);
        // Shorter than its own header: where the next chunk starts is
        // unknowable, so this level ends here.
        if (length < 6) return;
        bytes next = size_t(end - p) < length ? end : p + length;
        visit(u16(p), p + 6, next);
        p = next;
    }
}

// A u16 count followed by count records of `record` bytes: the records that
// really lie within the chunk.
uint32_t records(bytes body, bytes end, size_t record, bytes& first) {
    first = body + 2;
    if (end - body < 2) return 0;
    size_t room = size_t(end - first) / record;
    uint32_t count = u16(body);
    return count < room ? count : uint32_t(room);
}

// Growth by doubling with realloc, so a hostile file with countless chunks
// costs memory only while there is some: on failure, or past the cap, the
// element is dropped.
template <class T>
T* append(T*& items, uint32_t& n, uint32_t cap) {
    if (n >= cap) return nullptr;
    if ((n & (n - 1)) == 0) {  // 0, 1, 2, 4, ...: full
        size_t grown = n ? size_t(n) * 2 : 4;
        if (grown > SIZE_MAX / sizeof(T)) return nullptr;
        T* more = static_cast<T*>(realloc(items, grown * sizeof(T)));
        if (!more) return nullptr;
        items = more;
    }
    T* item = &items[n++];
    memset(static_cast<void*>(item), 0, sizeof(T));
    return item;
}

// The transform that folds a mirrored mesh back: into its frame, x negated,
// out again (frame * diag(-1, 1, 1) * frame^-1). Rows X, Y, Z axis, origin.
bool unmirror(bytes body, float out[12]) {
    double f[12];
    for (int i = 0; i < 12; ++i) f[i] = f32le(body + 4 * i);
    // Column-vector form: world = A * local + o, A's columns the three axes.
    double a[3][3], o[3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) a[r][c] = f[c * 3 + r];
        o[r] = f[9 + r];
    }
    double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                 a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                 a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    if (!(det < 0)) return false;  // also NaN
    double inv[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            inv[r][c] = (a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1]) / det;
        }
    // m = A * S * A^-1, t = o - m * o.
    double m[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = -a[r][0] * inv[0][c] + a[r][1] * inv[1][c] + a[r][2] * inv[2][c];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out[r * 4 + c] = float(m[r][c]);
        out[r * 4 + 3] = float(o[r] - (m[r][0] * o[0] + m[r][1] * o[1] + m[r][2] * o[2]));
    }
    return true;
}

struct reader {
    model3ds& model;

    void faces(mesh3ds& mesh, bytes body, bytes end) {
        mesh.nface = records(body, end, 8, mesh.faces);
        // The face list's own chunks follow its records, when all are there.
        if (end - body < 2 || mesh.nface != u16(body)) return;
        chunks(mesh.faces + size_t(mesh.nface) * 8, end, [&](uint16_t id, bytes p, bytes e) {
            if (id != CHUNK_FACE_MATERIAL) return;
            const void* zero = memchr(p, 0, size_t(e - p));
            if (!zero) return;
            bytes first;
            uint32_t nface = records(static_cast<bytes>(zero) + 1, e, 2, first);
            if (nface == 0) return;
            uint32_t at = model.ngroup;
            group3ds* g = append(model.groups, model.ngroup, kMaxGroups3ds);
            if (!g) return;
            g->name = reinterpret_cast<const char*>(p);
            g->namelen = size_t(static_cast<bytes>(zero) - p);
            g->faces = first;
            g->nface = nface;
            if (mesh.ngroup == 0) mesh.firstgroup = at;
            ++mesh.ngroup;
        });
    }

    // The mesh is kept only when it has vertices: without them it draws
    // nothing and counts for nothing in the model's size. The groups of a
    // mesh not kept, or of a face list replaced, are the last ones appended
    // and are taken back.
    void trimesh(bytes body, bytes end) {
        mesh3ds m;
        memset(static_cast<void*>(&m), 0, sizeof m);
        const uint32_t groups_before = model.ngroup;
        chunks(body, end, [&](uint16_t id, bytes p, bytes e) {
            switch (id) {
            case CHUNK_VERTICES: m.nvertex = records(p, e, 12, m.vertices); break;
            case CHUNK_FACES:
                if (m.ngroup) model.ngroup = m.firstgroup;  // a second face list replaces the first
                m.ngroup = 0;
                faces(m, p, e);
                break;
            case CHUNK_MAPPING: m.ntexcoord = records(p, e, 8, m.texcoords); break;
            case CHUNK_LOCAL_FRAME:
                if (e - p >= 48) m.mirrored = unmirror(p, m.unmirror);
                break;
            }
        });
        mesh3ds* kept = m.nvertex ? append(model.meshes, model.nmesh, kMaxMeshes3ds) : nullptr;
        if (kept)
            *kept = m;
        else
            model.ngroup = groups_before;
    }

    void object(bytes body, bytes end) {
        const void* zero = memchr(body, 0, size_t(end - body));
        if (!zero) return;  // a name without end: nothing after it to find
        chunks(static_cast<bytes>(zero) + 1, end, [&](uint16_t id, bytes p, bytes e) {
            if (id == CHUNK_TRIMESH) trimesh(p, e);
        });
    }

    void editor(bytes body, bytes end) {
        chunks(body, end, [&](uint16_t id, bytes p, bytes e) {
            if (id == CHUNK_OBJECT) object(p, e);
        });
    }

    void main(bytes body, bytes end) {
        chunks(body, end, [&](uint16_t id, bytes p, bytes e) {
            if (id == CHUNK_EDITOR) editor(p, e);
        });
    }
};

}  // namespace

model3ds::~model3ds() {
    free(meshes);
    free(groups);
}

void read3ds(const unsigned char* data, size_t size, model3ds& model) {
    reader r{model};
    chunks(data, data + size, [&](uint16_t id, bytes p, bytes e) {
        if (id == CHUNK_MAIN) r.main(p, e);
    });
}

void vertex3ds(const mesh3ds& mesh, uint32_t i, float p[3]) {
    bytes v = mesh.vertices + size_t(i) * 12;
    float x = f32le(v), y = f32le(v + 4), z = f32le(v + 8);
    if (!mesh.mirrored) {
        p[0] = x, p[1] = y, p[2] = z;
        return;
    }
    const float* m = mesh.unmirror;
    for (int r = 0; r < 3; ++r) {
        volatile float f = float(double(m[r * 4]) * x + double(m[r * 4 + 1]) * y + double(m[r * 4 + 2]) * z +
                                 double(m[r * 4 + 3]));
        p[r] = f;
    }
}
