// Feeds arbitrary bytes to the OBJ drawing, through the recording OpenGL of
// the tests, in two ways:
// - as an OBJ file read by Loadobj, then drawn by drawobj (textures looked
//   up in a texture list, debug dialogs on or off) and by drawobj2;
// - as a record that a caller filled by hand (any index, any count,
//   unterminated names), drawn the same two ways. The rest of the input is
//   then a list of patches onto a zero record: u32 offset (little-endian,
//   taken modulo the record's size), u8 length, that many bytes.
// An input starting with 0x01 carries its own texture list and fallback key:
//   0x01 flags size textlist 0x00 deftext 0x00 rest
// (flags bit 0: debug dialogs, bit 1: rest is a raw record). Any other input
// is an OBJ file drawn with a fixed texture list.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kestrin.h"
#include "objtype.h"
#include "recording_gl.h"
#include "../tests/support/temp_folder.h"

namespace {

int quietbox(const char*, const char*, unsigned type) { return (type & 0xF) == 0x4 ? 6 : 1; }

const std::string& scratch() {
    // In a folder of the run's temp directory (TMPDIR), removed at exit.
    static const TempFolder folder("kestrin-objdraw-fuzz");
    static const std::string path = folder.path("model.obj");
    return path;
}

// The next NUL-terminated text of the input, or all that is left.
std::string take(const uint8_t*& p, const uint8_t* end) {
    const uint8_t* z = static_cast<const uint8_t*>(memchr(p, 0, size_t(end - p)));
    const uint8_t* stop = z ? z : end;
    std::string s(reinterpret_cast<const char*>(p), size_t(stop - p));
    p = z ? z + 1 : end;
    return s;
}

void drawboth(obj_type* obj, const std::string& textlist, const std::string& deftext) {
    clearglcalls();
    drawobj(obj, textlist.c_str(), deftext.c_str());
    clearglcalls();
    drawobj2(obj);
    clearglcalls();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t n) {
    static obj_type* obj = static_cast<obj_type*>(malloc(sizeof(obj_type)));
    kestrinsetboxhook(quietbox);

    const uint8_t* p = data;
    const uint8_t* end = data + n;
    std::string textlist = "default 7 objects\\caisse2 9 mat1 3 wood 4", deftext;
    bool raw = false;
    test = 0;
    size = 100;
    if (n >= 3 && p[0] == 0x01) {
        test = p[1] & 1;
        raw = (p[1] & 2) != 0;
        size = int(int8_t(p[2]));
        p += 3;
        textlist = take(p, end);
        deftext = take(p, end);
    }

    memset(obj, 0, sizeof(obj_type));
    if (raw) {
        unsigned char* record = reinterpret_cast<unsigned char*>(obj);
        while (end - p >= 5) {
            size_t at = (p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24) % sizeof(obj_type);
            size_t len = p[4];
            p += 5;
            len = min(min(int(len), int(end - p)), int(sizeof(obj_type) - at));
            memcpy(record + at, p, len);
            p += len;
        }
    } else {
        FILE* f = fopen(scratch().c_str(), "wb");
        if (!f) abort();
        fwrite(p, 1, size_t(end - p), f);
        fclose(f);
        Loadobj(obj, &std::string(scratch())[0]);
        unlink(scratch().c_str());  // libFuzzer may end the process without exit handlers
    }
    drawboth(obj, textlist, deftext);
    test = 0;
    return 0;
}
