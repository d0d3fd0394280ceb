// The window procedure shared by every toolkit window, and the pump the
// application drives: handlers run synchronously inside it.
#include "gui_state.h"

using guicore::state;

HWND guieventwindow() { return state.events.window; }
WPARAM guieventwparam() { return state.events.wparam; }
LPARAM guieventlparam() { return state.events.lparam; }
WPARAM guikeycode() { return state.events.keycode; }
UINT guikeymessage() { return state.events.keymessage; }
int guicommandcode() { return state.events.commandcode; }
int guicurrentcontrol() { return state.lookup.curcontrol; }
HWND guicurrenthandle() { return state.lookup.curhandle; }
int guimousex() { return state.events.mousex; }
int guimousey() { return state.events.mousey; }
int guiquitreceived() { return state.events.quitreceived; }

namespace {

void guisetevent(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    state.events.window = hwnd;
    state.events.wparam = wparam;
    state.events.lparam = lparam;
}

// Codes 0 (click, menu) and 1 (accelerator, list selection change) only.
void guicommand(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    int code = HIWORD(wparam);
    if (code != 0 && code != 1) return;
    int id = LOWORD(wparam);
    if (id >= 1 && id <= state.tables.controlcount) {
        GuiControl& c = state.tables.controls[id];
        // A menu choice carries no control handle; anything else must come
        // from the control itself.
        if (lparam != reinterpret_cast<LPARAM>(c.handle) && c.cls != "menuitem") return;
        state.lookup.curcontrol = id;
        state.lookup.curhandle = c.handle;
        state.events.commandcode = code;
        guisetevent(hwnd, wparam, lparam);
        if (c.sub) c.sub();
    } else if (id >= 1000 && id <= GUI_MAXUSERSUB && state.usersubs.slots[id]) {
        state.usersubs.slots[id]();
    }
}

}  // namespace

void guicore::createcontrols(HWND parent, int window) {
    const std::string name = state.tables.windows[window].name;
    for (int i = 1; i <= state.tables.controlcount; ++i) {
        GuiControl& c = state.tables.controls[i];
        if (!guicore::ownedby(c, name) || c.cls == "menu" || c.cls == "menuitem") continue;
        c.handle = CreateWindowExA(0, c.cls.c_str(), c.text.c_str(), c.style | GUI_CHILDSTYLE, c.x, c.y, c.w, c.h,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i)), state.program.instance, nullptr);
    }
}

void guicore::paintwindow(HWND hwnd, int window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const std::string name = state.tables.windows[window].name;
    for (int i = 1; i <= state.tables.controlcount; ++i) {
        const GuiControl& c = state.tables.controls[i];
        if (!c.image || !guicore::ownedby(c, name)) continue;
        guicore::surfacecopy(*c.image);
        // A box larger than the surface shows only what the surface holds.
        int w = c.w < state.surface.image.w ? c.w : state.surface.image.w;
        int h = c.h < state.surface.image.h ? c.h : state.surface.image.h;
        const BITMAPINFO* header = nullptr;
        const void* pixels = guicore::surfacelock(header);
        StretchDIBits(dc, c.x, c.y, w, h, 0, 0, w, h, pixels, header, DIB_RGB_COLORS, SRCCOPY);
        guicore::surfaceunlock();
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK guiwindowproc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_CREATE) {
        if (state.wclass.appicon) SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.wclass.appicon));
        if (state.creation.opening) guicore::createcontrols(hwnd, state.creation.opening);
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
        return guicore::ctlcolour(msg, hwnd, wparam, lparam);
    if (msg == WM_CHAR) {
        state.events.lastchar = std::string(1, static_cast<char>(wparam));
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }

    // Everything below needs the window's record; a window no longer in the
    // table (or not yet, during creation) gets the default processing only.
    int window = guicore::windowbyhandle(hwnd);
    if (!window) {
        if (msg == WM_DESTROY) return 0;
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
    GuiWindow& win = state.tables.windows[window];
    switch (msg) {
    case WM_PAINT:
        guicore::paintwindow(hwnd, window);
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
            state.events.keycode = wparam;
            state.events.keymessage = msg;
            win.keytrap();
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
        guicore::dispatchmouse(window, msg, lparam);
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

void guiscan() {
    if (state.events.quitreceived) return;
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
    if (quit) state.events.quitreceived = 1;

    // One press of Enter runs the focused control's sub once, however long
    // the key is held.
    if (GetKeyState(VK_RETURN) & 0x8000) {
        if (state.events.enterlatch == 0) {
            state.events.enterlatch = 1;
            HWND focus = GetFocus();
            for (int i = 1; focus && i <= state.tables.controlcount; ++i) {
                if (state.tables.controls[i].handle != focus) continue;
                if (state.tables.controls[i].sub) state.tables.controls[i].sub();
                break;
            }
        }
    } else {
        state.events.enterlatch = 0;
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
    std::string c = state.events.lastchar;
    state.events.lastchar.clear();
    return c;
}
