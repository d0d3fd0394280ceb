// Menus: a window's menu bar with drop-downs and items. Each drop-down
// ("menu") and each item ("menuitem") is a row of the control table, so it
// is found, dispatched and released like any control; an item's command
// identifier is its control index.
#include "gui_state.h"

#include <cstddef>
#include <cstring>

using guicore::state;

namespace {

HMENU menuhandle(const GuiControl& c) { return reinterpret_cast<HMENU>(c.handle); }

// Records the menu or item and checks that it can be appended: returns the
// record's index and its window's, or 0 after a notice.
int declare(const char* operation, const char* cls, const std::string& name, const std::string& text, guisub sub,
            DWORD flags, int& window) {
    // A record that has a handle is appended (or created) already, the
    // table's last record included; it is refused before it is rewritten,
    // so a live drop-down or control keeps its record.
    if (int existing = guicore::controlindex(name)) {
        if (state.tables.controls[existing].handle) {
            state.lookup.curcontrol = existing;
            guinotice(name + " : yet exists !", operation);
            return 0;
        }
    }
    state.creation.pendingclass = cls;
    state.creation.pendingstyle = flags;
    guiaddcontrol(name, text, sub, 0, 0, 0, 0, 0);
    int index = state.lookup.curcontrol;
    if (!index) return 0;   // guiaddcontrol has said why
    const std::string winname = state.tables.controls[index].winname;
    window = guifindname(winname);
    if (!window || state.lookup.kind != "window") {
        guinotice("window not found : " + winname, operation);
        return 0;
    }
    if (!state.tables.windows[window].open) {
        guinotice("window not opened : " + winname, operation);
        return 0;
    }
    state.lookup.curcontrol = index;
    return index;
}

// The drop-down of a menu name, or null when the name is no created menu.
HMENU findmenu(const std::string& menu) {
    int index = guifindname(menu);
    if (!index || state.lookup.kind != "control") return nullptr;
    const GuiControl& c = state.tables.controls[index];
    return c.cls == "menu" ? menuhandle(c) : nullptr;
}

// The checks shared by the state and text operations; the drop-down or null
// after a notice.
HMENU menuforchange(const char* operation, const std::string& menu) {
    int index = guifindname(menu);
    if (!index || state.lookup.kind != "control") {
        guinotice("menu not found : " + menu, operation);
        return nullptr;
    }
    const std::string winname = state.tables.controls[index].winname;
    int window = guifindname(winname);
    if (!window || state.lookup.kind != "window") {
        guinotice("window not found : " + winname, operation);
        return nullptr;
    }
    if (!state.tables.windows[window].open) {
        guinotice("window not opened : " + winname, operation);
        return nullptr;
    }
    if (!state.tables.windows[window].menu) {
        guinotice("window has no menu opened : " + winname, operation);
        return nullptr;
    }
    HMENU dropdown = findmenu(menu);
    if (!dropdown) guinotice("menu not found : " + menu, operation);
    return dropdown;
}

// The record size without the field added after it, which is what every
// version of the system takes.
constexpr UINT menuinfosize = offsetof(MENUITEMINFOA, hbmpItem);

}  // namespace

void addmenu(const std::string& name, const std::string& title, DWORD flags) {
    int window = 0;
    int index = declare("addmenu", "menu", name, title, nullptr, flags, window);
    if (!index) return;
    GuiWindow& win = state.tables.windows[window];
    if (!win.menu) win.menu = CreateMenu();
    HMENU dropdown = CreatePopupMenu();
    state.tables.controls[index].handle = reinterpret_cast<HWND>(dropdown);
    // The drop-down's handle goes where an item's identifier would: without
    // MF_POPUP it would be taken for a command, so it is always added.
    AppendMenuA(win.menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(dropdown), title.c_str());
    SetMenu(win.handle, win.menu);
}

void addmenuitem(const std::string& name, const std::string& label, guisub sub, DWORD flags) {
    int window = 0;
    int index = declare("addmenuitem", "menuitem", name, label, sub, flags, window);
    if (!index) return;
    const std::string winname = state.tables.controls[index].winname;
    GuiWindow& win = state.tables.windows[window];
    if (!win.menu) {
        guinotice("window has no menu opened : " + winname, "addmenuitem");
        return;
    }
    // The drop-down is named by the item's name up to its second ".".
    size_t second = name.find('.', winname.size() + 1);
    std::string menu = name.substr(0, second);
    HMENU dropdown = findmenu(menu);
    if (!dropdown) {
        guinotice("menu not found : " + menu, "addmenuitem");
        return;
    }
    AppendMenuA(dropdown, flags, static_cast<UINT_PTR>(index), label.c_str());
    state.tables.controls[index].handle = reinterpret_cast<HWND>(1);   // appended: a marker, no window
    state.lookup.curcontrol = index;
    SetMenu(win.handle, win.menu);
}

void setmenuitemstate(const std::string& menu, int position, UINT itemstate) {
    if (position == 0) return;
    HMENU dropdown = menuforchange("setmenuitemstate", menu);
    if (!dropdown) return;
    MENUITEMINFOA info = {};
    info.cbSize = menuinfosize;
    info.fMask = MIIM_STATE;
    info.fState = itemstate;
    SetMenuItemInfoA(dropdown, static_cast<UINT>(position) - 1u, TRUE, &info);
}

void setmenuitemcheck(const std::string& menu, int position) { setmenuitemstate(menu, position, MFS_CHECKED); }
void setmenuitemuncheck(const std::string& menu, int position) { setmenuitemstate(menu, position, 0); }
void setmenuitemenable(const std::string& menu, int position) { setmenuitemstate(menu, position, 0); }
void setmenuitemdisable(const std::string& menu, int position) { setmenuitemstate(menu, position, MFS_DISABLED); }

void setmenutext(const std::string& menu, int position, const std::string& text) {
    if (position == 0) return;
    HMENU dropdown = menuforchange("setmenutext", menu);
    if (!dropdown) return;
    char label[256] = {0};
    size_t length = text.size() < 254 ? text.size() : 254;
    std::memcpy(label, text.data(), length);
    MENUITEMINFOA info = {};
    info.cbSize = menuinfosize;
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = label;
    info.cch = static_cast<UINT>(length);
    SetMenuItemInfoA(dropdown, static_cast<UINT>(position) - 1u, TRUE, &info);
}
