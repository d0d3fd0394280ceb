// Event traps: handlers attached to windows (close, resize, keyboard) and
// to rectangles of controls (mouse), called by the window procedure.
#include "gui_state.h"

using guicore::state;

namespace {

void guiwindowtrap(const std::string& name, guisub handler, guisub GuiWindow::*slot, const char* prefix) {
    int i = guicore::windowindex(name);
    if (!i) {
        guinotice(prefix + name + " not fount !", "warning");
        return;
    }
    state.tables.windows[i].*slot = handler;
}

void guicontroltrap(const std::string& name, guisub handler, GuiMouseTrap slot, const char* prefix) {
    int i = guicore::controlindex(name);
    state.lookup.curcontrol = i;
    if (!i) {
        guinotice(prefix + name + " not fount !", "warning");
        return;
    }
    state.tables.controls[i].traps[slot] = handler;
}

}  // namespace

void trapclose(const std::string& window, guisub handler) {
    guiwindowtrap(window, handler, &GuiWindow::closetrap, "trapclose :");
}
void trapresize(const std::string& window, guisub handler) {
    guiwindowtrap(window, handler, &GuiWindow::resizetrap, "trapresize :");
}
void trapkeyboard(const std::string& window, guisub handler) {
    guiwindowtrap(window, handler, &GuiWindow::keytrap, "trapkeyboard :");
}
void trapleftmouse(const std::string& control, guisub handler) {
    guicontroltrap(control, handler, TRAP_LDOWN, "trapleftmouse :");
}
void traprightmouse(const std::string& control, guisub handler) {
    guicontroltrap(control, handler, TRAP_RDOWN, "traprightmouse :");
}
void trapleftmouseup(const std::string& control, guisub handler) {
    guicontroltrap(control, handler, TRAP_LUP, "trapleftmouseup :");
}
void traprightmouseup(const std::string& control, guisub handler) {
    guicontroltrap(control, handler, TRAP_RUP, "traprightmouseup :");
}
void trapmovemouse(const std::string& control, guisub handler) {
    guicontroltrap(control, handler, TRAP_MOVE, "trapmovemouse :");
}

// The first control of this window whose rectangle (edges included) holds
// the pointer and that has the trap for this message gets it.
void guicore::dispatchmouse(int window, UINT msg, LPARAM lparam) {
    GuiMouseTrap slot;
    switch (msg) {
    case WM_LBUTTONDOWN: slot = TRAP_LDOWN; break;
    case WM_RBUTTONDOWN: slot = TRAP_RDOWN; break;
    case WM_LBUTTONUP: slot = TRAP_LUP; break;
    case WM_RBUTTONUP: slot = TRAP_RUP; break;
    default: slot = TRAP_MOVE; break;
    }
    int x = LOWORD(lparam);
    int y = HIWORD(lparam);
    const std::string name = state.tables.windows[window].name;
    const int count = state.tables.controlcount;
    for (int i = 1; i <= count; ++i) {
        const GuiControl& c = state.tables.controls[i];
        if (!c.traps[slot] || !guicore::ownedby(c, name)) continue;
        // Wide sums: a huge recorded size must not overflow.
        if (x < c.x || x > static_cast<long long>(c.x) + c.w || y < c.y || y > static_cast<long long>(c.y) + c.h)
            continue;
        state.events.mousex = x - c.x;
        state.events.mousey = y - c.y;
        c.traps[slot]();
        return;
    }
}
