// kestrin.dll's entry points. Each is one-shot: a fresh zero-filled record,
// read, draw (or show the counts), release. Nothing survives a call but the
// globals test and size and the result pool. No DllMain: loading and
// unloading need no work.
#include <cstdlib>

#include "kestrin.h"
#include "kit.h"
#include "objtype.h"
#include "platform.h"

namespace {

// Nothing may unwind out of the DLL into a host that knows no C++: a
// failure anywhere below (memory, chiefly) ends in the entry's notice and
// its usual result.
void outofmemory(const char* entry, const char* filename) {
    kestrinbox(strc$("not enough memory to read the model\r", filename), entry, KESTRIN_MB_OK | KESTRIN_MB_ICONERROR);
}

// The record is 8 MB; in a crowded 32-bit host it may not be available.
// Then the call says so and draws nothing instead of crashing.
obj_type* newrecord(const char* entry, const char* filename) {
    obj_type* obj = static_cast<obj_type*>(calloc(1, sizeof(obj_type)));
    if (!obj) outofmemory(entry, filename);
    return obj;
}

// Hosts may pass null for a text they have not got.
const char* text(const char* t) { return t ? t : ""; }

int drawn(const char* entry, const char* filename, const char* textlist, const char* deftext, bool textured) {
    filename = text(filename);
    obj_type* obj = newrecord(entry, filename);
    if (!obj) return 1;
    try {
        Loadobj(obj, const_cast<char*>(filename));
        if (textured)
            drawobj(obj, text(textlist), text(deftext));
        else
            drawobj2(obj);
    } catch (...) {
        outofmemory(entry, filename);
    }
    free(obj);
    return 1;
}

}  // namespace

int loadobj(const char* filename, const char* textlist, const char* deftext) {
    test = 0;
    return drawn("loadobj", filename, textlist, deftext, true);
}

int loadobjsize(const char* filename, const char* textlist, const char* deftext, int newsize) {
    test = 0;
    size = newsize;
    return drawn("loadobjsize", filename, textlist, deftext, true);
}

int loadobj1(const char* filename, const char* textlist, const char* deftext) {
    test = 1;
    return drawn("loadobj1", filename, textlist, deftext, true);
}

int loadobj2(const char* filename) {
    test = 0;
    return drawn("loadobj2", filename, nullptr, nullptr, false);
}

int testloadobj(const char* filename) {
    filename = text(filename);
    obj_type* obj = newrecord("testloadobj", filename);
    if (!obj) return 1;
    test = 1;
    try {
        Loadobj(obj, const_cast<char*>(filename));
    } catch (...) {
        free(obj);
        outofmemory("testloadobj", filename);
        return 1;
    }
    char$ counts[4];
    counts[0] = str$(obj->nvertex);
    counts[1] = str$(obj->nface);
    counts[2] = str$(obj->ntexcoord);
    counts[3] = str$(obj->nnormal);
    free(obj);
    kestrinbox(counts[0], "nbre vertices", KESTRIN_MB_OK);
    kestrinbox(counts[1], "nbre polygons", KESTRIN_MB_OK);
    kestrinbox(counts[2], "nbre textures", KESTRIN_MB_OK);
    kestrinbox(counts[3], "nbre normals", KESTRIN_MB_OK);
    return 1;
}

DllClass::DllClass() {}
DllClass::~DllClass() {}
