// Text, colours and fonts: the toolkit-wide appearance that the window
// procedure hands to every child control asking for its colours.
#include "gui_state.h"

using guicore::state;

void guicore::remakebrushes() {
    GuiAppearance& a = state.appearance;
    if (a.editbrush) DeleteObject(a.editbrush);
    if (a.listbrush) DeleteObject(a.listbrush);
    a.editbrush = CreateSolidBrush(a.editbk);
    a.listbrush = CreateSolidBrush(a.listbk);
}

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
