// Times turning one 3DS file into geometry, best of 10 runs each: harlith's
// load3DSsize (read and draw) against lib3ds_file_load followed by the same
// drawing from lib3ds's structures. Both issue their triangles into the
// same counting OpenGL stand-ins and must agree on what they sent.
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "harlith.h"

namespace {

struct Sink {
    long faces = 0, corners = 0;
    double sum = 0;  // keeps the calls from being optimised away
} sink;

double now_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// lib3ds's reading drawn the way harlith draws: radius estimate, scale,
// face normal, file or generated texture coordinates.
void drawlib3ds(const char* path) {
    Lib3dsFile* file = lib3ds_file_load(path);
    if (!file) return;
    float r = 0.001f;
    for (Lib3dsMesh* m = file->meshes; m; m = m->next)
        for (unsigned i = 0; i < m->points; ++i)
            for (int c = 0; c < 3; ++c) {
                float a = m->pointL[i].pos[c];
                float half = float(0.5 * double(r) + 0.5 * double(a < 0 ? -a : a));
                r = std::max(r, half);
            }
    float s = float(150.0 / double(r)), ts = 1.0f / r;
    for (Lib3dsMesh* m = file->meshes; m; m = m->next)
        for (unsigned f = 0; f < m->faces; ++f) {
            const unsigned short* k = m->faceL[f].points;
            if (k[0] >= m->points || k[1] >= m->points || k[2] >= m->points) continue;
            const float *p0 = m->pointL[k[0]].pos, *p1 = m->pointL[k[1]].pos, *p2 = m->pointL[k[2]].pos;
            glBegin(GL_TRIANGLES);
            float ax = p1[0] - p0[0], ay = p1[1] - p0[1], az = p1[2] - p0[2];
            float bx = p2[0] - p0[0], by = p2[1] - p0[1], bz = p2[2] - p0[2];
            glNormal3f(ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx);
            for (int j = 0; j < 3; ++j) {
                const float* p = m->pointL[k[j]].pos;
                if (k[j] < m->texels)
                    glTexCoord2f(m->texelL[k[j]][0], m->texelL[k[j]][1]);
                else
                    glTexCoord2f(p[0] * ts, p[1] * ts);
                glVertex3f(p[0] * s, p[1] * s, p[2] * s);
            }
            glEnd();
        }
    lib3ds_file_free(file);
}

template <class Run>
double best(Run run, Sink& result) {
    double fastest = 1e300;
    for (int i = 0; i < 10; ++i) {
        sink = Sink();
        double t0 = now_ms();
        run();
        fastest = std::min(fastest, now_ms() - t0);
        result = sink;
    }
    return fastest;
}

}  // namespace

extern "C" {
void glBegin(GLenum) { ++sink.faces; }
void glEnd() {}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { sink.sum += x + y + z; }
void glTexCoord2f(GLfloat s, GLfloat t) { sink.sum += s + t; }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { ++sink.corners, sink.sum += x + y + z; }
void glBindTexture(GLenum, GLuint) {}
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s FILE.3ds\n", argv[0]);
        return 2;
    }
    const char* path = argv[1];
    Sink ours, theirs;
    double t_ours = best([&] { load3DSsize(path, "", "", 150); }, ours);
    double t_theirs = best([&] { drawlib3ds(path); }, theirs);
    printf("harlith load3DSsize   %8.2f ms  %ld faces\n", t_ours, ours.faces);
    printf("lib3ds load + draw    %8.2f ms  %ld faces  (%.1fx harlith's time)\n", t_theirs, theirs.faces,
           t_theirs / t_ours);
    if (ours.faces != theirs.faces || ours.corners != theirs.corners || ours.faces == 0) {
        fprintf(stderr, "the two readings disagree: %ld/%ld faces, %ld/%ld corners\n", ours.faces, theirs.faces,
                ours.corners, theirs.corners);
        return 1;
    }
    return 0;
}
