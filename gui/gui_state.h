// The toolkit's one state record. Everything the toolkit remembers lives in
// `gui`; the sources of gui/ share it and the helpers declared here.
#ifndef GUI_GUI_STATE_H
#define GUI_GUI_STATE_H

#include "gui.h"

#include <vector>

constexpr int GUI_MAXWINDOWS = 900;    // bounds each table separately
constexpr int GUI_MAXUSERSUB = 10000;  // highest user-sub identifier
constexpr int GUI_TEXTBUF = 4000;

struct GuiImage {
    int w = 0, h = 0;
    std::vector<uint32_t> px;   // row-major, top row first
};

struct GuiWindow {
    std::string name;
    HWND handle = nullptr;
    std::string title;
    DWORD style = 0, exstyle = 0;
    HMENU menu = nullptr;
    int open = 0;
    guisub closetrap = nullptr, resizetrap = nullptr, keytrap = nullptr;
};

enum GuiMouseTrap { TRAP_LDOWN, TRAP_RDOWN, TRAP_MOVE, TRAP_LUP, TRAP_RUP, TRAP_COUNT };

struct GuiControl {
    std::string fullname;
    std::string winname;
    std::string cls;
    std::string text;
    HWND handle = nullptr;   // for "menu" records the drop-down's HMENU
    guisub sub = nullptr;
    DWORD style = 0;
    int x = 0, y = 0, w = 0, h = 0;
    HICON icon = nullptr;
    HBITMAP bitmap = nullptr;
    GuiImage* image = nullptr;
    guisub traps[TRAP_COUNT] = {};
};

struct GuiEventContext {
    HWND window = nullptr;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    WPARAM keycode = 0;
    UINT keymessage = 0;
    int commandcode = 0;
    int mousex = 0, mousey = 0;
    std::string lastchar;
};

// Colours are COLORREF; fonts and brushes are created on demand.
struct GuiAppearance {
    COLORREF windowcolour = 0;   // 0 selects the system button face
    COLORREF editbk = 0xFFFFFF, edittext = 0;
    COLORREF listbk = 0xFFFFFF, listtext = 0;
    COLORREF statictext = 0;
    HBRUSH editbrush = nullptr, listbrush = nullptr;
    HFONT editfont = nullptr, staticfont = nullptr, listfont = nullptr, buttonfont = nullptr;
};

// jpeg.dll exports its entry with the C calling convention.
typedef HBITMAP (*guiimageloader)(int, const char*);

struct GuiLoader {
    HMODULE library = nullptr;
    guiimageloader load = nullptr;   // never null once bound: the stub at worst
};

// The single program-wide OpenGL binding and the glyph lists' base.
struct GuiOpenGL {
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC rc = nullptr;
    int listbase = 99000;
    unsigned fonttexture = 0;
};

// The off-screen surface: desktop-sized, 32-bit, top-down, painted with
// StretchDIBits through `header`.
struct GuiSurface {
    GuiImage image;
    BITMAPV4HEADER header = {};
};

struct GuiState {
    bool started = false;

    GuiWindow windows[GUI_MAXWINDOWS + 1];
    GuiControl controls[GUI_MAXWINDOWS + 1];
    guisub usersubs[GUI_MAXUSERSUB + 1] = {};
    int windowcount = 0, controlcount = 0;

    int opening = 0;          // slot of the window inside CreateWindowExA
    int curcontrol = 0;       // last recorded, found or commanding control
    HWND curhandle = nullptr;
    std::string lookupkind;   // "window", "control" or ""

    std::string pendingclass; // set by each creator just before guiaddcontrol
    DWORD pendingstyle = 0;

    bool classregistered = false;
    HBRUSH classbrush = nullptr;
    bool ownclassbrush = false;   // system colour brushes are not ours to delete
    HICON appicon = nullptr;
    std::string iconpath;
    HINSTANCE instance = nullptr;
    std::string progdir;

    GuiEventContext event;
    int quitreceived = 0;
    int enterlatch = 0;

    GuiAppearance look;
    GuiLoader loader;
    guiboxhook noticehook = nullptr;   // null: the default message box
    char textbuf[GUI_TEXTBUF] = {};
    GuiOpenGL gl;
    HDC refdc = nullptr;
    GuiSurface surface;
};

extern GuiState gui;

// Shared lookups: first match in slots 1..count, exact names.
int guiwindowindex(const std::string& name);
int guicontrolindex(const std::string& fullname);
int guiwindowbyhandle(HWND handle);
bool guifileexists(const std::string& path);

// A record without a window part belongs to no window, not even to one
// whose name is empty.
inline bool guiownedby(const GuiControl& c, const std::string& window) {
    return !c.winname.empty() && c.winname == window;
}

// Pieces used across sources.
void guicreatecontrols(HWND parent, int window);
void guipaintwindow(HWND hwnd, int window);
void guidispatchmouse(int window, UINT msg, LPARAM lparam);
void guisurfacecreate(int width, int height);
void guisurfacecopy(const GuiImage& image);
const void* guisurfacelock(const BITMAPINFO*& header);
void guisurfaceunlock();
void guireleaseimage(GuiImage*& image);
void guiunbindimageloader();
void guiremakebrushes();

#endif
