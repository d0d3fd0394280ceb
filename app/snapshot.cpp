// tolvane_snapshot.exe: the viewer's own build and frames, run from the
// working directory like the viewer, then the graphic box's last frame
// saved as "snapshot.bmp" there, and the box's screen rectangle printed.
// Wine: X screenshots of this Wine show an OpenGL child window black, so the run
// script pastes this frame over the box in its screenshot of the real
// viewer. It does not write the settings file.
#include "viewer.h"

#include "gui.h"

#include <windows.h>
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put16(FILE* f, uint16_t v) { std::fwrite(&v, 2, 1, f); }
void put32(FILE* f, uint32_t v) { std::fwrite(&v, 4, 1, f); }

// 24-bit, bottom row first, rows padded to 4 bytes: what glReadPixels gives
// with GL_BGR-ordered bytes swapped in.
bool writebmp(const char* path, int w, int h, const std::vector<unsigned char>& rgb) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    put16(f, 0x4D42);
    put32(f, 54 + row * h);
    put32(f, 0);
    put32(f, 54);
    put32(f, 40);
    put32(f, static_cast<uint32_t>(w));
    put32(f, static_cast<uint32_t>(h));
    put16(f, 1);
    put16(f, 24);
    for (int i = 0; i < 6; ++i) put32(f, 0);
    std::vector<unsigned char> line(row, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            line[x * 3] = p[2];
            line[x * 3 + 1] = p[1];
            line[x * 3 + 2] = p[0];
        }
        std::fwrite(line.data(), 1, row, f);
    }
    return std::fclose(f) == 0;
}

}  // namespace

int main() {
    viewerstart();
    viewerbuild();
    for (int i = 0; i < 20; ++i) viewerframe();
    drawscene();
    glFinish();
    const int w = viewer.graphwidth, h = viewer.graphheight;
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    RECT box = {};
    GetWindowRect(guigethandle("win.graph"), &box);
    viewerteardown();
    if (!writebmp("snapshot.bmp", w, h, rgb)) return 1;
    std::printf("%ld %ld %d %d\n", box.left, box.top, w, h);
    return 0;
}
