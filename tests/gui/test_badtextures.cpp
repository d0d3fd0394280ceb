// Textures from damaged and hostile image files through guiloadtexture, and
// the text facility without its font bitmap. Whatever jpeg.dll refuses
// shows the loader's notice and gives the 1 x 1 texture; what it decodes it
// decodes; nothing crashes, hangs or takes more memory than a 32-bit
// process has.
#include "gl_testing.h"
#include "gui_internals.h"
#include "image_writers.h"

namespace {

class BadTexture : public GlBoxTest {
protected:
    void SetUp() override {
        GlBoxTest::SetUp();
        dir = tempfolder("badtexture");
    }
    void TearDown() override {
        for (const std::string& f : files) DeleteFileA(f.c_str());
        RemoveDirectoryA(dir.c_str());
        GlBoxTest::TearDown();
    }
    std::string write(const std::string& leaf, const Bytes& bytes) {
        files.push_back(dir + "\\" + leaf);
        writetextfile(files.back(), std::string(bytes.begin(), bytes.end()));
        return files.back();
    }
    // Width and height of level 0 of the texture.
    static std::pair<int, int> sizeof_texture(unsigned texture) {
        int w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glBindTexture(GL_TEXTURE_2D, 0);
        return {w, h};
    }
    std::string dir;
    std::vector<std::string> files;
};

Image colours(int w, int h) {
    Image img;
    img.w = w;
    img.h = h;
    for (int i = 0; i < w * h; ++i)
        img.rgba.insert(img.rgba.end(), {(unsigned char)(i * 7), (unsigned char)(i * 3), 200, 255});
    return img;
}

}  // namespace

// A JPEG cut inside its scan data; a 10,000 x 10,000 PNG (1.9 MB of zeros);
// a 522 KB-class 16-bit PNG of 16384 x 4096; a 35-byte GIF with a screen of
// 16384 x 4096. All are refused by jpeg.dll, the last three from their
// headers alone.
TEST_F(BadTexture, RefusedFilesGiveTheNoticeAndATinyTexture) {
    Bytes jpg = encode_jpg(colours(64, 48), 90);
    jpg.resize(jpg.size() / 2);
    const std::string bad[] = {
        write("cut.jpg", jpg),
        write("huge.png", png_blank(10000, 10000, 8, 2, false)),
        write("wide16.png", png_blank(16384, 4096, 16, 6, false)),
        write("screen.gif", gif_screen(16384, 4096)),
    };
    for (const std::string& path : bad) {
        notices().clear();
        unsigned texture = guiloadtexture(path, 255, 127, 0);
        ASSERT_EQ(notices().size(), 1u) << path;
        EXPECT_EQ(notices()[0].title, "guiloadimage");
        EXPECT_EQ(notices()[0].text, "erreur loadimage :" + path);
        ASSERT_NE(texture, 0u) << path;
        EXPECT_EQ(sizeof_texture(texture), std::make_pair(1, 1)) << path;
        guideletetexture(texture);
    }
}

// The decoder does not check chunk CRCs (as many decoders only warn about
// them): the pixels are taken as they stand, silently.
TEST_F(BadTexture, APngWithAWrongCrcDecodesAsItStands) {
    Bytes png = encode_png(colours(8, 4), 4);
    png[32] ^= 0x5A;  // IHDR CRC: after the signature (8), length, type (8), data (13)
    unsigned texture = guiloadtexture(write("crc.png", png), 255, 127, 0);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(sizeof_texture(texture), std::make_pair(8, 4));
    EXPECT_TRUE(notices().empty());
    guideletetexture(texture);

    Bytes blank = png_blank(16, 16, 8, 0, false, true);  // wrong CRC on IDAT
    texture = guiloadtexture(write("crc2.png", blank), 255, 127, 0);
    EXPECT_EQ(sizeof_texture(texture), std::make_pair(16, 16));
    EXPECT_TRUE(notices().empty());
    guideletetexture(texture);
}

// Started from a folder without "gui_font.bmp": no message, font texture 0,
// and the 256 glyph lists are still there (binding texture 0).
TEST_F(GlBoxTest, WithoutTheFontBitmapTheGlyphListsStayWithoutATexture) {
    char previous[MAX_PATH] = {0};
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    std::string empty = tempfolder("nofont");
    ASSERT_TRUE(SetCurrentDirectoryA(empty.c_str()));
    guiglbmpfont();
    SetCurrentDirectoryA(previous);
    RemoveDirectoryA(empty.c_str());
    EXPECT_EQ(state.gl.fonttexture, 0u);
    EXPECT_TRUE(notices().empty());
    for (int code = 1; code <= 256; ++code) EXPECT_TRUE(glIsList(99000 + code)) << code;
    guigltext("text without a font picture");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
