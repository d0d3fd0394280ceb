#include "gl_host.h"

namespace {

template <typename F>
bool bind(HMODULE m, const char* name, F& fn) {
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
    return fn != nullptr;
}

std::string exe_dir() {
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1);
}

const char* window_class() {
    static ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "kestrin_win_tests";
        return RegisterClassA(&wc);
    }();
    return atom ? "kestrin_win_tests" : nullptr;
}

}  // namespace

bool KestrinDll::load() {
    module = LoadLibraryA((exe_dir() + "kestrin.dll").c_str());
    if (!module) return false;
    bool all = bind(module, "loadobj", loadobj);
    all = bind(module, "loadobjsize", loadobjsize) && all;
    all = bind(module, "loadobj1", loadobj1) && all;
    all = bind(module, "loadobj2", loadobj2) && all;
    all = bind(module, "testloadobj", testloadobj) && all;
    all = bind(module, "kestrinsetboxhook", setboxhook) && all;
    return all;
}

GlWindow::GlWindow(int side) : side_(side) {
    const char* cls = window_class();
    if (!cls) return;
    RECT r = {0, 0, side, side};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    hwnd_ = CreateWindowExA(0, cls, "kestrin host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return;
    dc_ = GetDC(hwnd_);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(dc_, &pfd);
    if (!format || !SetPixelFormat(dc_, format, &pfd)) return;
    HGLRC rc = wglCreateContext(dc_);
    if (!rc) return;
    if (!wglMakeCurrent(dc_, rc)) {
        wglDeleteContext(rc);
        return;
    }
    rc_ = rc;
    glViewport(0, 0, side, side);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-side / 2.0, side / 2.0, -side / 2.0, side / 2.0, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
}

GlWindow::~GlWindow() {
    if (rc_) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(rc_);
    }
    if (dc_) ReleaseDC(hwnd_, dc_);
    if (hwnd_) DestroyWindow(hwnd_);
}

std::vector<unsigned> GlWindow::read_pixels() const {
    std::vector<unsigned char> rgba(size_t(side_) * side_ * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, side_, side_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned> out(size_t(side_) * side_);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = (unsigned(rgba[i * 4]) << 16) | (rgba[i * 4 + 1] << 8) | rgba[i * 4 + 2];
    return out;
}

std::vector<Point> feedback_vertices(void (*draw)(void* context), void* context) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-1000, 1000, -1000, 1000, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    // 2000 window units over 2000 units of space: window x = x + 1000.
    glViewport(0, 0, 2000, 2000);

    std::vector<GLfloat> buf(1 << 16);
    glFeedbackBuffer(GLsizei(buf.size()), GL_2D, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw(context);
    GLint used = glRenderMode(GL_RENDER);

    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    std::vector<Point> pts;
    for (GLint i = 0; i < used;) {
        GLint token = GLint(buf[i++]);
        if (token == GL_POLYGON_TOKEN) {
            GLint n = GLint(buf[i++]);
            for (GLint k = 0; k < n && i + 1 < used; ++k, i += 2) pts.push_back({buf[i] - 1000, buf[i + 1] - 1000});
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                   token == GL_COPY_PIXEL_TOKEN) {
            i += 2;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 4;
        } else {
            i += 1;  // pass-through value
        }
    }
    return pts;
}
