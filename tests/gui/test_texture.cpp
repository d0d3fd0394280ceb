// Textures and pictures from image files: keying, the size limits, the row
// order, bad files, and pictures written into raster images.
#include "gl_testing.h"

#include <stb_image_write.h>

namespace {

struct Texels {
    int w = 0, h = 0;
    std::vector<uint32_t> px;   // 0xAARRGGBB, the row at t = 0 first
};

Texels texels(unsigned int texture) {
    Texels out;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &out.w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &out.h);
    out.px.resize(static_cast<size_t>(out.w) * out.h);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, out.px.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return out;
}

class TextureTest : public GlBoxTest {
protected:
    void SetUp() override {
        GlBoxTest::SetUp();
        dir = tempfolder("texture");
    }
    void TearDown() override {
        for (const std::string& f : files) DeleteFileA(f.c_str());
        RemoveDirectoryA(dir.c_str());
        GlBoxTest::TearDown();
    }
    std::string file(const std::string& leaf) {
        files.push_back(dir + "\\" + leaf);
        return files.back();
    }
    std::string dir;
    std::vector<std::string> files;
};

}  // namespace

TEST_F(TextureTest, KeyingGivesAlphaByBrightnessThresholdAndMode) {
    // Brightness 599, 600, 601 and 0 against the limit 3 * 200 = 600.
    std::string path = writebmp24(file("key.bmp"), 4, 1, {0xC8C8C7, 0xC8C8C8, 0xC8C8C9, 0x000000});
    struct Case { int threshold, alpha, mode; uint32_t alphas[4]; } cases[] = {
        {200, 127, 1, {127, 0, 0, 127}},   // darker than the limit
        {200, 383, 1, {127, 0, 0, 127}},   // only the low byte of alpha counts
        {200, 127, 7, {127, 0, 0, 127}},   // any mode but 0 keys darker pixels
        {200, 127, 0, {0, 0, 127, 0}},     // brighter than the limit
        {255, 127, 1, {0, 0, 0, 0}},       // no keying at all
    };
    for (const Case& c : cases) {
        unsigned int texture = guiloadtexture(path, c.threshold, c.alpha, c.mode);
        ASSERT_NE(texture, 0u);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        Texels t = texels(texture);
        ASSERT_EQ(t.w, 4);
        ASSERT_EQ(t.h, 1);
        const uint32_t rgb[4] = {0xC8C8C7, 0xC8C8C8, 0xC8C8C9, 0};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(t.px[i], c.alphas[i] << 24 | rgb[i]) << c.threshold << "/" << c.mode << " " << i;
        guideletetexture(texture);
        EXPECT_FALSE(glIsTexture(texture));
    }
    guideletetexture(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(notices().empty());
}

TEST_F(TextureTest, TheImageBottomEdgeIsTZeroAndTheCallersBindingStays) {
    std::string path = writebmp24(file("rows.bmp"), 2, 2, {0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00});
    GLuint callers = 0;
    glGenTextures(1, &callers);
    glBindTexture(GL_TEXTURE_2D, callers);
    unsigned int texture = guiloadtexture(path, 255, 127, 0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), callers);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &callers);
    Texels t = texels(texture);
    ASSERT_EQ(t.px.size(), 4u);
    EXPECT_EQ(t.px[0], 0x0000FF00u);   // t = 0: the bottom row, green
    EXPECT_EQ(t.px[2], 0x00FF0000u);   // t = 1: the top row, red
    guideletetexture(texture);
}

// 9000 x 3000: the probe stops at 8000 x 2000, so the texture is the
// top-left part. Its upper half red, its lower half green, all beyond it
// blue; quality 100 keeps JPEG blocks of 8 from blending across the edges,
// which fall on block bounds.
TEST_F(TextureTest, AnOversizedImageGivesItsTopLeft8000By2000) {
    const int w = 9000, h = 3000;
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            bool inside = x < 8000 && y < 2000;
            p[0] = inside && y < 1000 ? 255 : 0;
            p[1] = inside && y >= 1000 ? 255 : 0;
            p[2] = inside ? 0 : 255;
        }
    std::string path = file("huge.jpg");
    ASSERT_NE(stbi_write_jpg(path.c_str(), w, h, 3, rgb.data(), 100), 0);
    rgb.clear();
    rgb.shrink_to_fit();

    unsigned int texture = guiloadtexture(path, 255, 127, 0);
    ASSERT_NE(texture, 0u);
    Texels t = texels(texture);
    guideletetexture(texture);
    // GLU scales to powers of two near 8000 x 2000.
    EXPECT_GE(t.w, 4096);
    EXPECT_LE(t.w, 8192);
    EXPECT_GE(t.h, 1024);
    EXPECT_LE(t.h, 2048);
    int blue = 0;
    for (uint32_t p : t.px) blue += (p & 0xFF) > 64;
    EXPECT_EQ(blue, 0);
    for (int x = 0; x < t.w; x += t.w / 16) {
        EXPECT_GT((t.px[x] >> 8) & 0xFF, 200u) << "t = 0 is the cut's bottom edge, green";
        EXPECT_GT((t.px[static_cast<size_t>(t.h - 1) * t.w + x] >> 16) & 0xFF, 200u) << "t = 1 is red";
    }
}

