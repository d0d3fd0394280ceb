// Immediate-mode shape helpers for the bound OpenGL context. They draw at
// the current transformation with the current colour, material and
// texture, and change nothing else (apart from the current normal and
// texture coordinate, which keep the last values given).
#include "gui_graphics.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

// Each quadric helper owns its quadric for the length of one call.
template <typename Draw>
void guiwithquadric(bool textured, Draw draw) {
    GLUquadric* quadric = gluNewQuadric();
    if (!quadric) return;
    if (textured) gluQuadricTexture(quadric, GL_TRUE);
    draw(quadric);
    gluDeleteQuadric(quadric);
}

void guivertex(float s, float t, float x, float y, float z) {
    glTexCoord2f(s, t);
    glVertex3f(x, y, z);
}

}  // namespace

void guiglsphere(double radius, int slices, int stacks) {
    guiwithquadric(false, [&](GLUquadric* q) { gluSphere(q, radius, slices, stacks); });
}

void guiglspheretex(double radius, int slices, int stacks) {
    guiwithquadric(true, [&](GLUquadric* q) { gluSphere(q, radius, slices, stacks); });
}

void guiglcylinder(double base, double top, double height, int slices, int stacks) {
    guiwithquadric(false, [&](GLUquadric* q) { gluCylinder(q, base, top, height, slices, stacks); });
}

void guiglcylindertex(double base, double top, double height, int slices, int stacks) {
    guiwithquadric(true, [&](GLUquadric* q) { gluCylinder(q, base, top, height, slices, stacks); });
}

void guigldisk(double inner, double outer, int slices, int loops) {
    glNormal3d(0, 0, 1);
    guiwithquadric(false, [&](GLUquadric* q) { gluDisk(q, inner, outer, slices, loops); });
}

void guigldisktex(double inner, double outer, int slices, int loops) {
    glNormal3d(0, 0, 1);
    guiwithquadric(true, [&](GLUquadric* q) { gluDisk(q, inner, outer, slices, loops); });
}

// The angles come before the counts here; GLU takes the counts first.
void guiglpartialdisk(double inner, double outer, double start, double sweep, int slices, int loops) {
    glNormal3d(0, 0, 1);
    guiwithquadric(false, [&](GLUquadric* q) { gluPartialDisk(q, inner, outer, slices, loops, start, sweep); });
}

void guiglpartialdisktex(double inner, double outer, double start, double sweep, int slices, int loops) {
    glNormal3d(0, 0, 1);
    guiwithquadric(true, [&](GLUquadric* q) { gluPartialDisk(q, inner, outer, slices, loops, start, sweep); });
}

void guiglsquare(float a) {
    glBegin(GL_QUADS);
    glVertex3f(-a, -a, 0);
    glVertex3f(a, -a, 0);
    glVertex3f(a, a, 0);
    glVertex3f(-a, a, 0);
    glEnd();
}

void guiglsquareyz(float a) {
    glBegin(GL_QUADS);
    glVertex3f(0, -a, -a);
    glVertex3f(0, a, -a);
    glVertex3f(0, a, a);
    glVertex3f(0, -a, a);
    glEnd();
}

void guiglsquaretex(float a, float t) {
    glBegin(GL_QUADS);
    guivertex(0, 0, -a, -a, 0);
    guivertex(t, 0, a, -a, 0);
    guivertex(t, t, a, a, 0);
    guivertex(0, t, -a, a, 0);
    glEnd();
}

// Half sizes are rounded to float once and negated exactly, so opposite
// edges of a shape meet those of its neighbours without cracks.
void guiglwall(float w, float h, float t) {
    float half = 0.5f * w;
    glBegin(GL_QUADS);
    guivertex(0, 0, 0, -half, 0);
    guivertex(t, 0, 0, half, 0);
    guivertex(t, t, 0, half, h);
    guivertex(0, t, 0, -half, h);
    glEnd();
}

// 3.1416, not pi: walls laid out with this factor stay where they were.
void guiglwallangle(float w, float h, float angle, float t) {
    float r = angle * 3.1416f / 180.0f;
    float s = w * 0.5f * std::sin(r);
    float c = w * 0.5f * std::cos(r);
    glBegin(GL_QUADS);
    guivertex(0, 0, -s, -c, 0);
    guivertex(t, 0, s, c, 0);
    guivertex(t, t, s, c, h);
    guivertex(0, t, -s, -c, h);
    glEnd();
}

void guiglrectyz(float w, float d, float t) {
    float hw = 0.5f * w, hd = 0.5f * d;
    glBegin(GL_QUADS);
    guivertex(0, 0, 0, -hw, -hd);
    guivertex(t, 0, 0, hw, -hd);
    guivertex(t, t, 0, hw, hd);
    guivertex(0, t, 0, -hw, hd);
    glEnd();
}

// The top edge stops at 0.995 t, so a texture's top rows, which filtering
// would blend with the wrapped-around bottom rows, stay hidden.
void guiglrectxy(float w, float d, float t) {
    float hw = 0.5f * w, hd = 0.5f * d;
    float top = static_cast<float>(0.995 * t);
    glBegin(GL_QUADS);
    guivertex(0, 0, -hw, -hd, 0);
    guivertex(t, 0, hw, -hd, 0);
    guivertex(t, top, hw, hd, 0);
    guivertex(0, top, -hw, hd, 0);
    glEnd();
}

void guiglrectxyturned(float w, float d, float t) {
    float hw = 0.5f * w, hd = 0.5f * d;
    glBegin(GL_QUADS);
    guivertex(t, 0, -hw, -hd, 0);
    guivertex(t, t, hw, -hd, 0);
    guivertex(0, t, hw, hd, 0);
    guivertex(0, 0, -hw, hd, 0);
    glEnd();
}

void guiglquadtex(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3, float z3,
                  float x4, float y4, float z4, float s, float t) {
    glBegin(GL_QUADS);
    guivertex(0, 0, x1, y1, z1);
    guivertex(s, 0, x2, y2, z2);
    guivertex(s, t, x3, y3, z3);
    guivertex(0, t, x4, y4, z4);
    glEnd();
}

void guigltriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3, float z3) {
    glBegin(GL_TRIANGLES);
    glVertex3f(x1, y1, z1);
    glVertex3f(x2, y2, z2);
    glVertex3f(x3, y3, z3);
    glEnd();
}

void guigltriangletex(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                      float z3) {
    glBegin(GL_TRIANGLES);
    guivertex(0, 0, x1, y1, z1);
    guivertex(2, 4, x2, y2, z2);
    guivertex(4, 0, x3, y3, z3);
    glEnd();
}

void guiglline(float x1, float y1, float z1, float x2, float y2, float z2) {
    glBegin(GL_LINES);
    glVertex3f(x1, y1, z1);
    glVertex3f(x2, y2, z2);
    glEnd();
}

float* guiglvector(float a, float b, float c, float d) {
    static float values[4];
    values[0] = a;
    values[1] = b;
    values[2] = c;
    values[3] = d;
    return values;
}

float* guiglvector2(float a, float b, float c, float d) {
    static float values[4];
    values[0] = a;
    values[1] = b;
    values[2] = c;
    values[3] = d;
    return values;
}
