// The model record: one flat, pointer-free block per model with fixed
// capacities, so reading allocates nothing per element and every OBJ index
// addresses its slot directly (slot 0 stays all zero).
#ifndef KESTRIN_OBJTYPE_H
#define KESTRIN_OBJTYPE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "kit.h"

enum {
    OBJ_MAXELEMENTS = 99999,  // last usable slot of vertex, face, texcoord, normal
    OBJ_SLOTS = 100000,
    OBJ_MAXMATERIALS = 199,   // last usable material slot
    OBJ_MATSLOTS = 200,
};

struct face_type {
    int32_t vi[4];  // vertex index per corner; vi[3] == 0 marks a triangle
    int32_t ti[4];  // texture-coordinate index per corner; 0 = none
    int32_t ni[4];  // only ni[0] is used: normal of the face; 0 = none
};

struct obj_type {
    char$ matname[OBJ_MATSLOTS];
    int32_t matstart[OBJ_MATSLOTS];
    char$ prefix;
    int32_t nvertex;
    int32_t nface;
    int32_t ntexcoord;
    int32_t nnormal;
    float vertex[OBJ_SLOTS][3];
    face_type face[OBJ_SLOTS];
    float texcoord[OBJ_SLOTS][2];
    float normal[OBJ_SLOTS][3];
};

static_assert(sizeof(face_type) == 48, "face record is three arrays of four ints");
static_assert(sizeof(obj_type) == 8052272, "hosts and files rely on the record's exact size");

// Fills a zero-filled record from an OBJ file; 1 when read, 0 when the file
// cannot be opened (after the open notice).
int Loadobj(obj_type* obj, char* filename);

// Loadobj's reading, for what is open or in memory already (the tests and
// the fuzz target reach every path through these): a stream is read in
// blocks; bytes in memory are read in place, never past data + size. Everything but the prefix is filled.
void readobj(obj_type* obj, FILE* file);
void readobj(obj_type* obj, const char* data, size_t size);

// The entry points' zero-filled record. The first call allocates it and the
// library keeps it between calls, cleared of what the last call wrote, so a
// call does not pay 8 MB of fresh page faults; when it cannot be allocated,
// a box from entry says so and the result is null. giverecord takes it back.
obj_type* takerecord(const char* entry, const char* filename);
void giverecord(obj_type* obj);

// Issue the model as immediate-mode OpenGL, one glBegin/glEnd per face.
void drawobj(obj_type* obj, const char* textlist, const char* deftext);
void drawobj2(obj_type* obj);

// Library-wide switches owned by the entry points: debug dialogs and target size.
extern int test;
extern int size;

#endif
