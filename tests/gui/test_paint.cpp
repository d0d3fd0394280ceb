// Graphic boxes in mode "gfx": their pictures, the raster layer and what
// WM_PAINT puts on screen.
#include "gui_testing.h"

#include <cmath>

namespace {

const uint32_t RED = 0xFFFF0000u, GREEN = 0xFF00FF00u, BLUE = 0xFF0000FFu;

// Top half red, bottom half blue, a green right quarter: wrong row order,
// wrong channels or a shifted copy all show.
void drawpattern(GuiImage* image, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            guisetpixel(image, static_cast<float>(x), static_cast<float>(y),
                        x >= w * 3 / 4 ? GREEN : (y < h / 2 ? RED : BLUE));
}

COLORREF screenpixel(HWND win, int x, int y) {
    HDC dc = GetDC(win);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(win, dc);
    return c;
}

void repaint(HWND win) {
    InvalidateRect(win, nullptr, TRUE);
    UpdateWindow(win);
    pump();
}

}  // namespace

TEST_F(GuiTest, AGfxBoxHasAnOpaqueBlackPictureOfItsSize) {
    guigraphicbox("main.gfx", 0, 0, 33, 17, "gfx", 0);
    guigraphicbox("main.gl", 0, 0, 33, 17, "opengl", 0);
    GuiImage* image = guigetgraphicimage("main.gfx");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(guiimagewidth(image), 33);
    EXPECT_EQ(guiimageheight(image), 17);
    EXPECT_EQ(guigetpixel(image, 0, 0), 0xFF000000);
    EXPECT_EQ(guigetpixel(image, 32, 16), 0xFF000000);
    EXPECT_EQ(guigetpixel(image, 33, 0), -1);
    EXPECT_EQ(guigetpixel(image, 0, 17), -1);
    EXPECT_EQ(guigetgraphicimage("main.gl"), nullptr);
    EXPECT_EQ(guigetgraphicimage("main.none"), nullptr);

    // Redefined in another mode, the box is a plain frame without picture.
    guigraphicbox("main.gfx", 0, 0, 33, 17, "opengl", 0);
    EXPECT_EQ(guigetgraphicimage("main.gfx"), nullptr);
}

// A size whose pixel count wraps a 32-bit size_t must not yield a small
// buffer that the raster writes then overrun: such a box gets no picture.
TEST_F(GuiTest, AnAbsurdlyLargeGfxBoxGetsNoPicture) {
    guigraphicbox("main.huge", 0, 0, 65536, 65537, "gfx", 0);
    EXPECT_EQ(guigetgraphicimage("main.huge"), nullptr);
    guigraphicbox("main.wide", 0, 0, 1 << 30, 4, "gfx", 0);
    EXPECT_EQ(guigetgraphicimage("main.wide"), nullptr);
}

TEST_F(GuiTest, RasterPixelsOutsideReadMinusOneAndAreNeverWritten) {
    GuiImage* image = guiimagecreate(4, 3, 0);
    guisetpixel(image, 3.0f, 2.0f, 0xFFFFFFFFu);
    guisetpixel(image, 1.75f, 0.5f, 0x12345678u);
    guisetpixel(image, 4.0f, 0.0f, 1);
    guisetpixel(image, -0.5f, 0.0f, 1);
    guisetpixel(image, 0.0f, 3.0f, 1);
    // Opaque white is a pixel, not "outside".
    EXPECT_EQ(guigetpixel(image, 3.0f, 2.0f), 0xFFFFFFFFll);
    EXPECT_EQ(guigetpixel(image, 1.0f, 0.0f), 0x12345678);
    EXPECT_EQ(guigetpixel(image, -0.5f, 0.0f), -1);
    EXPECT_EQ(guigetpixel(image, 0.0f, -1.0f), -1);
    EXPECT_EQ(guigetpixel(image, 4.0f, 0.0f), -1);
    EXPECT_EQ(guigetpixel(image, 1e30f, 0.0f), -1);
    EXPECT_EQ(guigetpixel(image, std::nanf(""), 0.0f), -1);
    int written = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) written += guigetpixel(image, static_cast<float>(x), static_cast<float>(y)) != 0;
    EXPECT_EQ(written, 2);
    guiimagefree(image);

    // Null is the off-screen surface, as large as the desktop.
    EXPECT_EQ(guiimagewidth(nullptr), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(guiimageheight(nullptr), GetSystemMetrics(SM_CYSCREEN));
    guisetpixel(nullptr, 5, 6, BLUE);
    EXPECT_EQ(guigetpixel(nullptr, 5, 6), BLUE);
}

TEST_F(GuiTest, PaintingShowsTheBoxPictureInItsRectangle) {
    const int X = 20, Y = 30, W = 64, H = 48;
    guigraphicbox("main.gfx", X, Y, W, H, "gfx", 0);
    guiopenwindow("main", "Main", 0, 0, 320, 240, WS_POPUP, 0);
    HWND win = guigethandle("main");
    drawpattern(guigetgraphicimage("main.gfx"), W, H);
    repaint(win);

    EXPECT_EQ(screenpixel(win, X + 4, Y + 4), RGB(255, 0, 0));
    EXPECT_EQ(screenpixel(win, X + W / 2, Y + H / 2 - 2), RGB(255, 0, 0));
    EXPECT_EQ(screenpixel(win, X + 4, Y + H - 4), RGB(0, 0, 255));
    EXPECT_EQ(screenpixel(win, X + W - 4, Y + 4), RGB(0, 255, 0));
    EXPECT_EQ(screenpixel(win, X + W - 4, Y + H - 4), RGB(0, 255, 0));
    // Outside the box the window keeps its background.
    EXPECT_NE(screenpixel(win, X - 4, Y + 4), RGB(255, 0, 0));
    EXPECT_NE(screenpixel(win, X + 4, Y + H + 4), RGB(0, 0, 255));
}

TEST_F(GuiTest, ABoxWiderThanTheDesktopPaintsWhatFits) {
    const int sw = guiimagewidth(nullptr), sh = guiimageheight(nullptr);
    guigraphicbox("main.huge", 0, 0, sw + 300, sh + 200, "gfx", 0);
    GuiImage* image = guigetgraphicimage("main.huge");
    ASSERT_NE(image, nullptr);
    drawpattern(image, sw + 300, sh + 200);
    guiopenwindow("main", "Main", 0, 0, 400, 300, WS_POPUP, 0);
    HWND win = guigethandle("main");
    repaint(win);
    EXPECT_EQ(screenpixel(win, 10, 10), RGB(255, 0, 0));

    // The surface holds the top-left part of the picture, cut at its edges.
    EXPECT_EQ(guigetpixel(nullptr, 0, 0), RED);
    EXPECT_EQ(guigetpixel(nullptr, static_cast<float>(sw - 1), static_cast<float>(sh - 1)),
              guigetpixel(image, static_cast<float>(sw - 1), static_cast<float>(sh - 1)));
    EXPECT_EQ(guigetpixel(nullptr, static_cast<float>(sw), 0), -1);
}

TEST_F(GuiTest, PicturesAreReleasedByGuiclose) {
    guigraphicbox("main.gfx", 0, 0, 8, 8, "gfx", 0);
    guiopenwindow("main", "Main", 0, 0, 100, 100, WS_POPUP, 0);
    ASSERT_NE(guigetgraphicimage("main.gfx"), nullptr);
    guiclosewindow("main");
    EXPECT_NE(guigetgraphicimage("main.gfx"), nullptr);
    guiclose("nomsg");
    EXPECT_EQ(guigetgraphicimage("main.gfx"), nullptr);
}
