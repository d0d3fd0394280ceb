// Tables of windows and controls, name lookups, start-up, opening and
// closing windows.
#include "gui_state.h"

#include <shellapi.h>

GuiState gui;

int guiwindowindex(const std::string& name) {
    for (int i = 1; i <= gui.windowcount; ++i)
        if (gui.windows[i].name == name) return i;
    return 0;
}

int guicontrolindex(const std::string& fullname) {
    for (int i = 1; i <= gui.controlcount; ++i)
        if (gui.controls[i].fullname == fullname) return i;
    return 0;
}

int guiwindowbyhandle(HWND handle) {
    if (!handle) return 0;
    for (int i = 1; i <= gui.windowcount; ++i)
        if (gui.windows[i].handle == handle) return i;
    return 0;
}

// Window names shadow control full names spelled the same.
int guifindname(const std::string& name) {
    gui.curhandle = nullptr;
    gui.lookupkind.clear();
    if (int i = guiwindowindex(name)) {
        gui.curhandle = gui.windows[i].handle;
        gui.lookupkind = "window";
        return i;
    }
    if (int i = guicontrolindex(name)) {
        gui.curhandle = gui.controls[i].handle;
        gui.lookupkind = "control";
        return i;
    }
    return 0;
}

HWND guigethandle(const std::string& name) {
    guifindname(name);
    return gui.curhandle;
}

std::string guigetnameof(HWND handle) {
    if (!handle) return "";
    for (int i = 1; i <= gui.windowcount; ++i)
        if (gui.windows[i].handle == handle) return gui.windows[i].name;
    for (int i = 1; i <= gui.controlcount; ++i)
        if (gui.controls[i].handle == handle) return gui.controls[i].fullname;
    return "";
}

namespace {

// The directory of the module holding the toolkit, without the final "\".
void guifindprogdir() {
    char path[MAX_PATH + 1] = {0};
    GetModuleFileNameA(gui.instance, path, 250);
    std::string full = path;
    size_t cut = full.find_last_of('\\');
    gui.progdir = cut == std::string::npos ? "" : full.substr(0, cut);
}

HICON guiextracticon(const std::string& file) {
    HICON icon = ExtractIconA(gui.instance, file.c_str(), 0);
    // 1 means "not an icon file": no icon.
    return reinterpret_cast<UINT_PTR>(icon) <= 1 ? nullptr : icon;
}

}  // namespace

void guiremakebrushes() {
    GuiAppearance& a = gui.look;
    if (a.editbrush) DeleteObject(a.editbrush);
    if (a.listbrush) DeleteObject(a.listbrush);
    a.editbrush = CreateSolidBrush(a.editbk);
    a.listbrush = CreateSolidBrush(a.listbk);
}

void guistartup() {
    if (gui.started) return;
    gui.started = true;

    HDC screen = GetDC(nullptr);
    int width = GetDeviceCaps(screen, HORZRES);
    int height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    guisurfacecreate(width, height);

    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&guistartup), &module) ||
        !module)
        module = GetModuleHandleA(nullptr);
    gui.instance = module;

    guifindprogdir();
    guibindimageloader();

    char cwd[MAX_PATH + 1] = {0};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    gui.iconpath = std::string(cwd) + "/gui_brask.ico";

    guiinit();
}

void guiinit() {
    guifindprogdir();
    if (gui.classregistered) guiclose("nomsg");
    // After the reset: guiclose unloads jpeg.dll, and a reset toolkit must
    // still decode images.
    if (!gui.loader.library) guibindimageloader();

    if (!guifileexists(gui.iconpath)) {
        char self[MAX_PATH + 1] = {0};
        GetModuleFileNameA(nullptr, self, 255);
        gui.iconpath = self;
    }
    if (gui.appicon) DestroyIcon(gui.appicon);
    gui.appicon = guiextracticon(gui.iconpath);

    guiremakebrushes();

    // Without a guiclose (no window opened since start-up or the last
    // guiclose) images may still be held; release them rather than lose them.
    for (int i = 0; i <= GUI_MAXWINDOWS; ++i) {
        GuiControl& c = gui.controls[i];
        if (c.icon) DestroyIcon(c.icon);
        if (c.bitmap) DeleteObject(c.bitmap);
        guireleaseimage(c.image);
        c = GuiControl();
        gui.windows[i] = GuiWindow();
    }
    gui.windowcount = 0;
    gui.controlcount = 0;
    for (guisub& s : gui.usersubs) s = nullptr;
}

