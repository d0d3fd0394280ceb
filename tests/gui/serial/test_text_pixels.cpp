// What the colour settings put on screen: pixels of real controls read back
// after the repaint. These tests need the display to themselves, so that no
// other test's window covers theirs.
#include "../gui_testing.h"

namespace {

struct Pixels {
    int reds = 0, blues = 0, greens = 0, darks = 0;
};

// Counts strong colours in a control's client area, read from the screen.
Pixels pixels(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    HDC dc = GetDC(control);
    Pixels p;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
            if (red > 180 && green < 80 && blue < 80) ++p.reds;
            if (blue > 180 && red < 80 && green < 80) ++p.blues;
            if (green > 180 && red < 80 && blue < 80) ++p.greens;
            if (red < 60 && green < 60 && blue < 60) ++p.darks;
        }
    ReleaseDC(control, dc);
    return p;
}

void settle() {
    for (int i = 0; i < 10; ++i) {
        pump(1);
        for (int w = 1; w <= guiwindowcount(); ++w)
            if (HWND h = guiwindowrecord(w).handle) UpdateWindow(h);
    }
}

HWND openwindow(const std::string& name, int x) {
    guistatictext(name + ".label", "MMMMMMMMMMMM", 10, 10, 180, 30, 0);
    guiedittext(name + ".edit", "MMMMMMMM", nullptr, 10, 50, 180, 40, 0);
    guilistbox(name + ".list", nullptr, 10, 100, 180, 80, 0);
    guiopenwindow(name, name, x, 0, 220, 230, WS_POPUP | WS_BORDER, 0);
    guilistadd(name + ".list", "MMMMMMMM");
    HWND win = guigethandle(name);
    SetForegroundWindow(win);
    settle();
    return win;
}

using GuiPixels = GuiTest;

}  // namespace

TEST_F(GuiPixels, StaticTextTurnsRedInEveryOpenWindow) {
    openwindow("one", 0);
    openwindow("two", 300);
    for (const char* label : {"one.label", "two.label"}) {
        Pixels before = pixels(guigethandle(label));
        EXPECT_EQ(before.reds, 0) << label;
        EXPECT_GT(before.darks, 0) << label;
    }
    guisetstaticcolor(255, 0, 0);
    settle();
    for (const char* label : {"one.label", "two.label"}) {
        Pixels after = pixels(guigethandle(label));
        EXPECT_GT(after.reds, 0) << label;
        EXPECT_EQ(after.darks, 0) << label;
    }
}

TEST_F(GuiPixels, EditAndListBackgroundsAndTextsTakeTheirColours) {
    openwindow("main", 0);
    guiseteditbkcolor(0, 0, 255);
    guiseteditcolor(255, 0, 0);
    guisetlistbkcolor(0, 255, 0);
    guisetlistcolor(255, 0, 0);
    settle();
    Pixels edit = pixels(guigethandle("main.edit"));
    EXPECT_GT(edit.blues, 0);
    EXPECT_GT(edit.reds, 0);
    Pixels list = pixels(guigethandle("main.list"));
    EXPECT_GT(list.greens, 0);
    EXPECT_GT(list.reds, 0);
}

TEST_F(GuiPixels, TheWindowColourNeedsTheClassRegisteredAgain) {
    guiopenwindow("main", "main", 0, 0, 200, 150, WS_POPUP, 0);
    settle();
    HWND win = guigethandle("main");
    auto background = [&win] {
        HDC dc = GetDC(win);
        COLORREF c = GetPixel(dc, 100, 75);
        ReleaseDC(win, dc);
        return c;
    };
    // Black cannot be chosen: 0 is the system button face.
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(background(), face);
    guisetwindowcolor(200, 40, 10);
    InvalidateRect(win, nullptr, TRUE);
    settle();
    EXPECT_EQ(background(), face);

    guiclose("nomsg");
    guiopenwindow("main", "main", 0, 0, 200, 150, WS_POPUP, 0);
    win = guigethandle("main");
    settle();
    EXPECT_EQ(background(), RGB(200, 40, 10));

    guisetwindowcolor(0, 0, 0);
    guiclose("nomsg");
    guiopenwindow("main", "main", 0, 0, 200, 150, WS_POPUP, 0);
    win = guigethandle("main");
    settle();
    EXPECT_EQ(background(), face);
}
