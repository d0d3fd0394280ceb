// kestrin.dll in a real window's OpenGL context under Wine: what the viewer
// gets from loadobjsize, what a missing file does, and the message boxes of
// testloadobj.
#include "gl_host.h"
#include "temp_folder.h"
#include "modal_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Box {
    std::string text, title;
    unsigned type;
};
std::vector<Box> boxes;
int yesno_answer = IDNO;

int record_box(const char* text, const char* title, unsigned type) {
    boxes.push_back({text ? text : "", title ? title : "", type});
    return (type & 0xF) == MB_YESNO ? yesno_answer : IDOK;
}

// A right triangle with legs of 10 units along +x and +y.
const char kTriangle[] = "v 0 0 0\nv 10 0 0\nv 0 10 0\nf 1 2 3\n";
// The same shape three times larger.
const char kBigTriangle[] = "v 0 0 0\nv 30 0 0\nv 0 30 0\nf 1 2 3\n";

class KestrinHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dll.load()) << "kestrin.dll or one of its exports is missing";
        ASSERT_TRUE(window.ready()) << "no OpenGL context";
        boxes.clear();
        dll.setboxhook(record_box);
        glClearColor(0.0f, 0.0f, 0.5f, 1.0f);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
    }
    void TearDown() override {
        if (dll.setboxhook) dll.setboxhook(nullptr);
    }

    // Clears, draws display list 1 in yellow and reads the frame back.
    std::vector<unsigned> draw_list() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        clear_colour = window.read_pixels()[0];
        glColor3f(1.0f, 1.0f, 0.0f);
        glCallList(1);
        return window.read_pixels();
    }
    // Pixel at (x, y) units from the centre.
    unsigned at(const std::vector<unsigned>& px, int x, int y) const {
        return px[size_t(y + kHalf) * window.side() + (x + kHalf)];
    }

    static constexpr int kHalf = 150;
    static constexpr unsigned kYellow = 0xFFFF00;
    KestrinDll dll;
    GlWindow window{2 * kHalf};
    TempFolder files{"kestrin_win"};
    unsigned clear_colour = 0;
};

TEST_F(KestrinHost, LoadobjsizeCompilesTheModelScaledTo150IntoTheHostsList) {
    std::string path = files.write("tri.obj", kTriangle);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);

    glNewList(1, GL_COMPILE);
    EXPECT_EQ(dll.loadobjsize(path.c_str(), "", "", 150), 1);
    glEndList();
    // A list opened or closed by the library would make this glEndList fail.
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(boxes.empty());

    std::vector<unsigned> px = draw_list();
    ASSERT_NE(clear_colour, kYellow);
    // Scaled about twenty times: the legs reach about 200 units, past the
    // edges of the view; unscaled they would end at 10.
    for (auto [x, y] : {std::pair{2, 2}, {20, 20}, {60, 60}, {140, 5}, {5, 140}, {97, 97}})
        EXPECT_EQ(at(px, x, y), kYellow) << "inside at " << x << "," << y;
    for (auto [x, y] : {std::pair{-2, -2}, {-20, 20}, {20, -20}, {-100, -100}, {103, 103}, {140, 70}})
        EXPECT_EQ(at(px, x, y), clear_colour) << "outside at " << x << "," << y;

    // With an empty texture list nothing was bound over the host's texture.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture);
    glDeleteTextures(1, &texture);
    glDeleteLists(1, 1);
}

TEST_F(KestrinHost, MissingFileShowsTheOpenNoticeAndDrawsNothing) {
    std::string path = files.path("absent.obj");
    glNewList(1, GL_COMPILE);
    EXPECT_EQ(dll.loadobjsize(path.c_str(), "", "", 150), 1);
    glEndList();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "error open file \r" + path);
    EXPECT_EQ(boxes[0].title, "notice");
    EXPECT_EQ(boxes[0].type & 0xF, unsigned(MB_OK));

    std::vector<unsigned> px = draw_list();
    EXPECT_EQ(std::count(px.begin(), px.end(), clear_colour), std::ptrdiff_t(px.size()));
    glDeleteLists(1, 1);
}