namespace {

void guiregisterclass() {
    if (gui.classregistered) return;
    if (!gui.classbrush) {
        gui.ownclassbrush = gui.look.windowcolour != 0;
        gui.classbrush = gui.ownclassbrush ? CreateSolidBrush(gui.look.windowcolour) : GetSysColorBrush(COLOR_BTNFACE);
    }
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = guiwindowproc;
    wc.cbWndExtra = 30;
    wc.hInstance = gui.instance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hIconSm = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = gui.classbrush;
    wc.lpszClassName = "GUIBRASK";
    RegisterClassExA(&wc);
    gui.classregistered = true;
}

void guiattachimages(const std::string& window) {
    for (int i = 1; i <= gui.controlcount; ++i) {
        GuiControl& c = gui.controls[i];
        if (!guiownedby(c, window) || !c.handle) continue;
        UINT msg = c.cls == "button" ? BM_SETIMAGE : STM_SETIMAGE;
        if (c.icon) SendMessageA(c.handle, msg, IMAGE_ICON, reinterpret_cast<LPARAM>(c.icon));
        if (c.bitmap) SendMessageA(c.handle, msg, IMAGE_BITMAP, reinterpret_cast<LPARAM>(c.bitmap));
    }
}

}  // namespace

void guiopenwindow(const std::string& name, const std::string& title, int x, int y, int w, int h, DWORD style,
                   DWORD exstyle) {
    gui.opening = 0;
    int slot = guiwindowindex(name);
    if (!slot) {
        if (gui.windowcount >= GUI_MAXWINDOWS) {
            guinotice(std::to_string(GUI_MAXWINDOWS) + " max number of window reached !", "guinotice");
            return;
        }
        slot = ++gui.windowcount;
    }
    GuiWindow& win = gui.windows[slot];
    if (win.open == 1) {
        guinotice(name + " window yet opened !", "guinotice");
        return;
    }
    win.name = name;
    win.title = title;
    win.style = style;
    win.exstyle = exstyle;
    gui.opening = slot;

    guiregisterclass();
    // The window procedure creates the controls while this call runs.
    HWND handle = CreateWindowExA(exstyle, "GUIBRASK", title.c_str(), style, x, y, w, h, nullptr, nullptr,
                                  gui.instance, nullptr);
    gui.opening = 0;
    win.handle = handle;
    win.open = handle ? 1 : 0;
    if (handle) {
        ShowWindow(handle, SW_SHOWNORMAL);
        UpdateWindow(handle);
    }
    gui.curhandle = handle;
    if (handle) guiattachimages(name);
}

void guiclosewindow(const std::string& name) {
    int slot = guiwindowindex(name);
    if (!slot) return;
    GuiWindow& win = gui.windows[slot];
    if (!win.open) guinotice(name + " window yet closed !", "guinotice");

    // The menu bar is detached first so that DestroyWindow does not destroy
    // it behind our back; each drop-down is then taken out of the bar and
    // destroyed exactly once, and the bar last.
    HMENU bar = win.menu;
    if (win.handle) {
        if (bar) SetMenu(win.handle, nullptr);
        DestroyWindow(win.handle);
    }
    for (int i = 1; i <= gui.controlcount; ++i) {
        GuiControl& c = gui.controls[i];
        if (!guiownedby(c, name)) continue;
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
    for (int i = 1; i <= gui.windowcount; ++i) {
        if (!gui.windows[i].open) continue;
        std::string name = gui.windows[i].name;
        if (message != "nomsg") guinotice(name + " : window closed by guiclose !", "guinotice");
        guiclosewindow(name);
    }
    if (gui.appicon) DestroyIcon(gui.appicon);
    gui.appicon = nullptr;

    for (int i = 1; i <= gui.controlcount; ++i) {
        GuiControl& c = gui.controls[i];
        if (c.icon) DestroyIcon(c.icon);
        c.icon = nullptr;
        if (c.bitmap) DeleteObject(c.bitmap);
        c.bitmap = nullptr;
        guireleaseimage(c.image);
        if (c.handle && c.cls == "menu") DestroyMenu(reinterpret_cast<HMENU>(c.handle));
        c.handle = nullptr;
    }

    UnregisterClassA("GUIBRASK", gui.instance);
    if (gui.classbrush && gui.ownclassbrush) DeleteObject(gui.classbrush);
    gui.classbrush = nullptr;
    gui.ownclassbrush = false;
    GuiAppearance& a = gui.look;
    for (HBRUSH* b : {&a.editbrush, &a.listbrush}) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
    for (HFONT* f : {&a.editfont, &a.staticfont, &a.listfont, &a.buttonfont}) {
        if (*f) DeleteObject(*f);
        *f = nullptr;
    }
    guiunbindimageloader();
    gui.classregistered = false;
}

void guiquit(const std::string& message) {
    if (gui.classregistered) guiclose(message);
    PostQuitMessage(0);
    ExitProcess(0);
}
