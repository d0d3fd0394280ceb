// Control operations: thin wrappers that find a handle by name, send it one
// call or message, and translate between 1-based item positions and item
// arrays on our side and the system's 0-based indices on the other.
#include "gui_state.h"

#include <algorithm>

using guicore::state;

// ---- enabling and showing ------------------------------------------------------

void guienablehandle(HWND handle) {
    if (handle) EnableWindow(handle, TRUE);
}
void guidisablehandle(HWND handle) {
    if (handle) EnableWindow(handle, FALSE);
}
void guishowhandle(HWND handle) {
    if (handle) ShowWindow(handle, SW_SHOW);
}
void guihidehandle(HWND handle) {
    if (handle) ShowWindow(handle, SW_HIDE);
}

void guienable(const std::string& name) { guienablehandle(guigethandle(name)); }
void guidisable(const std::string& name) { guidisablehandle(guigethandle(name)); }
void guishow(const std::string& name) { guishowhandle(guigethandle(name)); }
void guihide(const std::string& name) { guihidehandle(guigethandle(name)); }

void guishownoactivate(const std::string& name) {
    if (HWND handle = guigethandle(name)) ShowWindow(handle, SW_SHOWNOACTIVATE);
}

namespace {

LRESULT send(HWND handle, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendMessageA(handle, msg, wparam, lparam);
}

LPARAM textparam(const std::string& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

// Position n is system index n - 1. Positions below 1 all mean "none" (-1),
// which also keeps n - 1 from overflowing.
WPARAM systemindex(int position) {
    return position < 1 ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(position - 1);
}

// The system's answer (-1 for none) as a position.
int toolkitposition(LRESULT index) { return index < 0 ? 0 : static_cast<int>(index) + 1; }

// Adds the items of an array: an empty element 0 is skipped, the first
// empty element after it ends the list.
void additems(HWND handle, UINT addmsg, const std::vector<std::string>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].empty()) {
            if (i > 0) break;
            continue;
        }
        send(handle, addmsg, 0, textparam(items[i]));
    }
}

// The position a fill gave to the first element equal to text; -1 when no
// element is. Text equal to an empty element 0 gives 0 (no selection).
int positionof(const std::string& text, const std::vector<std::string>& items) {
    auto found = std::find(items.begin(), items.end(), text);
    if (found == items.end()) return -1;
    int i = static_cast<int>(found - items.begin());
    return items[0].empty() ? i : i + 1;
}

// Reads item n through the shared 4000-byte buffer. An item too long for
// the buffer is read whole into a buffer of its own and cut to 3999
// characters, so nothing is ever written past the shared one.
std::string listtext(HWND handle, int position) {
    char* buffer = state.text.buffer;
    std::fill(buffer, buffer + GUI_TEXTBUF - 1, ' ');
    buffer[GUI_TEXTBUF - 1] = 0;
    if (position < 1) return "";
    WPARAM index = systemindex(position);
    LRESULT length = send(handle, LB_GETTEXTLEN, index);
    if (length < 0) return "";
    if (length >= GUI_TEXTBUF) {
        std::vector<char> whole(static_cast<size_t>(length) + 1, 0);
        if (send(handle, LB_GETTEXT, index, reinterpret_cast<LPARAM>(whole.data())) < 0) return "";
        return std::string(whole.data(), GUI_TEXTBUF - 1);
    }
    if (send(handle, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer)) < 0) buffer[0] = 0;
    return buffer;
}

}  // namespace

// ---- combo boxes ---------------------------------------------------------------

void guicombofill(const std::string& name, const std::vector<std::string>& items) {
    int index = guifindname(name);
    state.lookup.curcontrol = index;
    HWND handle = state.lookup.curhandle;
    if (!handle || index <= 0) return;
    send(handle, CB_RESETCONTENT);
    additems(handle, CB_ADDSTRING, items);
}

void guicomboadd(const std::string& name, const std::string& text) {
    HWND handle = guigethandle(name);
    if (handle && !text.empty()) send(handle, CB_ADDSTRING, 0, textparam(text));
}

void guicomboselecttext(const std::string& name, const std::string& text, const std::vector<std::string>& items) {
    int position = positionof(text, items);
    if (position < 0) return;
    if (HWND handle = guigethandle(name)) send(handle, CB_SETCURSEL, systemindex(position));
}

void guicomboselect(const std::string& name, int position) {
    if (HWND handle = guigethandle(name)) send(handle, CB_SETCURSEL, systemindex(position));
}

void guicombogetselection(const std::string& name, int& position) {
    if (HWND handle = guigethandle(name)) position = toolkitposition(send(handle, CB_GETCURSEL));
}

void guicombodelete(const std::string& name, int position) {
    HWND handle = guigethandle(name);
    if (handle && position >= 1) send(handle, CB_DELETESTRING, systemindex(position));
}

void guicomboclear(const std::string& name) {
    if (HWND handle = guigethandle(name)) send(handle, CB_RESETCONTENT);
}

