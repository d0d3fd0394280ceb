// Pieces of the OpenGL tests: a toolkit window whose graphic box holds the
// program's OpenGL binding, pixels read back in-process (Wine: a GL
// child window never shows in X screenshots), and vertices captured with
// OpenGL feedback.
#ifndef TESTS_GUI_GL_TESTING_H
#define TESTS_GUI_GL_TESTING_H

#include "gui_resources.h"
#include "gui_testing.h"

#include <GL/gl.h>

#include <cstdio>
#include <vector>

// A window "gl" with a graphic box "gl.box" of kBoxSide pixels bound by
// guistartopenGL; the projection maps one unit to one pixel, origin at
// the bottom-left corner.
// A 24-bit bottom-up BMP of w x h pixels given as 0xRRGGBB, top row first.
inline std::string writebmp24(const std::string& path, int w, int h, const std::vector<uint32_t>& rgb) {
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * h;
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::vector<unsigned char> rows(static_cast<size_t>(stride) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = rgb[static_cast<size_t>(h - 1 - y) * w + x];
            unsigned char* p = &rows[static_cast<size_t>(y) * stride + x * 3];
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(rows.data(), rows.size(), 1, f);
    std::fclose(f);
    return path;
}

inline void writetextfile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

class GlBoxTest : public GuiTest {
protected:
    static const int kBoxSide = 64;

    void SetUp() override {
        GuiTest::SetUp();
        guigraphicbox("gl.box", 0, 0, kBoxSide, kBoxSide, "opengl", 0);
        guiopenwindow("gl", "gl", 0, 0, 200, 200, WS_OVERLAPPEDWINDOW, 0);
        guistartopenGL("gl.box");
        ASSERT_NE(wglGetCurrentContext(), nullptr);
        pixelview();
    }
    void TearDown() override {
        guistopopenGL();
        GuiTest::TearDown();
    }

    static void pixelview() {
        glViewport(0, 0, kBoxSide, kBoxSide);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kBoxSide, 0, kBoxSide, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

// The back buffer as 0xRRGGBB, bottom row first.
inline std::vector<unsigned> readpixels(int side) {
    std::vector<unsigned char> rgba(static_cast<size_t>(side) * side * 4);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned> out(static_cast<size_t>(side) * side);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = (unsigned(rgba[i * 4]) << 16) | (unsigned(rgba[i * 4 + 1]) << 8) | rgba[i * 4 + 2];
    return out;
}

// One vertex as OpenGL feedback reports it: window coordinates (with
// feedback()'s view, x and y are the object's own) and texture s, t.
struct FedVertex {
    float x, y, z, s, t;
};
typedef std::vector<FedVertex> FedPrimitive;

// Captures what `draw` sends, one entry per polygon, line or point. The
// projection scales by a power of two and the viewport is centred on the
// window origin, so x and y come back bit for bit (within +-64 units).
template <typename Draw>
std::vector<FedPrimitive> feedback(Draw draw) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-64, 64, -64, 64, -64, 64);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(-64, -64, 128, 128);

    std::vector<GLfloat> buf(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buf.size()), GL_3D_COLOR_TEXTURE, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint used = glRenderMode(GL_RENDER);

    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    // A vertex is 3 coordinates, 4 colour components, 4 texture coordinates.
    const GLint stride = 11;
    std::vector<FedPrimitive> out;
    for (GLint i = 0; i < used;) {
        GLint token = static_cast<GLint>(buf[i++]);
        GLint count = token == GL_POLYGON_TOKEN ? static_cast<GLint>(buf[i++])
                      : token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN ? 2
                      : token == GL_PASS_THROUGH_TOKEN ? (++i, 0)
                                                       : 1;
        FedPrimitive p;
        for (GLint k = 0; k < count && i + stride <= used; ++k, i += stride)
            p.push_back({buf[i], buf[i + 1], buf[i + 2], buf[i + 7], buf[i + 8]});
        out.push_back(p);
    }
    return out;
}

#endif
