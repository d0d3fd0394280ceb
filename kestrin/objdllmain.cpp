// kestrin.dll's entry points. Each is one-shot: a zero-filled record, read,
// draw (or show the counts), hand the record back. Nothing of the model
// survives a call; the globals test and size, the result pool and the
// reader's buffers and kept record do. No DllMain: loading and unloading
// need no work of ours.
#include <cstdlib>

#include "kestrin.h"
#include "kit.h"
#include "objtype.h"
#include "platform.h"

namespace {

// Hosts may pass null for a text they have not got.
const char* text(const char* t) { return t ? t : ""; }

int drawn(const char* entry, const char* filename, const char* textlist, const char* deftext, bool textured) {
    filename = text(filename);
    obj_type* obj = takerecord(entry, filename);
    if (!obj) return 1;  // the box has said so: nothing to draw
    Loadobj(obj, const_cast<char*>(filename));
    if (textured)
        drawobj(obj, text(textlist), text(deftext));
    else
        drawobj2(obj);
    giverecord(obj);
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
    obj_type* obj = takerecord("testloadobj", filename);
    if (!obj) return 1;
    test = 1;
    Loadobj(obj, const_cast<char*>(filename));
    char$ counts[4];
    counts[0] = str$(obj->nvertex);
    counts[1] = str$(obj->nface);
    counts[2] = str$(obj->ntexcoord);
    counts[3] = str$(obj->nnormal);
    giverecord(obj);
    kestrinbox(counts[0], "nbre vertices", KESTRIN_MB_OK);
    kestrinbox(counts[1], "nbre polygons", KESTRIN_MB_OK);
    kestrinbox(counts[2], "nbre textures", KESTRIN_MB_OK);
    kestrinbox(counts[3], "nbre normals", KESTRIN_MB_OK);
    return 1;
}

DllClass::DllClass() {}
DllClass::~DllClass() {}
