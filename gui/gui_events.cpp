// The window procedure shared by every toolkit window, and the pump the
// application drives: handlers run synchronously inside it.
#include "gui_state.h"

HWND guieventwindow() { return gui.event.window; }
WPARAM guieventwparam() { return gui.event.wparam; }
LPARAM guieventlparam() { return gui.event.lparam; }
WPARAM guikeycode() { return gui.event.keycode; }
UINT guikeymessage() { return gui.event.keymessage; }
int guicommandcode() { return gui.event.commandcode; }
int guicurrentcontrol() { return gui.curcontrol; }
HWND guicurrenthandle() { return gui.curhandle; }
int guimousex() { return gui.event.mousex; }
int guimousey() { return gui.event.mousey; }

namespace {

void guisetevent(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    gui.event.window = hwnd;
    gui.event.wparam = wparam;
    gui.event.lparam = lparam;
}

// Codes 0 (click, menu) and 1 (accelerator, list selection change) only.
void guicommand(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    int code = HIWORD(wparam);
    if (code != 0 && code != 1) return;
    int id = LOWORD(wparam);
    if (id >= 1 && id <= gui.controlcount) {
        GuiControl& c = gui.controls[id];
        // A menu choice carries no control handle; anything else must come
        // from the control itself.
        if (lparam != reinterpret_cast<LPARAM>(c.handle) && c.cls != "menuitem") return;
        gui.curcontrol = id;
        gui.curhandle = c.handle;
        gui.event.commandcode = code;
        guisetevent(hwnd, wparam, lparam);
        if (c.sub) c.sub();
    } else if (id >= 1000 && id <= GUI_MAXUSERSUB && gui.usersubs[id]) {
        gui.usersubs[id]();
    }
}

LRESULT guicolour(UINT msg, HWND hwnd, WPARAM wparam, LPARAM lparam) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    const GuiAppearance& a = gui.look;
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

}  // namespace

void guicreatecontrols(HWND parent, int window) {
    const std::string name = gui.windows[window].name;
    for (int i = 1; i <= gui.controlcount; ++i) {
        GuiControl& c = gui.controls[i];
        if (!guiownedby(c, name) || c.cls == "menu" || c.cls == "menuitem") continue;
        c.handle = CreateWindowExA(0, c.cls.c_str(), c.text.c_str(), c.style | 0x54000000, c.x, c.y, c.w, c.h,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i)), gui.instance, nullptr);
    }
}

void guipaintwindow(HWND hwnd, int window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const std::string name = gui.windows[window].name;
    for (int i = 1; i <= gui.controlcount; ++i) {
        const GuiControl& c = gui.controls[i];
        if (!c.image || !guiownedby(c, name)) continue;
        guisurfacecopy(*c.image);
        // A box larger than the surface shows only what the surface holds.
        int w = c.w < gui.surface.image.w ? c.w : gui.surface.image.w;
        int h = c.h < gui.surface.image.h ? c.h : gui.surface.image.h;
        const BITMAPINFO* header = nullptr;
        const void* pixels = guisurfacelock(header);
        StretchDIBits(dc, c.x, c.y, w, h, 0, 0, w, h, pixels, header, DIB_RGB_COLORS, SRCCOPY);
        guisurfaceunlock();
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK guiwindowproc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_CREATE) {
        if (gui.appicon) SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(gui.appicon));
        if (gui.opening) guicreatecontrols(hwnd, gui.opening);
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
        return guicolour(msg, hwnd, wparam, lparam);
    if (msg == WM_CHAR) {
        gui.event.lastchar = std::string(1, static_cast<char>(wparam));
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }

    // Everything below needs the window's record; a window no longer in the
    // table (or not yet, during creation) gets the default processing only.
    int window = guiwindowbyhandle(hwnd);
    if (!window) {
        if (msg == WM_DESTROY) return 0;
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
    GuiWindow& win = gui.windows[window];
    switch (msg) {
    case WM_PAINT:
        guipaintwindow(hwnd, window);
        return 0;
    case WM_COMMAND:
        guicommand(hwnd, wparam, lparam);
        break;
    case WM_SIZE:
        if (win.resizetrap) {
            guisetevent(hwnd, wparam, lparam);
            win.resizetrap();
        }
        return 0;
    case WM_CLOSE:
        // Without a close trap the close box does nothing.
        if (win.closetrap) {
            guisetevent(hwnd, wparam, lparam);
            win.closetrap();
        }
        return 0;
    case WM_DESTROY:
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (win.keytrap) {
            guisetevent(hwnd, wparam, lparam);
            gui.event.keycode = wparam;
            gui.event.keymessage = msg;
            win.keytrap();
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
        guidispatchmouse(window, msg, lparam);
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

void guiscan() {
    if (gui.quitreceived) return;
    MSG m;
    bool quit = false;
    for (int n = 0; n < 1000; ++n) {
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) break;
        BOOL got = GetMessageA(&m, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            break;
        }
        if (got != -1) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    if (quit) gui.quitreceived = 1;

    // One press of Enter runs the focused control's sub once, however long
    // the key is held.
    if (GetKeyState(VK_RETURN) & 0x8000) {
        if (gui.enterlatch == 0) {
            gui.enterlatch = 1;
            HWND focus = GetFocus();
            for (int i = 1; focus && i <= gui.controlcount; ++i) {
                if (gui.controls[i].handle != focus) continue;
                if (gui.controls[i].sub) gui.controls[i].sub();
                break;
            }
        }
    } else {
        gui.enterlatch = 0;
    }
}

void guiwaitevent() {
    guiscan();
    MSG m;
    BOOL got = GetMessageA(&m, nullptr, 0, 0);
    if (got != 0 && got != -1) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

int guitestkey(int key) { return (GetKeyState(key) & 0x8000) ? -1 : 0; }

std::string guigetchar() {
    guiscan();
    std::string c = gui.event.lastchar;
    gui.event.lastchar.clear();
    return c;
}
