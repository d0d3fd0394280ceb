#include "recording_gl.h"

#include <GL/gl.h>

#include "kestrin.h"
#include "platform.h"

namespace {

void record(GlCall::Kind kind, unsigned mode, unsigned name, float a, float b, float c) {
    GlCall call{kind, mode, name, {a, b, c}};
    glcalls().push_back(call);
}

}  // namespace

std::vector<GlCall>& glcalls() {
    static std::vector<GlCall> calls;
    return calls;
}

void clearglcalls() { glcalls().clear(); }

std::string glshape() {
    std::string s;
    for (const GlCall& c : glcalls()) s += "BENTVX"[c.kind];
    return s;
}

namespace {
BoxRecorder* current = nullptr;
}

BoxRecorder::BoxRecorder() : outer_(current) {
    current = this;
    previous_ = kestrinsetboxhook(hook);
}

BoxRecorder::~BoxRecorder() {
    kestrinsetboxhook(previous_);
    current = outer_;
}

int BoxRecorder::hook(const char* text, const char* title, unsigned type) {
    current->boxes.push_back(SeenBox{text, title, type});
    if (!current->answers.empty()) {
        int button = current->answers.front();
        current->answers.erase(current->answers.begin());
        return button;
    }
    return (type & 0xF) == KESTRIN_MB_YESNO ? KESTRIN_IDYES : KESTRIN_IDOK;
}

extern "C" {

void glBegin(GLenum mode) { record(GlCall::Begin, mode, 0, 0, 0, 0); }
void glEnd() { record(GlCall::End, 0, 0, 0, 0, 0); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { record(GlCall::Normal, 0, 0, x, y, z); }
void glTexCoord2f(GLfloat s, GLfloat t) { record(GlCall::TexCoord, 0, 0, s, t, 0); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record(GlCall::Vertex, 0, 0, x, y, z); }
void glBindTexture(GLenum target, GLuint texture) { record(GlCall::BindTexture, target, texture, 0, 0, 0); }
}
