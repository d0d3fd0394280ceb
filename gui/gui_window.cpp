// Tables of windows and controls, name lookups, start-up, opening and
// closing windows.
#include "gui_state.h"

using guicore::state;

#include <shellapi.h>

guicore::GuiState guicore::state;

int guicore::windowindex(const std::string& name) {
    for (int i = 1; i <= state.tables.windowcount; ++i)
        if (state.tables.windows[i].name == name) return i;
    return 0;
}

int guicore::controlindex(const std::string& fullname) {
    for (int i = 1; i <= state.tables.controlcount; ++i)
        if (state.tables.controls[i].fullname == fullname) return i;
    return 0;
}

int guicore::windowbyhandle(HWND handle) {
    if (!handle) return 0;
    for (int i = 1; i <= state.tables.windowcount; ++i)
        if (state.tables.windows[i].handle == handle) return i;
    return 0;
}

// Window names shadow control full names spelled the same.
int guifindname(const std::string& name) {
    state.lookup.curhandle = nullptr;
    state.lookup.kind.clear();
    if (int i = guicore::windowindex(name)) {
        state.lookup.curhandle = state.tables.windows[i].handle;
        state.lookup.kind = "window";
        return i;
    }
    if (int i = guicore::controlindex(name)) {
        state.lookup.curhandle = state.tables.controls[i].handle;
        state.lookup.kind = "control";
        return i;
    }
    return 0;
}

HWND guigethandle(const std::string& name) {
    guifindname(name);
    return state.lookup.curhandle;
}

std::string guigetnameof(HWND handle) {
    if (!handle) return "";
    for (int i = 1; i <= state.tables.windowcount; ++i)
        if (state.tables.windows[i].handle == handle) return state.tables.windows[i].name;
    for (int i = 1; i <= state.tables.controlcount; ++i)
        if (state.tables.controls[i].handle == handle) return state.tables.controls[i].fullname;
    return "";
}

int guiwindowcount() { return state.tables.windowcount; }
int guicontrolcount() { return state.tables.controlcount; }

const GuiWindow& guiwindowrecord(int index) {
    return state.tables.windows[index >= 1 && index <= GUI_MAXWINDOWS ? index : 0];
}

const GuiControl& guicontrolrecord(int index) {
    return state.tables.controls[index >= 1 && index <= GUI_MAXWINDOWS ? index : 0];
}

std::string guilookupkind() { return state.lookup.kind; }
bool guiclassregistered() { return state.wclass.registered; }
std::string guiprogramdir() { return state.program.progdir; }

namespace {

// The directory of the module holding the toolkit, without the final "\".
void guifindprogdir() {
    char path[MAX_PATH + 1] = {0};
    GetModuleFileNameA(state.program.instance, path, 250);
    std::string full = path;
    size_t cut = full.find_last_of('\\');
    state.program.progdir = cut == std::string::npos ? "" : full.substr(0, cut);
}

HICON guiextracticon(const std::string& file) {
    HICON icon = ExtractIconA(state.program.instance, file.c_str(), 0);
    // 1 means "not an icon file": no icon.
    return reinterpret_cast<UINT_PTR>(icon) <= 1 ? nullptr : icon;
}

}  // namespace

void guistartup() {
    if (state.program.started) return;
    state.program.started = true;

    HDC screen = GetDC(nullptr);
    int width = GetDeviceCaps(screen, HORZRES);
    int height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    guicore::surfacecreate(width, height);

    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&guistartup), &module) ||
        !module)
        module = GetModuleHandleA(nullptr);
    state.program.instance = module;

    guifindprogdir();
    guibindimageloader();

    char cwd[MAX_PATH + 1] = {0};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    state.wclass.iconpath = std::string(cwd) + "/gui_brask.ico";

    guiinit();
}

void guiinit() {
    guifindprogdir();
    if (state.wclass.registered) guiclose("nomsg");
    // After the reset: guiclose unloads jpeg.dll, and a reset toolkit must
    // still decode images.
    if (!state.loader.library) guibindimageloader();

    if (!guicore::fileexists(state.wclass.iconpath)) {
        char self[MAX_PATH + 1] = {0};
        GetModuleFileNameA(nullptr, self, 255);
        state.wclass.iconpath = self;
    }
    if (state.wclass.appicon) DestroyIcon(state.wclass.appicon);
    state.wclass.appicon = guiextracticon(state.wclass.iconpath);

    guicore::remakebrushes();

    // Without a guiclose (no window opened since start-up or the last
    // guiclose) images may still be held; release them rather than lose them.
    for (int i = 0; i <= GUI_MAXWINDOWS; ++i) {
        GuiControl& c = state.tables.controls[i];
        if (c.icon) DestroyIcon(c.icon);
        if (c.bitmap) DeleteObject(c.bitmap);
        guicore::releaseimage(c.image);
        c = GuiControl();
        state.tables.windows[i] = GuiWindow();
    }
    state.tables.windowcount = 0;
    state.tables.controlcount = 0;
    for (guisub& s : state.usersubs.slots) s = nullptr;
}

