// kestrin.dll as a host sees it: five one-shot entry points that read an OBJ
// file and draw it with OpenGL into the caller's current rendering context
// (or show its counts), the exported DllClass, and the hook through which
// every message box of the library goes.
//
// All entry points return 1. Text arguments are only read. Not reentrant:
// call from the thread whose OpenGL context is current.
#ifndef KESTRIN_KESTRIN_H
#define KESTRIN_KESTRIN_H

#if defined(_WIN32)
#if defined(KESTRIN_BUILDING_DLL)
#define KESTRIN_API __declspec(dllexport)
#else
#define KESTRIN_API __declspec(dllimport)
#endif
#else
#define KESTRIN_API
#endif

// Shows one message box (MessageBoxA's type flags) and returns the button
// pressed (IDOK, IDYES, ...).
typedef int (*kestrin_box_hook)(const char* text, const char* title, unsigned type);

extern "C" {

// Draws the model scaled to the size last given to loadobjsize; textures
// from textlist ("name id name id ..."), deftext as the fallback key.
KESTRIN_API int loadobj(const char* filename, const char* textlist, const char* deftext);
// As loadobj, and sets the target size first (below 1: file coordinates).
KESTRIN_API int loadobjsize(const char* filename, const char* textlist, const char* deftext, int size);
// As loadobj with the debug dialogs on.
KESTRIN_API int loadobj1(const char* filename, const char* textlist, const char* deftext);
// No texture binding; every texture coordinate generated from the position.
KESTRIN_API int loadobj2(const char* filename);
// Reads the file and shows its four counts in message boxes.
KESTRIN_API int testloadobj(const char* filename);

// Replaces the box hook; returns the previous one. Null restores the
// default (a real message box on Windows, stderr elsewhere).
KESTRIN_API kestrin_box_hook kestrinsetboxhook(kestrin_box_hook hook);
}

class KESTRIN_API DllClass {
public:
    DllClass();
    virtual ~DllClass();
};

#endif
