// A host for kestrin.dll as the viewer is one: the library loaded by path
// and bound by export name, and a real top-level window with a current
// OpenGL context to draw into.
#ifndef TESTS_SUPPORT_GL_HOST_H
#define TESTS_SUPPORT_GL_HOST_H

#include <windows.h>
#include <GL/gl.h>

#include <string>
#include <vector>

typedef int (*kestrin_box_hook_fn)(const char* text, const char* title, unsigned type);

struct KestrinDll {
    HMODULE module = nullptr;
    int (*loadobj)(const char*, const char*, const char*) = nullptr;
    int (*loadobjsize)(const char*, const char*, const char*, int) = nullptr;
    int (*loadobj1)(const char*, const char*, const char*) = nullptr;
    int (*loadobj2)(const char*) = nullptr;
    int (*testloadobj)(const char*) = nullptr;
    kestrin_box_hook_fn (*setboxhook)(kestrin_box_hook_fn) = nullptr;

    // Loads "kestrin.dll" beside the test program; false when the library or
    // any export is missing.
    bool load();
};

// A window of `side` x `side` client pixels with a double-buffered RGBA
// context (24 colour bits, 16 depth bits) current on this thread; the
// projection shows -half..+half units on both axes, one pixel per unit when
// side == 2 * half.
class GlWindow {
public:
    explicit GlWindow(int side);
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    bool ready() const { return rc_ != nullptr; }
    int side() const { return side_; }

    // The back buffer as 0xRRGGBB values, bottom row first.
    std::vector<unsigned> read_pixels() const;

private:
    HWND hwnd_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC rc_ = nullptr;
    int side_;
};

// Window coordinates (x, y) of every vertex `draw` sends, taken from an
// OpenGL feedback buffer, so positions are exact and nothing is clipped
// within +-1000 units.
struct Point {
    float x, y;
};
std::vector<Point> feedback_vertices(void (*draw)(void* context), void* context);

#endif
