// All of kestrin's Win32 calls.
#include <io.h>
#include <windows.h>

#include <cstdint>

#include "platform.h"

// No owner window: the library knows nothing of the host's windows.
int kestrinsystembox(const char* text, const char* title, unsigned type) {
    return MessageBoxA(nullptr, text, title, type);
}

void kestrinsleep(int ms) { Sleep(DWORD(ms)); }

const char* kestrinmapfile(FILE* file, size_t* size) {
    intptr_t osf = _get_osfhandle(_fileno(file));
    if (osf == -1) return nullptr;
    HANDLE h = reinterpret_cast<HANDLE>(osf);
    LARGE_INTEGER n;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &n) || n.QuadPart <= 0) return nullptr;
    if (uint64_t(n.QuadPart) > SIZE_MAX) return nullptr;
    HANDLE mapping = CreateFileMappingA(h, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);  // the view keeps the mapping alive
    if (!view) return nullptr;
    *size = size_t(n.QuadPart);
    return static_cast<const char*>(view);
}

void kestrinunmapfile(const char* view, size_t) {
    if (view) UnmapViewOfFile(view);
}