TEST_F(TextureTest, BadFilesGiveNothingOrANoticeAndATinyTexture) {
    EXPECT_EQ(guiloadtexture(dir + "\\missing.bmp", 255, 127, 0), 0u);
    EXPECT_TRUE(notices().empty());

    std::string empty = file("empty.bmp");
    writetextfile(empty, "");
    std::string whole = writebmp24(file("whole.bmp"), 4, 4, std::vector<uint32_t>(16, 0xFFFFFF));
    std::string truncated = file("truncated.bmp");
    {
        FILE* in = std::fopen(whole.c_str(), "rb");
        std::vector<char> bytes(60);
        size_t got = std::fread(bytes.data(), 1, bytes.size(), in);
        std::fclose(in);
        writetextfile(truncated, std::string(bytes.data(), got));
    }
    std::string zero = writebmp24(file("zero.bmp"), 0, 0, {});

    for (const std::string& bad : {empty, truncated, zero}) {
        notices().clear();
        unsigned int texture = guiloadtexture(bad, 200, 127, 1);
        ASSERT_EQ(notices().size(), 1u) << bad;
        EXPECT_EQ(notices()[0].title, "guiloadimage");
        EXPECT_EQ(notices()[0].text, "erreur loadimage :" + bad);
        ASSERT_NE(texture, 0u) << bad;
        Texels t = texels(texture);
        EXPECT_EQ(t.w, 1);
        EXPECT_EQ(t.h, 1);
        guideletetexture(texture);
    }
}

TEST_F(TextureTest, PutimageWritesThePictureUprightWithItsColourKey) {
    const uint32_t fill = 0xFF123456u;
    // Red, white, blue over red, black, green.
    std::string path = writebmp24(file("put.bmp"), 3, 2, {0xFF0000, 0xFFFFFF, 0x0000FF, 0xFF0000, 0x000000, 0x00FF00});
    GuiImage* image = guiimagecreate(4, 3, fill);

    EXPECT_EQ(guiputimage(image, path, 0x00FF0000, 0xFF00FF00u, 1), 0);
    const int64_t keyed[3][4] = {{0xFF00FF00, 0x00FFFFFF, 0x000000FF, fill},
                                 {0xFF00FF00, 0x00000000, 0x0000FF00, fill},
                                 {fill, fill, fill, fill}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(guigetpixel(image, x, y), keyed[y][x]) << x << "," << y;

    // Mode 0: brighter than 3 * 200 only, the white pixel.
    guiputimage(image, path, 200, 0xFFABCDEFu, 0);
    EXPECT_EQ(guigetpixel(image, 1, 0), 0xFFABCDEF);
    EXPECT_EQ(guigetpixel(image, 0, 0), 0x00FF0000);
    EXPECT_EQ(guigetpixel(image, 2, 1), 0x0000FF00);

    // A null target is the off-screen surface.
    guiputimage(nullptr, path, 255, 0, 0);
    EXPECT_EQ(guigetpixel(nullptr, 2, 0), 0x000000FF);
    EXPECT_EQ(guiputimage(image, dir + "\\missing.bmp", 255, 0, 0), 0);
    EXPECT_TRUE(notices().empty());
    guiimagefree(image);
}

TEST_F(TextureTest, StretchimageCoversTheWholeTarget) {
    std::string path = writebmp24(file("small.bmp"), 100, 50, std::vector<uint32_t>(5000, 0x336699));
    GuiImage* image = guiimagecreate(400, 300, 0xFF000000u);
    int w = 0, h = 0;
    guibuffersize(image, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    guistretchimage(image, path, 255, 0, 0);
    int covered = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) covered += guigetpixel(image, x, y) == 0x00336699;
    EXPECT_EQ(covered, 400 * 300);
    guiimagefree(image);
}
