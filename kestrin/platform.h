// The little kestrin (and harlith, which links the same layer) needs from
// the operating system. Everything else of the libraries is portable;
// boxhook.cpp, platform_win32.cpp and platform_posix.cpp implement this.
#ifndef KESTRIN_PLATFORM_H
#define KESTRIN_PLATFORM_H

#include <cstddef>
#include <cstdio>

#include "kestrin.h"

// MessageBoxA's values, fixed by the Win32 ABI.
enum {
    KESTRIN_MB_OK = 0x0,
    KESTRIN_MB_YESNO = 0x4,
    KESTRIN_MB_ICONERROR = 0x10,
    KESTRIN_MB_ICONINFORMATION = 0x40,
    KESTRIN_IDOK = 1,
    KESTRIN_IDCANCEL = 2,
    KESTRIN_IDYES = 6,
    KESTRIN_IDNO = 7,
};

// Every message box goes through here, and so through the hook that
// kestrinswapboxhook sets (boxhook.cpp). The layer is a static library, so
// each DLL linking it has a hook of its own, set through its own export
// (kestrinsetboxhook, harlithsetboxhook).
int kestrinbox(const char* text, const char* title, unsigned type);

// Replaces the hook and returns the previous one; null restores the real box.
kestrin_box_hook kestrinswapboxhook(kestrin_box_hook hook);

// The real box: MessageBoxA on Windows, stderr elsewhere. The hook's default.
int kestrinsystembox(const char* text, const char* title, unsigned type);

void kestrinsleep(int ms);

// A read-only view of the whole of a file just opened with open, so that a
// reader can scan it in place instead of copying it. Null when the file
// cannot be mapped (empty, not a regular file, too large, no memory): then
// read it as usual. The view ends exactly at the file's end.
const char* kestrinmapfile(FILE* file, size_t* size);
void kestrinunmapfile(const char* view, size_t size);

#endif
