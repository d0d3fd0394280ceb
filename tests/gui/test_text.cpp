// Control text, fonts and the colour answers of the window procedure, read
// from the device context a control would paint with.
#include "gui_testing.h"

namespace {

HWND openwindow() {
    guiedittext("main.edit", "start", nullptr, 10, 10, 200, 60, ES_MULTILINE | ES_AUTOVSCROLL);
    guistatictext("main.label", "label", 10, 80, 100, 20, 0);
    guilistbox("main.list", nullptr, 10, 110, 100, 60, 0);
    guibutton("main.go", "go", nullptr, 120, 80, 50, 20, 0);
    guiopenwindow("main", "Main", 0, 0, 300, 220, WS_OVERLAPPEDWINDOW, 0);
    return guigethandle("main");
}

// Asks the window for a control's colours as the control itself would.
struct ColourAnswer {
    HDC dc = CreateCompatibleDC(nullptr);
    LRESULT brush = 0;
    ColourAnswer(HWND win, UINT msg, const std::string& control) {
        brush = SendMessageA(win, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(guigethandle(control)));
    }
    ~ColourAnswer() { DeleteDC(dc); }
    HFONT font() const { return static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)); }
    COLORREF brushcolour() const {
        LOGBRUSH lb = {};
        GetObjectA(reinterpret_cast<HGDIOBJ>(brush), sizeof lb, &lb);
        return lb.lbColor;
    }
};

LOGFONTA logfont(HFONT font) {
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

}  // namespace

TEST_F(GuiTest, TextIsSetAndReadByNameUpTo3999Characters) {
    openwindow();
    EXPECT_EQ(guigettext("main.edit"), "start");
    guisettext("main.edit", "changed");
    EXPECT_EQ(guigettext("main.edit"), "changed");
    guisettext("main", "new title");
    EXPECT_EQ(guigettext("main"), "new title");

    std::string five(5000, 'x');
    for (size_t i = 0; i < five.size(); ++i) five[i] = static_cast<char>('a' + i % 26);
    guisettext("main.edit", five);
    EXPECT_EQ(guigettext("main.edit"), five.substr(0, 3999));
    guisettext("main.edit", std::string(10000, 'k'));
    EXPECT_EQ(guigettext("main.edit"), std::string(3999, 'k'));
    guisettext("main.edit", "");
    EXPECT_EQ(guigettext("main.edit"), "");

    guisettext("main.none", "x");
    EXPECT_EQ(guigettext("main.none"), "");
    EXPECT_EQ(guigettext(""), "");
    guiclosewindow("main");
    EXPECT_EQ(guigettext("main.edit"), "");
}

TEST_F(GuiTest, OnlySevenStockFontIdsAreAccepted) {
    HFONT fallback = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (int refused : {0, 9, 15, 18, -1, 100000}) EXPECT_EQ(guimakefont(refused, 20, 0), fallback) << refused;
    for (int id : {10, 11, 12, 13, 14, 16, 17}) {
        HFONT font = guimakefont(id, 25, 1);
        ASSERT_NE(font, nullptr);
        EXPECT_NE(font, fallback) << id;
        EXPECT_EQ(logfont(font).lfHeight, -25) << id;
        EXPECT_EQ(logfont(font).lfItalic, 1) << id;
        DeleteObject(font);
    }
    // Height 0 keeps the stock height.
    HFONT keep = guimakefont(DEFAULT_GUI_FONT, 0, 0);
    EXPECT_EQ(logfont(keep).lfHeight, logfont(fallback).lfHeight);
    DeleteObject(keep);
}

TEST_F(GuiTest, ColourMessagesHandControlsTheSettings) {
    HWND win = openwindow();
    // Defaults: black text, white backgrounds.
    {
        ColourAnswer edit(win, WM_CTLCOLOREDIT, "main.edit");
        EXPECT_EQ(GetTextColor(edit.dc), RGB(0, 0, 0));
        EXPECT_EQ(GetBkColor(edit.dc), RGB(255, 255, 255));
        EXPECT_EQ(edit.brushcolour(), RGB(255, 255, 255));
    }
    guiseteditbkcolor(0, 0, 200);
    guiseteditcolor(255, 0, 0);
    guisetlistbkcolor(0, 200, 0);
    guisetlistcolor(1, 2, 3);
    guisetstaticcolor(300, -5, 7);   // clamped to 255, 0, 7
    guiseteditfont(17, 30, 1);
    guisetlistfont(15, 20, 0);       // refused id: the stock fallback
    guisetstaticfont(11, 12, 0);
    guisetbuttonfont(12, 14, 1);
    {
        ColourAnswer edit(win, WM_CTLCOLOREDIT, "main.edit");
        EXPECT_EQ(GetTextColor(edit.dc), RGB(255, 0, 0));
        EXPECT_EQ(GetBkColor(edit.dc), RGB(0, 0, 200));
        EXPECT_EQ(edit.brushcolour(), RGB(0, 0, 200));
        EXPECT_EQ(logfont(edit.font()).lfHeight, -30);
        EXPECT_EQ(logfont(edit.font()).lfItalic, 1);
    }
    {
        ColourAnswer list(win, WM_CTLCOLORLISTBOX, "main.list");
        EXPECT_EQ(GetTextColor(list.dc), RGB(1, 2, 3));
        EXPECT_EQ(GetBkMode(list.dc), TRANSPARENT);
        EXPECT_EQ(GetBkColor(list.dc), RGB(0, 200, 0));
        EXPECT_EQ(list.brushcolour(), RGB(0, 200, 0));
        EXPECT_EQ(list.font(), GetStockObject(DEFAULT_GUI_FONT));
    }
    {
        ColourAnswer label(win, WM_CTLCOLORSTATIC, "main.label");
        EXPECT_EQ(GetTextColor(label.dc), RGB(255, 0, 7));
        EXPECT_EQ(label.brush, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(logfont(label.font()).lfHeight, -12);
        // A window colour of 0 leaves the static's background colour alone.
        SetBkColor(label.dc, RGB(9, 9, 9));
        SendMessageA(win, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(label.dc),
                     reinterpret_cast<LPARAM>(guigethandle("main.label")));
        EXPECT_EQ(GetBkColor(label.dc), RGB(9, 9, 9));
        guisetwindowcolor(10, 20, 30);
        SendMessageA(win, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(label.dc),
                     reinterpret_cast<LPARAM>(guigethandle("main.label")));
        EXPECT_EQ(GetBkColor(label.dc), RGB(10, 20, 30));
    }
    {
        ColourAnswer button(win, WM_CTLCOLORBTN, "main.go");
        EXPECT_EQ(logfont(button.font()).lfHeight, -14);
        EXPECT_EQ(logfont(button.font()).lfItalic, 1);
    }
    guisetwindowcolor(0, 0, 0);
}

TEST_F(GuiTest, WithoutBrushesTheEditAndListGetWhite) {
    openwindow();
    guiclose("nomsg");   // deletes the brushes
    HWND win = openwindow();
    ColourAnswer edit(win, WM_CTLCOLOREDIT, "main.edit");
    EXPECT_EQ(edit.brush, reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
    ColourAnswer list(win, WM_CTLCOLORLISTBOX, "main.list");
    EXPECT_EQ(list.brush, reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
    // ...and a background colour makes its brush again.
    guiseteditbkcolor(5, 6, 7);
    ColourAnswer again(win, WM_CTLCOLOREDIT, "main.edit");
    EXPECT_EQ(again.brushcolour(), RGB(5, 6, 7));
    guiseteditbkcolor(255, 255, 255);
}