TEST_F(KestrinHost, EveryExportReturnsOne) {
    std::string model = files.write("tri.obj", kTriangle);
    std::string absent = files.path("absent.obj");
    for (const std::string& path : {model, absent}) {
        const char* p = path.c_str();
        EXPECT_EQ(dll.loadobjsize(p, "", "", 150), 1) << p;
        EXPECT_EQ(dll.loadobj(p, "", ""), 1) << p;
        EXPECT_EQ(dll.loadobj1(p, "", ""), 1) << p;
        EXPECT_EQ(dll.loadobj2(p), 1) << p;
        EXPECT_EQ(dll.testloadobj(p), 1) << p;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// loadobj2 ignores the file's texture coordinates but draws the same faces.
TEST_F(KestrinHost, Loadobj2AndLoadobjDrawTheSamePixels) {
    std::string path = files.write("tri.obj", "vt 0.5 0.5\n" + std::string(kTriangle) + "f 1/1 3/1 2/1\n");
    dll.loadobjsize(path.c_str(), "", "", 150);  // sets the size both use
    glNewList(1, GL_COMPILE);
    dll.loadobj(path.c_str(), "", "");
    glEndList();
    std::vector<unsigned> first = draw_list();
    glNewList(1, GL_COMPILE);
    dll.loadobj2(path.c_str());
    glEndList();
    std::vector<unsigned> second = draw_list();
    EXPECT_EQ(at(first, 20, 20), kYellow);
    EXPECT_TRUE(first == second);
    EXPECT_TRUE(boxes.empty());
    glDeleteLists(1, 1);
}

struct Call {
    KestrinDll* dll;
    std::string path;
    int size;  // -1: loadobj, else loadobjsize with that size
};

void run_call(void* context) {
    auto* c = static_cast<Call*>(context);
    if (c->size < 0)
        c->dll->loadobj(c->path.c_str(), "", "");
    else
        c->dll->loadobjsize(c->path.c_str(), "", "", c->size);
}

// Largest extent along x of the vertices one call draws.
float x_extent(KestrinDll& dll, const std::string& path, int size) {
    Call c{&dll, path, size};
    std::vector<Point> pts = feedback_vertices(run_call, &c);
    if (pts.empty()) return -1;
    float lo = pts[0].x, hi = pts[0].x;
    for (const Point& p : pts) {
        lo = std::min(lo, p.x);
        hi = std::max(hi, p.x);
    }
    return hi - lo;
}

TEST_F(KestrinHost, LoadobjKeepsTheSizeLastGivenToLoadobjsize) {
    std::string small = files.write("small.obj", kTriangle);
    std::string big = files.write("big.obj", kBigTriangle);

    float sized = x_extent(dll, small, 150);
    EXPECT_NEAR(sized, 200.0f, 0.1f);  // radius estimate of 7.5 scaled to 150
    // A model three times larger comes out the same size.
    EXPECT_NEAR(x_extent(dll, big, -1), sized, 0.05f);

    // Size 0: file coordinates, and loadobj keeps that too.
    EXPECT_NEAR(x_extent(dll, small, 0), 10.0f, 0.01f);
    EXPECT_NEAR(x_extent(dll, big, -1), 30.0f, 0.01f);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(KestrinHost, Loadobj1ShowsItsDebugDialogs) {
    std::string path = files.write("tri.obj", kTriangle);
    yesno_answer = IDNO;  // "no" switches the dialogs off for the rest
    EXPECT_EQ(dll.loadobj1(path.c_str(), "", ""), 1);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "prefix$=tri");
    EXPECT_EQ(boxes[0].title, "notice");
    EXPECT_EQ(boxes[1].text, "usef$= textlist$=");
    EXPECT_EQ(boxes[2].text, "usef$=tri/textlist$=");
    EXPECT_EQ(boxes[2].title, "confirm");
    EXPECT_EQ(boxes[2].type & 0xF, unsigned(MB_YESNO));
}

// With the hook cleared the boxes are real message boxes, answered here by
// the watcher thread as a user would.
TEST_F(KestrinHost, TestloadobjShowsItsCountsInRealBoxes) {
    std::string path = files.write("counts.obj",
                                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
                                   "vt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n"
                                   "f 1/1/1 2/2/1 3/3/1\nf 2 4 3\n");
    dll.setboxhook(nullptr);
    std::vector<SeenBox> seen;
    {
        ModalWatcher watcher;
        EXPECT_EQ(dll.testloadobj(path.c_str()), 1);
        seen = watcher.seen();
    }
    const char* titles[] = {"notice", "nbre vertices", "nbre polygons", "nbre textures", "nbre normals"};
    const char* texts[] = {"prefix$=counts", "4", "2", "3", "1"};
    ASSERT_EQ(seen.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(seen[i].title, titles[i]) << "box " << i;
        EXPECT_EQ(seen[i].text, texts[i]) << "box " << i;
    }
}

TEST_F(KestrinHost, TestloadobjOnAMissingFileCountsZero) {
    std::string path = files.path("absent.obj");
    EXPECT_EQ(dll.testloadobj(path.c_str()), 1);
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[0].text, "prefix$=absent");
    EXPECT_EQ(boxes[1].text, "error open file \r" + path);
    const char* titles[] = {"nbre vertices", "nbre polygons", "nbre textures", "nbre normals"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes[2 + i].title, titles[i]);
        EXPECT_EQ(boxes[2 + i].text, "0");
        EXPECT_EQ(boxes[2 + i].type & 0xF, unsigned(MB_OK));
    }
}

}  // namespace
