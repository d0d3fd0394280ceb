// Windows and controls by name: the two tables and their records, start-up
// and reset, the event pump and its event context, traps, and declaring
// controls.
#ifndef GUI_GUI_CORE_H
#define GUI_GUI_CORE_H

#include <windows.h>

#include <cstdint>
#include <string>

// A handler: runs synchronously inside the window procedure and reads what
// it needs about the event from the event context below.
typedef void (*guisub)();

// A 32-bit raster image of the drawing layer (the picture of a "gfx"
// graphic box). Null as a raster target means the off-screen surface.
struct GuiImage;

// ---- records ---------------------------------------------------------------
// One row of the window table. Records outlive their windows: closing keeps
// the name, traps and title, so the next opening brings it all back.
struct GuiWindow {
    std::string name;
    HWND handle = nullptr;
    std::string title;
    DWORD style = 0, exstyle = 0;
    HMENU menu = nullptr;   // the menu bar, made by the first addmenu
    int open = 0;
    guisub closetrap = nullptr, resizetrap = nullptr, keytrap = nullptr;
};

enum GuiMouseTrap { TRAP_LDOWN, TRAP_RDOWN, TRAP_MOVE, TRAP_LUP, TRAP_RUP, TRAP_COUNT };

// One row of the control table; menus and menu items are rows too.
struct GuiControl {
    std::string fullname;   // window name "." control name
    std::string winname;    // up to the first "."; empty: belongs to no window
    std::string cls;
    std::string text;
    HWND handle = nullptr;   // for "menu" records the drop-down's HMENU, for items 1
    guisub sub = nullptr;
    DWORD style = 0;
    int x = 0, y = 0, w = 0, h = 0;
    HICON icon = nullptr;
    HBITMAP bitmap = nullptr;
    GuiImage* image = nullptr;
    guisub traps[TRAP_COUNT] = {};
};

// ---- start-up, windows, names --------------------------------------------
void guistartup();   // once per process; later calls do nothing
void guiinit();      // full reset: closes everything, empties the tables
void guiopenwindow(const std::string& name, const std::string& title, int x, int y, int w, int h,
                   DWORD style, DWORD exstyle);
void guiclosewindow(const std::string& name);
void guiclose(const std::string& message);
void guiquit(const std::string& message);
int guifindname(const std::string& name);
HWND guigethandle(const std::string& name);
std::string guigetnameof(HWND handle);

// Read-only views of the tables. An index outside 1..count gives the empty
// slot 0, never a neighbour's record.
int guiwindowcount();
int guicontrolcount();
const GuiWindow& guiwindowrecord(int index);
const GuiControl& guicontrolrecord(int index);
std::string guilookupkind();     // of the last guifindname: "window", "control" or ""
bool guiclassregistered();       // from the first guiopenwindow until guiclose
std::string guiprogramdir();     // the toolkit module's folder, without the final "\"

// ---- event pump ------------------------------------------------------------
LRESULT CALLBACK guiwindowproc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void guiscan();
void guiwaitevent();
int guitestkey(int key);
std::string guigetchar();
int guiquitreceived();   // 1 once guiscan has taken the quit message

// The event context, read by handlers.
HWND guieventwindow();
WPARAM guieventwparam();
LPARAM guieventlparam();
WPARAM guikeycode();
UINT guikeymessage();
int guicommandcode();
int guicurrentcontrol();
HWND guicurrenthandle();
int guimousex();
int guimousey();

// ---- traps -----------------------------------------------------------------
void trapclose(const std::string& window, guisub handler);
void trapresize(const std::string& window, guisub handler);
void trapkeyboard(const std::string& window, guisub handler);
void trapleftmouse(const std::string& control, guisub handler);
void traprightmouse(const std::string& control, guisub handler);
void trapleftmouseup(const std::string& control, guisub handler);
void traprightmouseup(const std::string& control, guisub handler);
void trapmovemouse(const std::string& control, guisub handler);

// ---- controls --------------------------------------------------------------
void guiaddcontrol(const std::string& fullname, const std::string& text, guisub sub, int x, int y, int w,
                   int h, DWORD style);
void guibutton(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h,
               DWORD style);
void guiradiobutton(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h);
void guicheckbox(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h);
void guiiconbutton(const std::string& name, const std::string& iconfile, guisub sub, int x, int y, int w, int h);
void guibmpbutton(const std::string& name, const std::string& imagefile, guisub sub, int x, int y, int w, int h);
void guistaticicon(const std::string& name, const std::string& iconfile, int x, int y, int w, int h);
void guistaticbmp(const std::string& name, const std::string& imagefile, int x, int y, int w, int h);
void guistatictext(const std::string& name, const std::string& text, int x, int y, int w, int h, DWORD style);
void guiedittext(const std::string& name, const std::string& text, guisub sub, int x, int y, int w, int h,
                 DWORD style);
void guicombobox(const std::string& name, guisub sub, int x, int y, int w, int h);
void guilistbox(const std::string& name, guisub sub, int x, int y, int w, int h, DWORD style);
void guigraphicbox(const std::string& name, int x, int y, int w, int h, const std::string& mode, DWORD style);
GuiImage* guigetgraphicimage(const std::string& name);

#endif
