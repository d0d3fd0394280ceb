// Without a desktop a box is written to stderr and answered as if the user
// had agreed, so tools and tests run unattended.
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform.h"

namespace {

int stderrbox(const char* text, const char* title, unsigned type) {
    fprintf(stderr, "[%s] %s\n", title, text);
    return (type & 0xF) == KESTRIN_MB_YESNO ? KESTRIN_IDYES : KESTRIN_IDOK;
}

kestrin_box_hook boxhook = stderrbox;

}  // namespace

kestrin_box_hook kestrinsetboxhook(kestrin_box_hook hook) {
    kestrin_box_hook previous = boxhook;
    boxhook = hook ? hook : stderrbox;
    return previous;
}

int kestrinbox(const char* text, const char* title, unsigned type) { return boxhook(text, title, type); }

void kestrinsleep(int ms) {
    timespec t;
    t.tv_sec = ms / 1000;
    t.tv_nsec = long(ms % 1000) * 1000000L;
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}
