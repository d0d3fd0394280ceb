// harlith.dll as the viewer uses it, in a real window's OpenGL context under
// Wine: a cube compiled into the host's display list and read back as
// pixels, the open notice through the box hook; and the bundled default
// figure as the viewer's default camera sees it.
#include "gl_host.h"
#include "temp_folder.h"
#include "writer3ds.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Box {
    std::string text, title;
    unsigned type;
};
std::vector<Box> boxes;

int record_box(const char* text, const char* title, unsigned type) {
    boxes.push_back({text ? text : "", title ? title : "", type});
    return IDOK;
}

std::string exe_dir() {
    char path[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1);
}

struct HarlithDll {
    HMODULE module = nullptr;
    int (*load3DSsize)(const char*, const char*, const char*, int) = nullptr;
    kestrin_box_hook_fn (*setboxhook)(kestrin_box_hook_fn) = nullptr;
    bool load() {
        module = LoadLibraryA((exe_dir() + "harlith.dll").c_str());
        if (!module) return false;
        load3DSsize = reinterpret_cast<decltype(load3DSsize)>(
            reinterpret_cast<void*>(GetProcAddress(module, "load3DSsize")));
        setboxhook = reinterpret_cast<decltype(setboxhook)>(
            reinterpret_cast<void*>(GetProcAddress(module, "harlithsetboxhook")));
        return load3DSsize && setboxhook;
    }
};

class HarlithHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dll.load()) << "harlith.dll or one of its exports is missing";
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
    // Compiles list 1 as the viewer does: texture bound, the call inside.
    void compile(const std::string& path, GLuint texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glNewList(1, GL_COMPILE);
        EXPECT_EQ(dll.load3DSsize(path.c_str(), "", "", 100), 1);
        glEndList();
        // A list opened or closed by the library would make glEndList fail.
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    std::vector<unsigned> draw_list() {
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1.0f, 1.0f, 0.0f);
        glCallList(1);
        return window.read_pixels();
    }
    unsigned at(const std::vector<unsigned>& px, int x, int y) const {
        return px[size_t(y + kHalf) * window.side() + (x + kHalf)];
    }

    static constexpr int kHalf = 150;
    HarlithDll dll;
    GlWindow window{2 * kHalf};
    TempFolder files{"harlith_win"};
};

TEST_F(HarlithHost, ACubeScaledTo100FillsItsSquareInTheHostsList) {
    std::string path = files.write("cube.3ds", file3ds(meshobject(cube(2.5f))));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    compile(path, texture);
    EXPECT_TRUE(boxes.empty());
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture) << "no texture listed, so none may be bound";

    std::vector<unsigned> px = draw_list();
    for (int x : {-95, 0, 95})
        for (int y : {-95, 0, 95}) EXPECT_EQ(at(px, x, y), 0xFFFF00u) << x << "," << y;
    for (int x : {-105, 105}) {
        EXPECT_EQ(at(px, x, 0), 0x000080u) << x;
        EXPECT_EQ(at(px, 0, x), 0x000080u) << x;
    }
    glDeleteTextures(1, &texture);
}

TEST_F(HarlithHost, AMissingFileShowsOneNoticeAndLeavesTheListEmpty) {
    std::string path = files.path("missing.3ds");
    compile(path, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "notice");
    EXPECT_EQ(boxes[0].text, "error open file \r" + path);
    EXPECT_EQ(boxes[0].type, unsigned(MB_OK | MB_ICONINFORMATION));
    std::vector<unsigned> px = draw_list();
    EXPECT_EQ(at(px, 0, 0), 0x000080u);
}

// The default model beside the program, through kestrin.dll as the viewer
// loads it, seen with the viewer's projection and camera at their defaults:
// a tall, narrow figure wholly inside the view.
TEST(BundledFiles, TheDefaultFigureStandsWhollyInsideTheDefaultView) {
    KestrinDll kestrin;
    ASSERT_TRUE(kestrin.load());
    std::string model = exe_dir() + "objects\\myfemale70_grp.obj";
    ASSERT_NE(GetFileAttributesA(model.c_str()), INVALID_FILE_ATTRIBUTES) << "not beside the tests: " << model;
    const int side = 300;
    GlWindow window(side);
    ASSERT_TRUE(window.ready());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 5.0, 50000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -370);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
    EXPECT_EQ(kestrin.loadobjsize(model.c_str(), "", "", 150), 1);
    std::vector<unsigned> px = window.read_pixels();

    int top = -1, bottom = side, left = side, right = -1;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (px[size_t(y) * side + x] != 0) {
                top = std::max(top, y), bottom = std::min(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    ASSERT_GE(top, 0) << "nothing drawn";
    EXPECT_GT(bottom, 0) << "feet cut off";
    EXPECT_LT(top, side - 1) << "head cut off";
    EXPECT_GT(top - bottom, side * 85 / 100) << "not tall enough to fill the view";
    EXPECT_LT(right - left, (top - bottom) / 2) << "not a standing figure's proportions";
    EXPECT_NEAR((left + right) / 2.0, side / 2.0, side * 0.05) << "not centred";
}

}  // namespace
