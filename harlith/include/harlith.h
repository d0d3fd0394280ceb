// harlith.dll as a host sees it: one entry point that reads a 3DS file and
// draws it with OpenGL into the caller's current rendering context, plus the
// hook through which its one message box goes.
//
// load3DSsize keeps the call contract of kestrin's loadobjsize: the model's
// triangles are issued during the call (one glBegin/glEnd per face, with a
// face normal), scaled so that the same radius estimate becomes `size`
// (below 1: file coordinates); no display list is opened or closed and no
// state changes besides the current normal, texture coordinate and, when a
// material's key is found in textlist ("name id name id ..."), the bound
// texture. Returns 1 in every case. Text arguments are only read. Not
// reentrant: call from the thread whose OpenGL context is current.
#ifndef HARLITH_HARLITH_H
#define HARLITH_HARLITH_H

#if defined(_WIN32)
#if defined(HARLITH_BUILDING_DLL)
#define HARLITH_API __declspec(dllexport)
#else
#define HARLITH_API __declspec(dllimport)
#endif
#define HARLITH_CALL __cdecl
#else
#define HARLITH_API
#define HARLITH_CALL
#endif

// Shows one message box (MessageBoxA's type flags) and returns the button
// pressed (IDOK, ...).
typedef int (*harlith_box_hook)(const char* text, const char* title, unsigned type);

#ifdef __cplusplus
extern "C" {
#endif

HARLITH_API int HARLITH_CALL load3DSsize(const char* filename, const char* textlist, const char* deftext, int size);

// Replaces the box hook; returns the previous one. Null restores the
// default (a real message box on Windows, stderr elsewhere).
HARLITH_API harlith_box_hook HARLITH_CALL harlithsetboxhook(harlith_box_hook hook);

#ifdef __cplusplus
}
#endif

#endif
