// Times the viewer's own steps on one model, or the floor beside them: the
// same display list drawn by a bare window with the same pixel format and
// no toolkit.
//   bench_viewer viewer MODEL   start to first frame, list compile, frame
//                               times without pacing, the paced rate
//   bench_viewer floor MODEL    list compile and frame times, bare
// Prints "key value" lines (milliseconds, frames per second).
#include "viewer.h"

#include "gui.h"
#include "kestrin.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double seconds() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds since the process was created, from the system's own record.
double sinceprocessstart() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER a, b;
    a.LowPart = created.dwLowDateTime, a.HighPart = created.dwHighDateTime;
    b.LowPart = now.dwLowDateTime, b.HighPart = now.dwHighDateTime;
    return static_cast<double>(b.QuadPart - a.QuadPart) / 1e4;
}

double compilelist(const char* model) {
    double t = seconds();
    glNewList(1, GL_COMPILE);
    glEnable(GL_TEXTURE_2D);
    loadobjsize(model, "", "", 150);
    glDisable(GL_TEXTURE_2D);
    glEndList();
    glFinish();
    return (seconds() - t) * 1000;
}

void report(const char* key, double value) { std::printf("%s %.3f\n", key, value); }

void frametimes(void (*frame)()) {
    std::vector<double> ms;
    for (int i = 0; i < 300; ++i) {
        double t = seconds();
        frame();
        glFinish();
        ms.push_back((seconds() - t) * 1000);
    }
    double sum = 0;
    for (double m : ms) sum += m;
    std::sort(ms.begin(), ms.end());
    report("frame_mean_ms", sum / ms.size());
    report("frame_p95_ms", ms[ms.size() * 95 / 100]);
}

void viewerframeonly() {
    drawscene();
    guiswapopenGL();
}

int benchviewer(const char* model) {
    viewerstart();
    setobjectfile(model);
    viewerbuild();
    viewerframe();
    glFinish();
    report("start_to_first_frame_ms", sinceprocessstart());
    report("list_compile_ms", compilelist(model));
    frametimes(viewerframeonly);
    double t = seconds();
    for (int i = 0; i < 300; ++i) viewerframe();
    report("paced_fps", 300 / (seconds() - t));
    viewerteardown();
    return 0;
}

HDC bare = nullptr;
int barewidth = 0, bareheight = 0;

void bareframe() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -370);
    glColor3f(1, 1, 1);
    glCallList(1);
    glFlush();
    SwapBuffers(bare);
}

int benchfloor(const char* model) {
    // The viewer's graphic box size on this desktop.
    barewidth = GetSystemMetrics(SM_CXSCREEN) - 30;
    bareheight = GetSystemMetrics(SM_CYSCREEN) - 117;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "benchfloor";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "benchfloor", "floor", WS_POPUP | WS_VISIBLE, 0, 0, barewidth, bareheight,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    bare = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    SetPixelFormat(bare, ChoosePixelFormat(bare, &pfd), &pfd);
    HGLRC rc = wglCreateContext(bare);
    wglMakeCurrent(bare, rc);
    glViewport(0, 0, barewidth, bareheight);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, static_cast<double>(barewidth) / bareheight, 5.0, 50000.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearColor(0.25f, 0.4f, 1.0f, 1.0f);
    report("list_compile_ms", compilelist(model));
    frametimes(bareframe);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc);
    ReleaseDC(window, bare);
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_viewer viewer|floor MODEL\n");
        return 2;
    }
    const std::string mode = argv[1];
    int result = mode == "viewer" ? benchviewer(argv[2]) : mode == "floor" ? benchfloor(argv[2]) : 2;
    std::fflush(stdout);
    ExitProcess(static_cast<UINT>(result));
}
