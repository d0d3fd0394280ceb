// Counts of the process's live GDI objects and of its windows, for tests
// that check a cycle leaves nothing behind.
#ifndef TESTS_SUPPORT_GUI_RESOURCES_H
#define TESTS_SUPPORT_GUI_RESOURCES_H

#include <windows.h>

#include <cstdint>

// Wine: GetGuiResources answers 0; its GDI handle table then shows every
// live object at its index (a handle's high word may be left 0).
inline int gdiobjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(n);
    int n = 0;
    for (uintptr_t index = 1; index < 65536; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++n;
    return n;
}

inline int userobjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<int>(n);
    struct Counter {
        static BOOL CALLBACK child(HWND, LPARAM count) {
            ++*reinterpret_cast<int*>(count);
            return TRUE;
        }
        static BOOL CALLBACK top(HWND window, LPARAM count) {
            ++*reinterpret_cast<int*>(count);
            EnumChildWindows(window, child, count);
            return TRUE;
        }
    };
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), Counter::top, reinterpret_cast<LPARAM>(&n));
    return n;
}

#endif
