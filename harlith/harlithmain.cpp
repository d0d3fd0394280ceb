// harlith.dll's entry points. load3DSsize reads the whole file (mapped, or
// into one buffer when it cannot be mapped), finds the meshes in one pass
// and draws them; nothing survives the call. No DllMain: loading and
// unloading need no work.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "harlith.h"
#include "model3ds.h"
#include "platform.h"

namespace {

// Hosts may pass null for a text they have not got.
const char* text(const char* t) { return t ? t : ""; }

// The texture-key prefix, as kestrin derives it: the name after the last
// backslash, without its last four characters, up to its first blank.
void prefixof(const char* filename, char out[256]) {
    const char* base = strrchr(filename, '\\');
    base = base ? base + 1 : filename;
    size_t n = strlen(base);
    n = n > 4 ? n - 4 : 0;
    while (n > 0 && *base == ' ') ++base, --n;
    size_t word = 0;
    while (word < n && word < 255 && base[word] != ' ') ++word;
    memcpy(out, base, word);
    out[word] = 0;
}

// The file's bytes when it cannot be mapped (empty, a pipe): read to its
// end into one growing buffer. Null with size 0 when nothing could be read.
unsigned char* readall(FILE* file, size_t* size) {
    size_t used = 0, room = 0;
    unsigned char* data = nullptr;
    for (;;) {
        if (used == room) {
            size_t grown = room ? room * 2 : 1 << 16;
            unsigned char* more = grown > room ? static_cast<unsigned char*>(realloc(data, grown)) : nullptr;
            if (!more) break;  // keep what was read
            data = more;
            room = grown;
        }
        size_t got = fread(data + used, 1, room - used, file);
        used += got;
        if (got == 0) break;
    }
    *size = used;
    return data;
}

}  // namespace

int load3DSsize(const char* filename, const char* textlist, const char* deftext, int size) {
    filename = text(filename);
    FILE* file = fopen(filename, "rb");
    if (!file) {
        // kestrin's open message, cut to its 255 characters.
        char message[256];
        snprintf(message, sizeof message, "error open file \r%s", filename);
        kestrinbox(message, "notice", KESTRIN_MB_OK | KESTRIN_MB_ICONINFORMATION);
        return 1;
    }
    size_t length = 0;
    const char* view = kestrinmapfile(file, &length);
    unsigned char* copy = nullptr;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(view);
    if (!view) data = copy = readall(file, &length);

    char prefix[256];
    prefixof(filename, prefix);
    // Nothing may unwind out of the DLL into a host that knows no C++; the
    // reader drops what it has no memory for, so this is a last guard.
    try {
        model3ds model;
        if (data) read3ds(data, length, model);
        draw3ds(model, size, prefix, text(textlist), text(deftext));
    } catch (...) {
        char message[256];
        snprintf(message, sizeof message, "not enough memory to read the model\r%s", filename);
        kestrinbox(message, "load3DSsize", KESTRIN_MB_OK | KESTRIN_MB_ICONERROR);
    }

    if (view) kestrinunmapfile(view, length);
    free(copy);
    fclose(file);
    return 1;
}

harlith_box_hook harlithsetboxhook(harlith_box_hook hook) { return kestrinswapboxhook(hook); }