std::string guicombogetselecttext(const std::string& name, const std::vector<std::string>& items) {
    HWND handle = guigethandle(name);
    if (!handle) return "";
    LRESULT index = send(handle, CB_GETCURSEL);
    if (index < 0 || items.empty()) return "";
    size_t j = static_cast<size_t>(index);
    if (items[0].empty()) ++j;
    return j < items.size() ? items[j] : "";
}

// ---- check boxes and radio buttons -------------------------------------------

void guicheck(const std::string& name) {
    if (HWND handle = guigethandle(name)) send(handle, BM_SETCHECK, BST_CHECKED);
}

void guiuncheck(const std::string& name) {
    if (HWND handle = guigethandle(name)) send(handle, BM_SETCHECK, BST_UNCHECKED);
}

// ---- list boxes ----------------------------------------------------------------

void guilistfill(const std::string& name, const std::vector<std::string>& items) {
    HWND handle = guigethandle(name);
    if (!handle) return;
    send(handle, LB_RESETCONTENT);
    additems(handle, LB_ADDSTRING, items);
}

void guilistadd(const std::string& name, const std::string& text) {
    if (HWND handle = guigethandle(name)) send(handle, LB_ADDSTRING, 0, textparam(text));
}

void guilistselecttext(const std::string& name, const std::string& text, const std::vector<std::string>& items) {
    int position = positionof(text, items);
    if (position < 0) return;
    if (HWND handle = guigethandle(name)) send(handle, LB_SETCURSEL, systemindex(position));
}

void guilistselect(const std::string& name, int position) {
    if (HWND handle = guigethandle(name)) send(handle, LB_SETCURSEL, systemindex(position));
}

void guilistgetselection(const std::string& name, int& position) {
    if (HWND handle = guigethandle(name)) position = toolkitposition(send(handle, LB_GETCURSEL));
}

std::string guilistgettext(const std::string& name, int position) {
    HWND handle = guigethandle(name);
    return handle ? listtext(handle, position) : "";
}

std::string guilistgetselecttext(const std::string& name) {
    HWND handle = guigethandle(name);
    return handle ? listtext(handle, toolkitposition(send(handle, LB_GETCURSEL))) : "";
}

// ---- geometry, focus and state -------------------------------------------------

// A control name would find a control slot, whose window open flag means
// nothing: only windows answer.
int guiisopen(const std::string& window) {
    int index = guifindname(window);
    return index && state.lookup.kind == "window" ? state.tables.windows[index].open : 0;
}

void guigetrect(const std::string& name, int& x, int& y, int& w, int& h) {
    HWND handle = guigethandle(name);
    if (!handle) return;
    ShowWindow(handle, SW_SHOWNOACTIVATE);
    RECT r;
    if (!GetWindowRect(handle, &r)) return;
    x = r.left;
    y = r.top;
    w = r.right - r.left;
    h = r.bottom - r.top;
}

void guimovewindow(const std::string& name, int x, int y, int w, int h) {
    if (HWND handle = guigethandle(name)) MoveWindow(handle, x, y, w, h, TRUE);
}

void guimovecontrol(const std::string& name, int x, int y, int w, int h) {
    int index = guifindname(name);
    HWND handle = state.lookup.curhandle;
    if (!handle || state.lookup.kind != "control") return;
    GuiControl& c = state.tables.controls[index];
    if (w == 0) w = c.w;
    if (h == 0) h = c.h;
    MoveWindow(handle, x, y, w, h, TRUE);
    bool resized = w != c.w || h != c.h;
    c.x = x;
    c.y = y;
    c.w = w;
    c.h = h;
    // The old picture does not fit the new size; the application redraws.
    if (resized && c.image) {
        guicore::releaseimage(c.image);
        c.image = guiimagecreate(w, h, 0xFF000000u);
    }
}

void guisetfocus(const std::string& name) {
    if (HWND handle = guigethandle(name)) SetFocus(handle);
}

void guisetfocushandle(HWND handle) {
    state.lookup.curhandle = handle;
    if (handle) SetFocus(handle);
}

// ---- small helpers -------------------------------------------------------------

std::string guigetcontrolname() {
    int index = state.lookup.curcontrol;
    return index >= 1 && index <= GUI_MAXWINDOWS ? state.tables.controls[index].fullname : "";
}

void guisleep(int milliseconds) {
    guisleepfunction wait = state.pause.wait ? state.pause.wait : Sleep;
    wait(static_cast<DWORD>(std::clamp(milliseconds, 1, 30000)));
}

guisleepfunction guisetsleepfunction(guisleepfunction wait) {
    guisleepfunction previous = state.pause.wait ? state.pause.wait : Sleep;
    state.pause.wait = wait;
    return previous;
}

void guimessage(const std::string& text, const std::string& title) {
    MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK);
}

std::string guiquestion(const std::string& text, const std::string& title) {
    return MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OKCANCEL) == IDOK ? "yes" : "no";
}
