// The box hook seam of the platform layer: every message box of a library
// passes here, so a host (a test) may record the boxes instead of showing them.
#include "platform.h"

namespace {
kestrin_box_hook boxhook = kestrinsystembox;
}

kestrin_box_hook kestrinswapboxhook(kestrin_box_hook hook) {
    kestrin_box_hook previous = boxhook;
    boxhook = hook ? hook : kestrinsystembox;
    return previous;
}

int kestrinbox(const char* text, const char* title, unsigned type) { return boxhook(text, title, type); }
