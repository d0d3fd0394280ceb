// Immediate-mode drawing of a read 3DS file through kestrin's drawing core
// (drawcore.h), so a mesh comes out exactly as kestrin draws it from an OBJ
// file: one glBegin/glEnd per face, the same radius estimate and scale, the
// same normals, generated texture coordinates and texture lookup. Here is
// only what is the 3DS model's own: the walk over meshes, faces and material
// groups.
#include <cstring>

#include "drawcore.h"
#include "model3ds.h"

namespace {

uint16_t u16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

float f32le(const unsigned char* p) {
    uint32_t u = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float f;
    memcpy(&f, &u, sizeof f);
    return f;
}

// Over every vertex of every mesh in file order.
drawscale modelscale(const model3ds& model, int size) {
    float r = radiusstart;
    for (uint32_t k = 0; k < model.nmesh; ++k) {
        const mesh3ds& mesh = model.meshes[k];
        for (uint32_t v = 0; v < mesh.nvertex; ++v) {
            float p[3];
            vertex3ds(mesh, v, p);
            r = radiusafter(r, p);
        }
    }
    return scaleof(r, size);
}

// A triangle with its computed normal; a corner past the mapping
// coordinates gets a generated texture coordinate. A face naming a vertex
// the mesh does not have is not drawn.
void face(const mesh3ds& mesh, uint32_t i, drawscale sc) {
    const unsigned char* f = mesh.faces + size_t(i) * 8;
    uint32_t corner[3] = {u16(f), u16(f + 2), u16(f + 4)};
    if (corner[0] >= mesh.nvertex || corner[1] >= mesh.nvertex || corner[2] >= mesh.nvertex) return;
    float p[3][3], uv[3][2];
    drawface out;
    out.corners = 3;
    out.normal = normalcomputed;
    out.givennormal = nullptr;
    for (int j = 0; j < 3; ++j) {
        vertex3ds(mesh, corner[j], p[j]);
        out.position[j] = p[j];
        out.texcoord[j] = nullptr;
        if (corner[j] < mesh.ntexcoord) {
            const unsigned char* bytes = mesh.texcoords + size_t(corner[j]) * 8;
            uv[j][0] = f32le(bytes);
            uv[j][1] = f32le(bytes + 4);
            out.texcoord[j] = uv[j];
        }
    }
    out.position[3] = out.texcoord[3] = nullptr;
    drawfaceof(out, sc);
}

// The texture of one material (name, n bytes; none for faces without one).
// harlith has no debug dialogs.
void choosetexture(const char* prefix, const char* name, size_t n, const char* textlist, const char* deftext) {
    int dialogs = 0;
    bindmaterial(prefix, name, n, textlist, deftext, dialogs);
}

const uint32_t nogroup = 0xFFFFFFFF;

// harlith's process-wide state, all of it (the box hook aside, which is the
// platform layer's). Not reentrant: one draw3ds at a time, on the thread
// whose OpenGL context is current, as load3DSsize's contract says.
struct harlithstate {
    // Group of each face of the mesh being drawn (u16 face indices: 65536
    // at most); static so that drawing allocates nothing.
    uint32_t facegroup[65536];
};
harlithstate harlith;

}  // namespace

void draw3ds(const model3ds& model, int size, const char* prefix, const char* textlist, const char* deftext) {
    drawscale sc = modelscale(model, size);
    // With nothing listed no texture can be found: skip the lookups.
    const char* listed = textlist;
    while (*listed == ' ') ++listed;
    bool lookup = *listed != 0;
    bool chosen = false;
    uint32_t current = nogroup;
    for (uint32_t k = 0; k < model.nmesh; ++k) {
        const mesh3ds& mesh = model.meshes[k];
        if (!lookup) {
            for (uint32_t i = 0; i < mesh.nface; ++i) face(mesh, i, sc);
            continue;
        }
        for (uint32_t i = 0; i < mesh.nface; ++i) harlith.facegroup[i] = nogroup;
        // A face listed in two groups keeps the later one.
        for (uint32_t g = mesh.firstgroup; g < mesh.firstgroup + mesh.ngroup; ++g)
            for (uint32_t j = 0; j < model.groups[g].nface; ++j) {
                uint16_t f = u16(model.groups[g].faces + size_t(j) * 2);
                if (f < mesh.nface) harlith.facegroup[f] = g;
            }
        for (uint32_t i = 0; i < mesh.nface; ++i) {
            uint32_t g = harlith.facegroup[i];
            if (!chosen || g != current) {
                if (g == nogroup)
                    choosetexture(prefix, "", 0, textlist, deftext);
                else
                    choosetexture(prefix, model.groups[g].name, model.groups[g].namelen, textlist, deftext);
                chosen = true;
                current = g;
            }
            face(mesh, i, sc);
        }
    }
}
