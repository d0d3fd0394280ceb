// Stand-ins for what kestrin talks to: the OpenGL entry points the drawing
// uses and the message-box hook. Each call is recorded so a test can check
// exactly what a model turned into and which boxes were shown.
#ifndef TESTS_KESTRIN_RECORDING_GL_H
#define TESTS_KESTRIN_RECORDING_GL_H

#include <string>
#include <vector>

struct GlCall {
    enum Kind { Begin, End, Normal, TexCoord, Vertex, BindTexture } kind;
    unsigned mode;  // glBegin's mode, glBindTexture's target
    unsigned name;  // glBindTexture's texture
    float v[3];     // the float arguments, unused ones zero
};

// Every call since the last clear, in order.
std::vector<GlCall>& glcalls();
void clearglcalls();

// One letter per call, e.g. "BNTVTVTVE" for a triangle; X for a binding.
std::string glshape();

struct SeenBox {
    std::string text, title;
    unsigned type;
};

// Installs itself as kestrin's box hook for its lifetime. Boxes are answered
// from answer() in order, then with IDYES for Yes/No boxes and IDOK else.
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    void answer(int button) { answers.push_back(button); }
    std::vector<SeenBox> boxes;
    std::vector<int> answers;

private:
    static int hook(const char* text, const char* title, unsigned type);
    int (*previous_)(const char*, const char*, unsigned);
    BoxRecorder* outer_;
};

#endif
