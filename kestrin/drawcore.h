// The drawing both model libraries share: kestrin.dll's OBJ records and
// harlith.dll's 3DS meshes are issued through these, so one mesh comes out
// of either format with the same size, normals, texture coordinates and
// textures, bit for bit. Each library keeps only its own walk over its own
// model.
//
// Features:
// - the radius estimate r, a smoothed running maximum of the absolute
//   coordinates, and the vertex and texture scales it gives;
// - one face as one glBegin/glEnd pair: its normal (given, computed from its
//   first three corners, or left alone) and its corners, each with its own
//   texture coordinate or one generated from its position;
// - the texture of a material: its key (prefix + name, lower case) looked up
//   in the host's list "name id name id ...", then the fallback key, with
//   kestrin's debug dialogs when the switch is on.
//
// OpenGL: glBegin, glNormal3f, glTexCoord2f, glVertex3f, glEnd, and
// glBindTexture(GL_TEXTURE_2D, id) only when a key is listed. Nothing else:
// no state is enabled, changed, saved or restored and no display list is
// opened; the caller owns all of that.
//
// Limits: keys and the words of the list count up to 255 characters (the
// kit's text length); ids are read as the kit's val reads them (saturating
// at the int range). No allocation. Not reentrant: the lookup's texts live in
// the kit's result pool.
#ifndef KESTRIN_DRAWCORE_H
#define KESTRIN_DRAWCORE_H

#include <cstddef>

struct drawscale {
    float s;   // vertex scale: size / r, or 1 when size < 1
    float ts;  // generated texture coordinate scale: one repeat per radius
};

// r before the first coordinate: 0.001 as a float (bits 0x3A83126F).
const float radiusstart = 0.001f;

// r after the x, then y, then z coordinate of one vertex: each coordinate
// m = 0.5 r + 0.5 |c| (rounded to float) and r = the kit's max(r, m), so r
// only grows towards the largest coordinate (and a NaN one makes r NaN).
float radiusafter(float r, const float p[3]);

drawscale scaleof(float r, int size);

enum facenormal { normalgiven, normalcomputed, normalleft };

struct drawface {
    int corners;                 // 3 (GL_TRIANGLES) or 4 (GL_QUADS)
    const float* position[4];    // unscaled x, y, z per corner
    const float* texcoord[4];    // u, v per corner; null: generated from the position
    facenormal normal;
    const float* givennormal;    // x, y, z when normal is normalgiven
};

// One face: glBegin, the normal (a computed one is (p1 - p0) x (p2 - p0),
// not normalised), each corner's glTexCoord2f and scaled glVertex3f, glEnd.
void drawfaceof(const drawface& face, drawscale sc);

// Binds the texture of one material: the key lowerc$(prefix + name) (name
// is namelen bytes at most, ending early at a zero byte) when listed, else
// the fallback key (deftext, or prefix twice when deftext is empty). An
// empty key binds nothing, so a nameless model cannot unbind the host's
// texture; when neither key is listed the bound texture stays. dialogs: the
// caller's debug-dialog switch; answering "no" turns it off.
void bindmaterial(const char* prefix, const char* name, size_t namelen, const char* textlist,
                  const char* deftext, int& dialogs);

#endif
