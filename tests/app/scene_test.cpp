// The viewer's real build and frame steps under Wine: the window and its
// OpenGL box, the model in display list 1 from either library, its
// textures, the overlay, read back from the frame's pixels.
#include "viewer.h"

#include "gui.h"
#include "modal_watcher.h"
#include "temp_folder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

std::vector<std::string> notices;
int recordnotice(const char* text, const char* title, unsigned) {
    notices.push_back(std::string(title) + ": " + text);
    return IDOK;
}

std::string programfolder() {
    char path[MAX_PATH + 1] = {0};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full = path;
    return full.substr(0, full.find_last_of("\\/"));
}

struct Pixel {
    int r, g, b;
};

// The clear colour (0.25, 0.4, 1.0) as the frame buffer holds it.
bool isclear(const Pixel& p) { return std::abs(p.r - 64) <= 2 && std::abs(p.g - 102) <= 2 && p.b >= 253; }

class ViewerScene : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = workingdirectory();
        SetCurrentDirectoryA(programfolder().c_str());
        guistartup();
        guisetnoticehook(recordnotice);
        notices.clear();
        viewer = ViewerState();
        viewer.startdir = workingdirectory();
        dir_ = folder_.dir();
    }
    void TearDown() override {
        if (built_) viewerteardown();
        guiinit();
        guisetnoticehook(nullptr);
        for (const std::string& f : files_) DeleteFileA(f.c_str());
        RemoveDirectoryA(dir_.c_str());
        SetCurrentDirectoryA(old_.c_str());
    }

    std::string file(const std::string& name) {
        files_.push_back(dir_ + "\\" + name);
        return files_.back();
    }
    std::string writefile(const std::string& name, const std::string& bytes) {
        std::string path = file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // A solid picture in the format the name's extension says.
    std::string writepicture(const std::string& name, unsigned char r, unsigned char g, unsigned char b) {
        std::vector<unsigned char> rgb(32 * 32 * 3);
        for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = r, rgb[i + 1] = g, rgb[i + 2] = b;
        std::string path = file(name);
        if (name.substr(name.size() - 3) == "bmp")
            stbi_write_bmp(path.c_str(), 32, 32, 3, rgb.data());
        else
            stbi_write_jpg(path.c_str(), 32, 32, 3, rgb.data(), 95);
        return path;
    }

    void build(const std::string& model) {
        setobjectfile(model);
        viewerbuild();
        built_ = true;
    }

    // One drawn frame, bottom row first, as glReadPixels gives it.
    std::vector<Pixel> frame() {
        drawscene();
        glFinish();
        const int w = viewer.graphwidth, h = viewer.graphheight;
        std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<Pixel> px(static_cast<size_t>(w) * h);
        for (size_t i = 0; i < px.size(); ++i) px[i] = {rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]};
        return px;
    }
    // x, y from the top-left corner of the box, as the overlay counts them.
    Pixel at(const std::vector<Pixel>& px, int x, int y) {
        return px[static_cast<size_t>(viewer.graphheight - 1 - y) * viewer.graphwidth + x];
    }
    // Pixels that are not the clear colour in a rectangle from the top left.
    int drawn(const std::vector<Pixel>& px, int x0, int y0, int w, int h) {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) n += !isclear(at(px, x, y));
        return n;
    }
    int centre(const std::vector<Pixel>& px) {
        return drawn(px, viewer.graphwidth / 2 - 50, viewer.graphheight / 2 - 50, 100, 100);
    }
    std::string title() {
        char text[512] = {0};
        GetWindowTextA(guigethandle("win"), text, sizeof text);
        return text;
    }

    TempFolder folder_{"tolvane_scene"};
    std::string old_, dir_;
    std::vector<std::string> files_;
    bool built_ = false;
};

// A square of 200 units facing the camera, with texture coordinates.
const char* const squareobj =
    "v -100 -100 0\nv 100 -100 0\nv 100 100 0\nv -100 100 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3\nf 1/1 3/3 4/4\n";

