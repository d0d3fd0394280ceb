// Declaring controls. Nothing appears on screen here: a window creates its
// recorded controls while it is being created.
#include "gui_state.h"

#include <shellapi.h>

void guiaddcontrol(const std::string& fullname, const std::string& text, guisub sub, int x, int y, int w, int h,
                   DWORD style) {
    int slot = guicontrolindex(fullname);
    if (!slot) {
        if (gui.controlcount >= GUI_MAXWINDOWS) {
            guinotice(std::to_string(GUI_MAXWINDOWS) + " max ngui reached !", "guinotice");
            gui.curcontrol = 0;
            return;
        }
        slot = ++gui.controlcount;
    }
    GuiControl& c = gui.controls[slot];
    c.cls = gui.pendingclass;
    c.style = style ? style : gui.pendingstyle;   // a style replaces the default, never adds to it
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
    gui.curcontrol = slot;
}

namespace {

void guidefine(const char* cls, DWORD style) {
    gui.pendingclass = cls;
    gui.pendingstyle = style;
}

void guisetrecordicon(const std::string& file) {
    if (!gui.curcontrol || !guifileexists(file)) return;
    GuiControl& c = gui.controls[gui.curcontrol];
    if (c.icon) DestroyIcon(c.icon);
    HICON icon = ExtractIconA(gui.instance, file.c_str(), 0);
    c.icon = reinterpret_cast<UINT_PTR>(icon) <= 1 ? nullptr : icon;
}

void guisetrecordbitmap(const std::string& file) {
    if (!gui.curcontrol || !guifileexists(file)) return;
    GuiControl& c = gui.controls[gui.curcontrol];
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
    if (!gui.curcontrol) return;
    // A box redefined in another mode is a plain frame: its old picture goes.
    GuiControl& c = gui.controls[gui.curcontrol];
    guireleaseimage(c.image);
    if (mode == "gfx") c.image = guiimagecreate(w, h, 0xFF000000u);
}

GuiImage* guigetgraphicimage(const std::string& name) {
    for (int i = 1; i <= gui.controlcount; ++i)
        if (gui.controls[i].image && gui.controls[i].fullname == name) return gui.controls[i].image;
    return nullptr;
}
