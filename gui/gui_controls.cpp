// Declaring controls. Nothing appears on screen here: a window creates its
// recorded controls while it is being created.
#include "gui_state.h"

using guicore::state;

#include <shellapi.h>

void guiaddcontrol(const std::string& fullname, const std::string& text, guisub sub, int x, int y, int w, int h,
                   DWORD style) {
    int slot = guicore::controlindex(fullname);
    if (!slot) {
        if (state.tables.controlcount >= GUI_MAXWINDOWS) {
            guinotice(std::to_string(GUI_MAXWINDOWS) + " max ngui reached !", "guinotice");
            state.lookup.curcontrol = 0;
            return;
        }
        slot = ++state.tables.controlcount;
    }
    GuiControl& c = state.tables.controls[slot];
    c.cls = state.creation.pendingclass;
    c.style = style ? style : state.creation.pendingstyle;   // a style replaces the default, never adds to it
    c.fullname = fullname;
    size_t dot = fullname.find('.');
    c.winname = dot == std::string::npos ? "" : fullname.substr(0, dot);
    c.text = text;
    c.sub = sub;
    c.x = x;
    c.y = y;
    c.w = w;
    c.h = h;
    if (c.winname.empty()) {
        // The record stays, but belongs to no window and is never created.
        guinotice("invalid window control name : " + fullname + " !", "guiaddcontrol");
        slot = 0;
    }
    state.lookup.curcontrol = slot;
}

namespace {

void guidefine(const char* cls, DWORD style) {
    state.creation.pendingclass = cls;
    state.creation.pendingstyle = style;
}

void guisetrecordicon(const std::string& file) {
    if (!state.lookup.curcontrol || !guicore::fileexists(file)) return;
    GuiControl& c = state.tables.controls[state.lookup.curcontrol];
    if (c.icon) DestroyIcon(c.icon);
    HICON icon = ExtractIconA(state.program.instance, file.c_str(), 0);
    c.icon = reinterpret_cast<UINT_PTR>(icon) <= 1 ? nullptr : icon;
}

void guisetrecordbitmap(const std::string& file) {
    if (!state.lookup.curcontrol || !guicore::fileexists(file)) return;
    GuiControl& c = state.tables.controls[state.lookup.curcontrol];
    if (c.bitmap) DeleteObject(c.bitmap);
    c.bitmap = guiloadimage(file);
}

}  // namespace

void guibutton(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h,
               DWORD style) {
    guidefine("button", WS_BORDER);
    guiaddcontrol(name, text, sub, x, y, w, h, style);
}

void guiradiobutton(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h) {
    guidefine("button", BS_RADIOBUTTON);
    guiaddcontrol(name, text, sub, x, y, w, h, 0);
}

void guicheckbox(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h) {
    guidefine("button", BS_CHECKBOX);
    guiaddcontrol(name, text, sub, x, y, w, h, 0);
}

void guiiconbutton(const std::string& name, const std::string& iconfile, guisub sub, int x, int y, int w, int h) {
    guidefine("button", BS_ICON);
    guiaddcontrol(name, "iconbutton", sub, x, y, w, h, 0);
    guisetrecordicon(iconfile);
}

void guibmpbutton(const std::string& name, const std::string& imagefile, guisub sub, int x, int y, int w, int h) {
    guidefine("button", BS_BITMAP);
    guiaddcontrol(name, "bmpbutton", sub, x, y, w, h, 0);
    guisetrecordbitmap(imagefile);
}

void guistaticicon(const std::string& name, const std::string& iconfile, int x, int y, int w, int h) {
    guidefine("static", SS_ICON | SS_CENTERIMAGE);
    guiaddcontrol(name, "staticicon", nullptr, x, y, w, h, 0);
    guisetrecordicon(iconfile);
}

void guistaticbmp(const std::string& name, const std::string& imagefile, int x, int y, int w, int h) {
    guidefine("static", SS_BITMAP | SS_CENTERIMAGE);
    guiaddcontrol(name, "staticbmp", nullptr, x, y, w, h, 0);
    guisetrecordbitmap(imagefile);
}

void guistatictext(const std::string& name, const std::string& text, int x, int y, int w, int h, DWORD style) {
    guidefine("static", SS_LEFT);
    guiaddcontrol(name, text, nullptr, x, y, w, h, style);
}

void guiedittext(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h,
                 DWORD style) {
    guidefine("edit", ES_MULTILINE | ES_WANTRETURN);
    guiaddcontrol(name, text, sub, x, y, w, h, style);
}

void guicombobox(const std::string& name, guisub sub, int x, int y, int w, int h) {
    guidefine("combobox", CBS_DROPDOWN | WS_VSCROLL);
    guiaddcontrol(name, "combo", sub, x, y, w, h, 0);
}

void guilistbox(const std::string& name, guisub sub, int x, int y, int w, int h, DWORD style) {
    guidefine("listbox", LBS_NOTIFY | WS_VSCROLL);
    guiaddcontrol(name, "listebox", sub, x, y, w, h, style);
}

void guigraphicbox(const std::string& name, int x, int y, int w, int h, const std::string& mode, DWORD style) {
    guidefine("static", SS_BLACKFRAME);
    guiaddcontrol(name, "graphicbox", nullptr, x, y, w, h, style);
    if (!state.lookup.curcontrol) return;
    // A box redefined in another mode is a plain frame: its old picture goes.
    GuiControl& c = state.tables.controls[state.lookup.curcontrol];
    guicore::releaseimage(c.image);
    if (mode == "gfx") c.image = guiimagecreate(w, h, 0xFF000000u);
}

GuiImage* guigetgraphicimage(const std::string& name) {
    for (int i = 1; i <= state.tables.controlcount; ++i)
        if (state.tables.controls[i].image && state.tables.controls[i].fullname == name) return state.tables.controls[i].image;
    return nullptr;
}
