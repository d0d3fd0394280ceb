// The OpenGL graphic box: one program-wide binding of a window or control
// to a rendering context, and text drawn with one display list per
// character code.
#include "gui_state.h"

#include <GL/gl.h>

#include <cstring>

using guicore::state;

namespace {

const int guiglyphbase = GUI_GLYPHBASE;  // the glyph lists' range: gui_state.h
const int guiglyphlists = 257;

// Wine: font building can leave an error pending (Wine's font calls do); the
// caller's own glGetError must not see it.
void guiclearglerrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

bool guiglbound() { return state.gl.rc && wglGetCurrentContext() == state.gl.rc; }

}  // namespace

void guistartopenGL(const std::string& name) {
    HWND window = guigethandle(name);
    state.gl.window = window;
    if (!window) {
        guinotice(name + " : not found !", "guistartopenGL");
        return;
    }
    // A binding still held would be lost for good once overwritten.
    if (state.gl.rc || state.gl.dc) guistopopenGL();
    state.gl.window = window;

    state.gl.dc = GetDC(window);
    state.gl.dcwindow = window;
    state.gl.refdc = nullptr;

    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    SetPixelFormat(state.gl.dc, ChoosePixelFormat(state.gl.dc, &pfd), &pfd);

    state.gl.rc = wglCreateContext(state.gl.dc);
    wglMakeCurrent(state.gl.dc, state.gl.rc);
    guiglbmpfont();
}

void guiswapopenGL() {
    glFlush();
    if (state.gl.dc) SwapBuffers(state.gl.dc);
}

// Releases what guistartopenGL made: the glyph lists and font texture (while
// the context is still current), the context and the device context.
void guistopopenGL() {
    if (state.gl.rc) {
        if (guiglbound()) {
            glDeleteLists(guiglyphbase, guiglyphlists);
            if (state.gl.fonttexture) {
                GLuint texture = state.gl.fonttexture;
                glDeleteTextures(1, &texture);
            }
        }
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(state.gl.rc);
    }
    if (state.gl.dc) ReleaseDC(state.gl.dcwindow, state.gl.dc);
    state.gl.rc = nullptr;
    state.gl.dc = nullptr;
    state.gl.dcwindow = nullptr;
    state.gl.fonttexture = 0;
}

void guiglbmpfont() {
    if (!guiglbound()) return;
    if (state.gl.fonttexture) {
        GLuint previous = state.gl.fonttexture;
        glDeleteTextures(1, &previous);
    }
    // Dark pixels get alpha 127 and fail the alpha test; glyph pixels keep
    // the decoded alpha (0) and pass.
    state.gl.fonttexture = guiloadtexture("gui_font.bmp", 200, 127, 1);
    state.gl.listbase = guiglyphbase;

    for (int k = 0; k < 256; ++k) {
        // The picture is taken as 256 x 256 whatever its real size.
        float x = static_cast<float>(16 * (k % 16));
        float y = static_cast<float>(16 * (k / 16));
        float s0 = x / 256.0f, s1 = (x + 8.0f) / 256.0f;
        float ttop = 1.0f - y / 256.0f, tbottom = 1.0f - (y + 12.0f) / 256.0f;

        glNewList(guiglyphbase + k + 1, GL_COMPILE);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_LESS, 0.03937008f);   // 5 / 127
        glBindTexture(GL_TEXTURE_2D, state.gl.fonttexture);
        glBegin(GL_QUADS);
        glTexCoord2f(s0, tbottom);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glTexCoord2f(s1, tbottom);
        glVertex3f(0.7f, 0.0f, 0.0f);
        glTexCoord2f(s1, ttop);
        glVertex3f(0.7f, 1.0f, 0.0f);
        glTexCoord2f(s0, ttop);
        glVertex3f(0.0f, 1.0f, 0.0f);
        glEnd();
        glTranslatef(0.7f, 0.0f, 0.0f);
        glDisable(GL_ALPHA_TEST);
        glEndList();
    }
    guiclearglerrors();
}

void guiglarialfont() {
    if (!guiglbound() || !state.gl.dc) return;
    LOGFONTA description = {};
    description.lfHeight = -20;
    description.lfWeight = 400;
    std::strcpy(description.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previous = SelectObject(state.gl.dc, font);
    state.gl.listbase = guiglyphbase;
    wglUseFontOutlinesA(state.gl.dc, 0, 256, guiglyphbase, 0.0f, 0.0f, WGL_FONT_POLYGONS, nullptr);
    // A font still selected into a DC cannot be deleted.
    SelectObject(state.gl.dc, previous);
    DeleteObject(font);
    guiclearglerrors();
}

void guigltext(const std::string& text) {
    if (!wglGetCurrentContext()) return;
    char buffer[256] = {0};
    std::memcpy(buffer, text.data(), text.size() < 255 ? text.size() : 255);
    glListBase(static_cast<GLuint>(state.gl.listbase));
    glCallLists(static_cast<GLsizei>(std::strlen(buffer)), GL_UNSIGNED_BYTE, buffer);
}
