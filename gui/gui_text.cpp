// Text, colours and fonts: the toolkit-wide appearance that the window
// procedure hands to every child control asking for its colours.
#include "gui_state.h"

using guicore::state;

// Colours and fonts are not stored per control: every control of every
// window asks its parent, so a change shows at the next repaint.
LRESULT guicore::ctlcolour(UINT msg, HWND hwnd, WPARAM wparam, LPARAM lparam) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    const GuiAppearance& a = state.appearance;
    switch (msg) {
    case WM_CTLCOLOREDIT:
        if (a.editfont) SelectObject(dc, a.editfont);
        SetTextColor(dc, a.edittext);
        SetBkColor(dc, a.editbk);
        return reinterpret_cast<LRESULT>(a.editbrush ? a.editbrush : GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORLISTBOX:
        if (a.listfont) SelectObject(dc, a.listfont);
        SetTextColor(dc, a.listtext);
        SetBkMode(dc, TRANSPARENT);
        // Some list boxes fill their rows and the rest of their area with
        // the background colour rather than with the brush.
        SetBkColor(dc, a.listbk);
        return reinterpret_cast<LRESULT>(a.listbrush ? a.listbrush : GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORSTATIC:
        if (a.staticfont) SelectObject(dc, a.staticfont);
        SetTextColor(dc, a.statictext);
        if (a.windowcolour) SetBkColor(dc, a.windowcolour);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    default:   // WM_CTLCOLORBTN
        if (a.buttonfont) SelectObject(dc, a.buttonfont);
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

// ---- text --------------------------------------------------------------------

void guisettext(const std::string& name, const std::string& text) {
    if (HWND handle = guigethandle(name)) SetWindowTextA(handle, text.c_str());
}

std::string guigettext(const std::string& name) {
    HWND handle = guigethandle(name);
    if (!handle) return "";
    char* buffer = state.text.buffer;
    buffer[0] = 0;
    if (GetWindowTextA(handle, buffer, GUI_TEXTBUF) <= 0) return "";
    buffer[GUI_TEXTBUF - 1] = 0;
    return buffer;
}

// ---- repainting --------------------------------------------------------------

void guiredrawall() {
    for (int i = 1; i <= state.tables.windowcount; ++i)
        if (HWND handle = state.tables.windows[i].handle) InvalidateRect(handle, nullptr, TRUE);
}

void guiredrawwindow(const std::string& window) {
    int i = guicore::windowindex(window);
    if (i && state.tables.windows[i].open && state.tables.windows[i].handle)
        RedrawWindow(state.tables.windows[i].handle, nullptr, nullptr, RDW_INVALIDATE);
}

void guiredraw(const std::string& name) {
    if (HWND handle = guigethandle(name)) RedrawWindow(handle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

// ---- fonts ---------------------------------------------------------------------

HFONT guimakefont(int stockid, int height, int italic) {
    static const int accepted[] = {OEM_FIXED_FONT,      ANSI_FIXED_FONT,   ANSI_VAR_FONT,  SYSTEM_FONT,
                                   DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT};
    HFONT font = nullptr;
    for (int id : accepted) {
        if (id != stockid) continue;
        LOGFONTA logfont = {};
        if (GetObjectA(GetStockObject(id), sizeof logfont, &logfont) == sizeof logfont) {
            if (height) logfont.lfHeight = -height;
            logfont.lfItalic = static_cast<BYTE>(italic);
            font = CreateFontIndirectA(&logfont);
        }
        break;
    }
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

namespace {

// The font a setter replaces was made by the toolkit for that slot alone,
// so it is deleted once the controls have been told to repaint with the
// new one (stock fonts ignore the deletion).
void setfont(HFONT guicore::GuiAppearance::*slot, int stockid, int height, int italic) {
    HFONT previous = state.appearance.*slot;
    state.appearance.*slot = guimakefont(stockid, height, italic);
    guiredrawall();
    if (previous && previous != state.appearance.*slot) DeleteObject(previous);
}

COLORREF colour(int red, int green, int blue) {
    auto channel = [](int v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return RGB(channel(red), channel(green), channel(blue));
}

void setbrush(HBRUSH& brush, COLORREF from) {
    if (brush) DeleteObject(brush);
    brush = CreateSolidBrush(from);
}

}  // namespace

void guiseteditfont(int stockid, int height, int italic) {
    setfont(&guicore::GuiAppearance::editfont, stockid, height, italic);
}
void guisetstaticfont(int stockid, int height, int italic) {
    setfont(&guicore::GuiAppearance::staticfont, stockid, height, italic);
}
void guisetlistfont(int stockid, int height, int italic) {
    setfont(&guicore::GuiAppearance::listfont, stockid, height, italic);
}
void guisetbuttonfont(int stockid, int height, int italic) {
    setfont(&guicore::GuiAppearance::buttonfont, stockid, height, italic);
}

// ---- colours -------------------------------------------------------------------

// guiinit makes both background brushes again from their colours.
void guicore::remakebrushes() {
    setbrush(state.appearance.editbrush, state.appearance.editbk);
    setbrush(state.appearance.listbrush, state.appearance.listbk);
}

void guisetwindowcolor(int red, int green, int blue) { state.appearance.windowcolour = colour(red, green, blue); }

void guiseteditbkcolor(int red, int green, int blue) {
    state.appearance.editbk = colour(red, green, blue);
    setbrush(state.appearance.editbrush, state.appearance.editbk);
    guiredrawall();
}

void guisetlistbkcolor(int red, int green, int blue) {
    state.appearance.listbk = colour(red, green, blue);
    setbrush(state.appearance.listbrush, state.appearance.listbk);
    guiredrawall();
}

void guiseteditcolor(int red, int green, int blue) {
    state.appearance.edittext = colour(red, green, blue);
    guiredrawall();
}

void guisetlistcolor(int red, int green, int blue) {
    state.appearance.listtext = colour(red, green, blue);
    guiredrawall();
}

void guisetstaticcolor(int red, int green, int blue) {
    state.appearance.statictext = colour(red, green, blue);
    guiredrawall();
}
