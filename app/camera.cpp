// One frame of the scene with its overlay, the keyboard camera, the help
// notice and the reset view.
#include "viewer.h"

#include "gui.h"

#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Camera values move by small steps, but a settings file may start them
// anywhere in the integer range: they stop at its ends instead of wrapping.
void addclamped(int& value, long long delta) {
    long long v = static_cast<long long>(value) + delta;
    value = static_cast<int>(std::min<long long>(INT_MAX, std::max<long long>(INT_MIN, v)));
}

int keyisdown(int key) { return viewer.keydown ? viewer.keydown(key) : guitestkey(key); }

}  // namespace

void gltextat(const std::string& text, float x, float y, float scale) {
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    const double w = viewer.graphwidth, h = viewer.graphheight;
    const double across = ((2.0 * x / w) - 1.0) * 23.7 * (w / h) * 0.7428571428571429 - 0.31;
    const double down = (1.0 - 2.0 * y / h) * 17.1 - 0.25;
    glTranslatef(static_cast<float>(across), static_cast<float>(down), -40.0f);
    glScalef(scale, scale, scale);
    guigltext(text);
    glEnable(GL_TEXTURE_2D);
}

void drawscene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, viewer.boxtexture);
    glLoadIdentity();
    glTranslatef(static_cast<float>(-viewer.dy), static_cast<float>(viewer.dz),
                 -370.0f - static_cast<float>(viewer.dx));
    glRotatef(static_cast<float>(viewer.o1), 0, 1, 0);
    glRotatef(static_cast<float>(viewer.o2), 1, 0, 0);
    glRotatef(static_cast<float>(viewer.o3), 0, 0, 1);
    glColor3f(1, 1, 1);
    glCallList(1);

    glPushMatrix();
    gltextat("fps " + std::to_string(static_cast<long long>(std::floor(viewer.fps))), 50, 30, 1.0f);
    gltextat("x=" + std::to_string(viewer.dx), 50, 50, 1.0f);
    gltextat("y=" + std::to_string(viewer.dy), 50, 70, 1.0f);
    gltextat("z=" + std::to_string(viewer.dz), 50, 90, 1.0f);
    gltextat("o1=" + std::to_string(viewer.o1), 50, 110, 1.0f);
    gltextat("o2=" + std::to_string(viewer.o2), 50, 130, 1.0f);
    gltextat("o3=" + std::to_string(viewer.o3), 50, 150, 1.0f);
    glPopMatrix();
}

std::string helptext() {
    static const char* const lines[] = {
        "If guitestkey(vk_left) Then o1+=dxyz",  "If guitestkey(vk_right) Then o1-=dxyz",
        "If guitestkey(vk_up) Then o2+=dxyz",    "If guitestkey(vk_down) Then o2-=dxyz",
        "If guitestkey(vk_prior) Then o3+=dxyz", "If guitestkey(vk_next) Then o3-=dxyz",
        "If guitestkey(vk_b) Then dx+=dxyz",     "If guitestkey(vk_n) Then dx-=dxyz",
        "If guitestkey(vk_a) Then dy+=dxyz",     "If guitestkey(vk_e) Then dy-=dxyz",
        "If guitestkey(vk_z) Then dz+=dxyz",     "If guitestkey(vk_s) Then dz-=dxyz",
    };
    std::string text = "F1 => help\r\r";
    for (const char* line : lines) text += std::string(line) + "\r";
    text.pop_back();
    return text;
}

void showhelp() { guinotice(helptext(), "notice"); }

void onreset() {
    viewer.dx = viewer.dy = viewer.dz = 0;
    viewer.o1 = 0;
    viewer.o2 = -90;
    viewer.o3 = 0;
}

void onquit() { viewer.quitflag = 1; }

void keyboardstep() {
    viewer.dxyz = 1;
    if (viewer.keycount >= 2)
        viewer.dxyz = static_cast<int>(std::nearbyint(std::max(1.1, 1.1 * viewer.speedfactor)));
    const int before = viewer.keycount;
    if (keyisdown(VK_F1)) showhelp();

    struct Key {
        int code;
        int* value;
        int sign;
    };
    const Key keys[] = {
        {VK_LEFT, &viewer.o1, +1}, {VK_RIGHT, &viewer.o1, -1}, {VK_UP, &viewer.o2, +1},
        {VK_DOWN, &viewer.o2, -1}, {VK_PRIOR, &viewer.o3, +1}, {VK_NEXT, &viewer.o3, -1},
        {'B', &viewer.dx, +1},     {'N', &viewer.dx, -1},      {'A', &viewer.dy, +1},
        {'E', &viewer.dy, -1},     {'Z', &viewer.dz, +1},      {'S', &viewer.dz, -1},
    };
    for (const Key& k : keys) {
        if (!keyisdown(k.code)) continue;
        addclamped(*k.value, static_cast<long long>(k.sign) * viewer.dxyz);
        ++viewer.keycount;
    }
    if (viewer.keycount == before) viewer.keycount = 0;
}

void wrapangles() {
    for (int* angle : {&viewer.o1, &viewer.o2, &viewer.o3}) {
        if (*angle > 360) *angle -= 360;
        if (*angle < -360) *angle += 360;
    }
}
