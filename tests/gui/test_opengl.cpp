// The OpenGL graphic box: binding by name, text from the font bitmap and
// from Arial outlines, and a life cycle that leaves nothing behind.
#include "gl_testing.h"

#include <string>

namespace {

// Cell `cell` of "gui_font.bmp" (24-bit, bottom-up): its 8 x 12 glyph
// pixels, top row first, true where light.
std::vector<bool> fontcell(int cell) {
    std::vector<bool> lit;
    FILE* f = std::fopen("gui_font.bmp", "rb");
    if (!f) return lit;
    std::vector<unsigned char> bytes(54 + 256 * 256 * 3);
    size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (got != bytes.size()) return lit;
    int left = 16 * (cell % 16), top = 16 * (cell / 16);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 8; ++x) {
            size_t at = 54 + (static_cast<size_t>(255 - (top + y)) * 256 + left + x) * 3;
            lit.push_back(bytes[at] + bytes[at + 1] + bytes[at + 2] >= 600);
        }
    return lit;
}

int litcount(const std::vector<unsigned>& px) {
    int n = 0;
    for (unsigned p : px) n += p != 0;
    return n;
}

// Draws `text` at (x, y) with one glyph cell to one font texel per pixel
// (a glyph 0.7 units wide holds 8 texels, 1 unit high 12), sampled without
// filtering.
void drawtext(const std::string& text, float x, float y) {
    glColor3f(1, 1, 1);
    glPushMatrix();
    glTranslatef(x, y, 0);
    glScalef(8 / 0.7f, 12, 1);
    guigltext(text);
    glPopMatrix();
}

void nearestfont() {
    guigltext("A");   // the glyph list binds the font texture and leaves it bound
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    ASSERT_NE(texture, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<float> modelview() {
    std::vector<float> m(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

}  // namespace

TEST_F(GuiTest, StartingOnAnUnknownNameGivesOneNoticeAndNoContext) {
    guiinit();
    guistartopenGL("nowhere.box");
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].title, "guistartopenGL");
    EXPECT_EQ(notices()[0].text, "nowhere.box : not found !");
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

TEST_F(GuiTest, TextAndTexturesBeforeAnyStartDoNothing) {
    ASSERT_EQ(wglGetCurrentContext(), nullptr);
    guigltext("before");
    guiglarialfont();
    guiglbmpfont();
    guiswapopenGL();
    guistopopenGL();
    EXPECT_EQ(guiloadtexture("gui_font.bmp", 200, 127, 1), 0u);
    EXPECT_TRUE(notices().empty());
}

TEST_F(GlBoxTest, TheLetterADrawsCell64OfTheFontBitmap) {
    std::vector<bool> cell = fontcell(64);
    ASSERT_EQ(cell.size(), 96u) << "gui_font.bmp beside the tests";
    nearestfont();
    drawtext("A", 4, 4);
    std::vector<unsigned> px = readpixels(kBoxSide);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 8; ++x) {
            unsigned p = px[static_cast<size_t>(4 + 11 - y) * kBoxSide + 4 + x];
            EXPECT_EQ(p, cell[y * 8 + x] ? 0xFFFFFFu : 0u) << x << "," << y;
            px[static_cast<size_t>(4 + 11 - y) * kBoxSide + 4 + x] = 0;
        }
    EXPECT_EQ(litcount(px), 0) << "nothing outside the glyph's cell";
}

TEST_F(GlBoxTest, TextIsCutAt255CharactersAndEmptyTextDrawsNothing) {
    nearestfont();
    guigltext("");
    EXPECT_EQ(modelview(), std::vector<float>({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(litcount(readpixels(kBoxSide)), 0);

    // Each glyph moves the position on by 0.7: the matrix counts them.
    auto after = [](size_t characters) {
        glLoadIdentity();
        guigltext(std::string(characters, 'A'));
        return modelview();
    };
    std::vector<float> cut = after(255);
    EXPECT_EQ(after(300), cut);
    EXPECT_NE(after(254), cut);
    glLoadIdentity();
}

TEST_F(GlBoxTest, AfterTheArialFontTheSameTextDrawsOutlines) {
    glColor3f(1, 1, 1);
    glTranslatef(8, 8, 0);
    glScalef(40, 40, 1);
    guigltext("A");
    std::vector<unsigned> bitmapglyph = readpixels(kBoxSide);

    guiglarialfont();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDisable(GL_TEXTURE_2D);   // the bitmap glyph left its texture on
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    glTranslatef(8, 8, 0);
    glScalef(40, 40, 1);
    guigltext("A");
    std::vector<unsigned> outline = readpixels(kBoxSide);

    EXPECT_GT(litcount(bitmapglyph), 20);
    EXPECT_GT(litcount(outline), 20);
    EXPECT_NE(outline, bitmapglyph);
}

TEST_F(GlBoxTest, StartingAgainWorksOnTheSameBoxAndOnAReopenedWindow) {
    auto drawsglyph = [] {
        pixelview();
        drawtext("A", 4, 4);
        return litcount(readpixels(kBoxSide)) > 0;
    };
    ASSERT_TRUE(drawsglyph());
    HGLRC first = wglGetCurrentContext();
    guistopopenGL();
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_FALSE(wglDeleteContext(first)) << "stopping deleted the context";

    guistartopenGL("gl.box");
    ASSERT_NE(wglGetCurrentContext(), nullptr);
    EXPECT_TRUE(drawsglyph());
    guistopopenGL();

    guiclosewindow("gl");
    guiopenwindow("gl", "gl", 0, 0, 200, 200, WS_OVERLAPPEDWINDOW, 0);
    guistartopenGL("gl.box");
    ASSERT_NE(wglGetCurrentContext(), nullptr);
    EXPECT_TRUE(drawsglyph());
    EXPECT_TRUE(notices().empty());
}

TEST_F(GlBoxTest, FiftyStartStopCyclesLeaveNoObjectsBehind) {
    // One cycle first, so that lazily made system objects exist already.
    guiglarialfont();
    guistopopenGL();
    guistartopenGL("gl.box");
    guiglarialfont();
    guistopopenGL();
    int gdi = gdiobjects(), user = userobjects();
    for (int i = 0; i < 50; ++i) {
        guistartopenGL("gl.box");
        guistartopenGL("gl.box");   // a second start lets the first binding go
        guiglarialfont();
        guigltext("cycle");
        guiswapopenGL();
        guistopopenGL();
    }
    EXPECT_EQ(gdiobjects(), gdi);
    EXPECT_EQ(userobjects(), user);
    guistartopenGL("gl.box");
}