namespace {

void guiregisterclass() {
    if (state.wclass.registered) return;
    if (!state.wclass.brush) {
        state.wclass.ownbrush = state.appearance.windowcolour != 0;
        state.wclass.brush = state.wclass.ownbrush ? CreateSolidBrush(state.appearance.windowcolour) : GetSysColorBrush(COLOR_BTNFACE);
    }
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = guiwindowproc;
    wc.cbWndExtra = 30;
    wc.hInstance = state.program.instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hIconSm = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = state.wclass.brush;
    wc.lpszClassName = "GUIBRASK";
    RegisterClassExA(&wc);
    state.wclass.registered = true;
}

void guiattachimages(const std::string& window) {
    for (int i = 1; i <= state.tables.controlcount; ++i) {
        GuiControl& c = state.tables.controls[i];
        if (!guicore::ownedby(c, window) || !c.handle) continue;
        UINT msg = c.cls == "button" ? BM_SETIMAGE : STM_SETIMAGE;
        if (c.icon) SendMessageA(c.handle, msg, IMAGE_ICON, reinterpret_cast<LPARAM>(c.icon));
        if (c.bitmap) SendMessageA(c.handle, msg, IMAGE_BITMAP, reinterpret_cast<LPARAM>(c.bitmap));
    }
}

}  // namespace

void guiopenwindow(const std::string& name, const std::string& title, int x, int y, int w, int h, DWORD style,
                   DWORD exstyle) {
    state.creation.opening = 0;
    int slot = guicore::windowindex(name);
    if (!slot) {
        if (state.tables.windowcount >= GUI_MAXWINDOWS) {
            guinotice(std::to_string(GUI_MAXWINDOWS) + " max number of window reached !", "guinotice");
            return;
        }
        slot = ++state.tables.windowcount;
    }
    GuiWindow& win = state.tables.windows[slot];
    if (win.open == 1) {
        guinotice(name + " window yet opened !", "guinotice");
        return;
    }
    win.name = name;
    win.title = title;
    win.style = style;
    win.exstyle = exstyle;
    state.creation.opening = slot;

    guiregisterclass();
    // The window procedure creates the controls while this call runs.
    HWND handle = CreateWindowExA(exstyle, "GUIBRASK", title.c_str(), style, x, y, w, h, nullptr, nullptr,
                                  state.program.instance, nullptr);
    state.creation.opening = 0;
    win.handle = handle;
    win.open = handle ? 1 : 0;
    if (handle) {
        ShowWindow(handle, SW_SHOWNORMAL);
        UpdateWindow(handle);
    }
    state.lookup.curhandle = handle;
    if (handle) guiattachimages(name);
}

void guiclosewindow(const std::string& name) {
    int slot = guicore::windowindex(name);
    if (!slot) return;
    GuiWindow& win = state.tables.windows[slot];
    if (!win.open) guinotice(name + " window yet closed !", "guinotice");

    // The menu bar is detached first so that DestroyWindow does not destroy
    // it behind our back; each drop-down is then taken out of the bar and
    // destroyed exactly once, and the bar last.
    HMENU bar = win.menu;
    if (win.handle) {
        if (bar) SetMenu(win.handle, nullptr);
        DestroyWindow(win.handle);
    }
    for (int i = 1; i <= state.tables.controlcount; ++i) {
        GuiControl& c = state.tables.controls[i];
        if (!guicore::ownedby(c, name)) continue;
        if (c.handle && c.cls == "menu") {
            HMENU dropdown = reinterpret_cast<HMENU>(c.handle);
            if (bar) RemoveMenu(bar, static_cast<UINT>(reinterpret_cast<UINT_PTR>(dropdown)), MF_BYCOMMAND);
            DestroyMenu(dropdown);
        }
        c.handle = nullptr;
    }
    if (bar) DestroyMenu(bar);
    win.handle = nullptr;
    win.menu = nullptr;
    win.open = 0;
}

void guiclose(const std::string& message) {
    for (int i = 1; i <= state.tables.windowcount; ++i) {
        if (!state.tables.windows[i].open) continue;
        std::string name = state.tables.windows[i].name;
        if (message != "nomsg") guinotice(name + " : window closed by guiclose !", "guinotice");
        guiclosewindow(name);
    }
    if (state.wclass.appicon) DestroyIcon(state.wclass.appicon);
    state.wclass.appicon = nullptr;

    for (int i = 1; i <= state.tables.controlcount; ++i) {
        GuiControl& c = state.tables.controls[i];
        if (c.icon) DestroyIcon(c.icon);
        c.icon = nullptr;
        if (c.bitmap) DeleteObject(c.bitmap);
        c.bitmap = nullptr;
        guicore::releaseimage(c.image);
        if (c.handle && c.cls == "menu") DestroyMenu(reinterpret_cast<HMENU>(c.handle));
        c.handle = nullptr;
    }

    UnregisterClassA("GUIBRASK", state.program.instance);
    if (state.wclass.brush && state.wclass.ownbrush) DeleteObject(state.wclass.brush);
    state.wclass.brush = nullptr;
    state.wclass.ownbrush = false;
    guicore::GuiAppearance& a = state.appearance;
    for (HBRUSH* b : {&a.editbrush, &a.listbrush}) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
    for (HFONT* f : {&a.editfont, &a.staticfont, &a.listfont, &a.buttonfont}) {
        if (*f) DeleteObject(*f);
        *f = nullptr;
    }
    guicore::unbindimageloader();
    state.wclass.registered = false;
}

void guiquit(const std::string& message) {
    if (state.wclass.registered) guiclose(message);
    PostQuitMessage(0);
    ExitProcess(0);
}
