// A 3DS file as harlith draws it: views into the file's bytes, found in one
// pass over the chunk tree. Nothing is copied; every count is what the
// enclosing chunk (clamped to the file) really holds.
#ifndef HARLITH_MODEL3DS_H
#define HARLITH_MODEL3DS_H

#include <cstddef>
#include <cstdint>

enum {
    CHUNK_MAIN = 0x4D4D,
    CHUNK_EDITOR = 0x3D3D,
    CHUNK_OBJECT = 0x4000,
    CHUNK_TRIMESH = 0x4100,
    CHUNK_VERTICES = 0x4110,
    CHUNK_FACES = 0x4120,
    CHUNK_FACE_MATERIAL = 0x4130,
    CHUNK_MAPPING = 0x4140,
    CHUNK_LOCAL_FRAME = 0x4160,
};

// The per-file caps of the reader (see the limits at the top of read3ds.cpp):
// meshes and material groups past them are dropped.
enum : uint32_t { kMaxMeshes3ds = 1u << 16, kMaxGroups3ds = 1u << 18 };

// Faces of one mesh that carry one material (indices into the mesh's faces,
// checked when drawn).
struct group3ds {
    const char* name;  // not terminated inside the file's bytes: use namelen
    size_t namelen;
    const unsigned char* faces;  // u16 each
    uint32_t nface;
};

struct mesh3ds {
    const unsigned char* vertices;  // three little-endian floats each
    uint32_t nvertex;
    const unsigned char* faces;  // u16 a, b, c, flags each
    uint32_t nface;
    const unsigned char* texcoords;  // two floats each, one per vertex
    uint32_t ntexcoord;
    uint32_t firstgroup, ngroup;  // slice of model3ds::groups
    // A mirrored object (local frame with a negative determinant) has its
    // vertices stored mirrored about its own frame; drawing folds them back.
    bool mirrored;
    float unmirror[12];  // 3x4 row-major transform applied when mirrored
};

struct model3ds {
    mesh3ds* meshes = nullptr;
    uint32_t nmesh = 0;
    group3ds* groups = nullptr;
    uint32_t ngroup = 0;

    model3ds() = default;
    model3ds(const model3ds&) = delete;
    model3ds& operator=(const model3ds&) = delete;
    ~model3ds();
};

// Reads the chunk tree of size bytes at data. Unknown chunks are skipped by
// their length, a chunk longer than its parent is cut to the parent, and a
// length shorter than a chunk header ends its level: a damaged file gives
// whatever lies before the damage, never a read outside data.
void read3ds(const unsigned char* data, size_t size, model3ds& model);

// Position of vertex i (< mesh.nvertex) as drawn.
void vertex3ds(const mesh3ds& mesh, uint32_t i, float p[3]);

// Issues the model into the current OpenGL context (see harlith.h); prefix
// is the file's texture-key prefix.
void draw3ds(const model3ds& model, int size, const char* prefix, const char* textlist, const char* deftext);

#endif
