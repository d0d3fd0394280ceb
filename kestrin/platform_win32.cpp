// All of kestrin's Win32 calls.
#include <windows.h>

#include "platform.h"

namespace {

// No owner window: the library knows nothing of the host's windows.
int messagebox(const char* text, const char* title, unsigned type) { return MessageBoxA(nullptr, text, title, type); }

kestrin_box_hook boxhook = messagebox;

}  // namespace

kestrin_box_hook kestrinsetboxhook(kestrin_box_hook hook) {
    kestrin_box_hook previous = boxhook;
    boxhook = hook ? hook : messagebox;
    return previous;
}

int kestrinbox(const char* text, const char* title, unsigned type) { return boxhook(text, title, type); }

void kestrinsleep(int ms) { Sleep(DWORD(ms)); }