TEST_F(ViewerScene, DefaultModelIsDrawnUnlitAndLitWithTheOverlayAndTheTitle) {
    build("");
    EXPECT_EQ(title(), "tolvane        objects/myfemale70_grp.obj");
    std::vector<Pixel> px = frame();
    EXPECT_GT(centre(px), 2000) << "the figure covers the middle of the box";
    EXPECT_GT(drawn(px, 0, 0, 200, 170), 100) << "the overlay's seven lines";
    EXPECT_TRUE(notices.empty());

    viewerteardown();
    guiinit();
    viewer.lightmode = 1;
    viewerbuild();
    px = frame();
    EXPECT_GT(centre(px), 2000);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(ViewerScene, AnUnreadableModelPathFallsBackToTheDefaultModel) {
    build(dir_ + "\\missing.obj");
    EXPECT_STREQ(viewer.objectfile, "objects/myfemale70_grp.obj");
    EXPECT_EQ(title(), "tolvane        objects/myfemale70_grp.obj");
}

TEST_F(ViewerScene, AnUnknownExtensionLoadsNoModelButTheOverlayStays) {
    std::string path = writefile("square.xyz", squareobj);
    build(path);
    EXPECT_EQ(title(), "tolvane        " + path);
    std::vector<Pixel> px = frame();
    EXPECT_EQ(centre(px), 0);
    EXPECT_GT(drawn(px, 0, 0, 200, 170), 100);
    EXPECT_EQ(drawn(px, viewer.graphwidth - 300, viewer.graphheight - 300, 300, 300), 0);
}

TEST_F(ViewerScene, TheModelsOwnPictureReplacesTheDefaultTextureAndABmpWins) {
    std::string path = writefile("square.OBJ", squareobj);   // capitals still select the OBJ library
    writepicture("square.jpg", 255, 0, 0);
    build(path);
    Pixel p = at(frame(), viewer.graphwidth / 2, viewer.graphheight / 2);
    EXPECT_GT(p.r, 200);
    EXPECT_LT(p.g, 60);

    viewerteardown();
    guiinit();
    writepicture("square.bmp", 0, 255, 0);
    viewerbuild();
    p = at(frame(), viewer.graphwidth / 2, viewer.graphheight / 2);
    EXPECT_LT(p.r, 60);
    EXPECT_GT(p.g, 200);
}

// A cube of 200 units in the 3DS chunk layout: main, editor, object, mesh,
// vertices, faces.
std::string chunk(uint16_t id, const std::string& body) {
    uint32_t length = static_cast<uint32_t>(body.size() + 6);
    std::string out(6, '\0');
    std::memcpy(&out[0], &id, 2);
    std::memcpy(&out[2], &length, 4);
    return out + body;
}
template <typename T>
void put(std::string& s, T v) {
    s.append(reinterpret_cast<const char*>(&v), sizeof v);
}
std::string cube3ds() {
    std::string vertices, faces;
    put<uint16_t>(vertices, 8);
    for (int i = 0; i < 8; ++i) {
        put<float>(vertices, i & 1 ? 100.f : -100.f);
        put<float>(vertices, i & 2 ? 100.f : -100.f);
        put<float>(vertices, i & 4 ? 100.f : -100.f);
    }
    const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    put<uint16_t>(faces, 12);
    for (const auto& q : quads) {
        for (uint16_t v : {q[0], q[1], q[2], uint16_t(0), q[0], q[2], q[3], uint16_t(0)}) put<uint16_t>(faces, v);
    }
    std::string mesh = chunk(0x4100, chunk(0x4110, vertices) + chunk(0x4120, faces));
    return chunk(0x4D4D, chunk(0x3D3D, chunk(0x4000, std::string("cube", 5) + mesh)));
}

TEST_F(ViewerScene, A3dsFileIsDrawnThroughItsLibrary) {
    std::string path = writefile("cube.3DS", cube3ds());
    build(path);
    EXPECT_EQ(title(), "tolvane        " + path);
    EXPECT_GT(centre(frame()), 9000);
}

TEST_F(ViewerScene, BadModelFilesLoadWhatIsValidOrNothingAndNeverStopTheViewer) {
    // A folder is not a readable file: the default model takes its place.
    std::string folder = file("folder.obj");
    CreateDirectoryA(folder.c_str(), nullptr);
    build(folder);
    EXPECT_STREQ(viewer.objectfile, "objects/myfemale70_grp.obj");
    EXPECT_GT(centre(frame()), 2000) << "the figure in the middle of the box";
    RemoveDirectoryA(folder.c_str());
    files_.pop_back();

    // Each file's valid part, the square or the cube, fills the middle of
    // the box; a file with none leaves it clear.
    std::string cube = cube3ds();
    const struct {
        std::string name, bytes;
        bool model;
    } cases[] = {
        {"empty.obj", "", false},
        {"mod\xe8le.obj", squareobj, true},   // a byte above 127 in the name
        {"hostile.obj",
         std::string(squareobj) + "v 1 2 3\nv nan inf -0\nf 1 2 99999999\nf -7 0 2147483648\nf 1/-3/9 2//5 3\n", true},
        {"cut.3ds", cube.substr(0, cube.size() / 2), false},   // ends inside the vertex list, before any face
        {"lying.3ds", cube.substr(0, 2) + std::string("\xff\xff\xff\x7f", 4) + cube.substr(6), true},
    };
    for (const auto& c : cases) {
        viewerteardown();
        guiinit();
        std::string path = writefile(c.name, c.bytes);
        setobjectfile(path);
        viewerbuild();
        EXPECT_EQ(title(), "tolvane        " + path);
        std::vector<Pixel> px = frame();
        EXPECT_GT(drawn(px, 0, 0, 200, 170), 100) << c.name << ": the overlay";
        if (c.model)
            EXPECT_GT(centre(px), 9000) << c.name << ": the valid part drawn";
        else
            EXPECT_EQ(centre(px), 0) << c.name << ": nothing drawn";
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(ViewerScene, TheCameraMovesTheModel) {
    std::string path = writefile("square.obj", squareobj);
    build(path);
    EXPECT_GT(centre(frame()), 9000);
    viewer.dy = 2000;   // far to the left: the middle is empty
    EXPECT_EQ(centre(frame()), 0);
    viewer.dy = 0;
    viewer.o1 = 90;   // edge on
    EXPECT_LT(centre(frame()), 300);
}

TEST_F(ViewerScene, TheComboAndTheFileDialogAskForARebuild) {
    build("");
    guicomboselect("win.combo", 1);
    oncombo();
    EXPECT_EQ(viewer.lightmode, 1);
    EXPECT_EQ(viewer.quitflag, 1);
    EXPECT_EQ(viewer.reloadflag, 1);

    // Cancelled: the model stays, the rebuild is asked for all the same.
    viewer.quitflag = viewer.reloadflag = 0;
    const std::string before = viewer.objectfile;
    {
        ModalWatcher watcher;
        watcher.answer(IDCANCEL);
        onselectfile();
        ASSERT_EQ(watcher.seen().size(), 1u);
        EXPECT_EQ(watcher.seen()[0].title, "select object");
    }
    EXPECT_EQ(viewer.objectfile, before);
    EXPECT_EQ(viewer.quitflag, 1);
    EXPECT_EQ(viewer.reloadflag, 1);
    EXPECT_EQ(workingdirectory(), viewer.startdir);
}

}  // namespace
