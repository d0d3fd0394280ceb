// Immediate-mode drawing of a model record through the drawing core
// (drawcore.h): one glBegin/glEnd per face so the caller may bind a texture
// between any two faces, and nothing else of OpenGL's state is touched. Here
// is only what is the record's own: its walk over vertices, faces and
// material ranges, and which corners carry the file's texture coordinates.
//
// A record may hold any index (a caller can fill one by hand), so every
// array access goes through slot(): anything outside 0..99999 reads the
// all-zero slot 0 and nothing outside the record is ever read.
#include <climits>

#include "drawcore.h"
#include "kit.h"
#include "objtype.h"

namespace {

int slot(int i) { return i >= 0 && i < OBJ_SLOTS ? i : 0; }

int clampcount(int n) { return n < 0 ? 0 : n > OBJ_MAXELEMENTS ? OBJ_MAXELEMENTS : n; }

drawscale recordscale(const obj_type* obj) {
    float r = radiusstart;
    int n = clampcount(obj->nvertex);
    for (int v = 1; v <= n; ++v) r = radiusafter(r, obj->vertex[v]);
    return scaleof(r, size);
}

// filetexcoords: corners with a texture-coordinate index use the file's;
// otherwise every corner's is generated from its position.
void face(const obj_type* obj, int i, drawscale sc, bool filetexcoords) {
    const face_type& f = obj->face[i];
    drawface out;
    out.corners = f.vi[3] != 0 ? 4 : 3;
    int n = f.ni[0];
    out.normal = n > 0 ? normalgiven : n == 0 ? normalcomputed : normalleft;
    out.givennormal = obj->normal[slot(n)];
    for (int j = 0; j < 4; ++j) {
        out.position[j] = obj->vertex[slot(f.vi[j])];
        int t = f.ti[j];
        out.texcoord[j] = filetexcoords && t != 0 ? obj->texcoord[slot(t)] : nullptr;
    }
    drawfaceof(out, sc);
}

// A record's text read at most 255 characters deep, so an unterminated
// field cannot lead the reading out of the record.
char$ textof(const char$& field) {
    char$ r;
    int n = 0;
    while (n < cbufferlen - 1 && field.s[n]) {
        r.s[n] = field.s[n];
        ++n;
    }
    r.s[n] = 0;
    return r;
}

}  // namespace

void drawobj(obj_type* obj, const char* textlist, const char* deftext) {
    drawscale sc = recordscale(obj);
    int dialogs = test == 1;  // "no" in a dialog turns off this call's copy only
    if (dialogs) notice(strc$("usef$=", textof(obj->matname[0]), " textlist$=", textlist));
    char$ prefix = textof(obj->prefix);
    int k = 0;     // current material number + 1
    int next = 0;  // last face of the current material range
    int n = clampcount(obj->nface);
    for (int i = 1; i <= n; ++i) {
        if (i > next) {
            while (i > next && k <= OBJ_MAXMATERIALS - 1) {
                ++k;
                next = obj->matstart[k];  // empty ranges are skipped
            }
            // A record without end sentinel stays with its last material
            // rather than looking the texture up again for every face.
            if (i > next) next = INT_MAX;
            char$ material = textof(obj->matname[k - 1]);
            bindmaterial(prefix, material, cbufferlen, textlist, deftext, dialogs);
        }
        face(obj, i, sc, true);
    }
}

void drawobj2(obj_type* obj) {
    drawscale sc = recordscale(obj);
    int n = clampcount(obj->nface);
    for (int i = 1; i <= n; ++i) face(obj, i, sc, false);
}
