// The toolkit's one state record, guicore::state, in one section per
// concern. The sources of gui/ share it and the helpers declared here; the
// helpers live in guicore so that they are never taken for operations.
#ifndef GUI_GUI_STATE_H
#define GUI_GUI_STATE_H

#include "gui.h"

#include <vector>

constexpr int GUI_MAXWINDOWS = 900;    // bounds each table separately
constexpr int GUI_MAXUSERSUB = 10000;  // highest user-sub identifier
constexpr int GUI_TEXTBUF = 4000;
// Display lists GUI_GLYPHBASE..GUI_GLYPHBASE + 256 hold the toolkit's glyphs:
// code c calls list GUI_GLYPHBASE + c.
constexpr int GUI_GLYPHBASE = 99000;

// Every child control is created with these on top of its own style.
constexpr DWORD GUI_CHILDSTYLE = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

struct GuiImage {
    int w = 0, h = 0;
    std::vector<uint32_t> px;   // row-major, top row first
};

namespace guicore {

// The window and control tables: slot 0 is never filled.
struct GuiTables {
    GuiWindow windows[GUI_MAXWINDOWS + 1];
    GuiControl controls[GUI_MAXWINDOWS + 1];
    int windowcount = 0, controlcount = 0;
};

// What the last lookup, declaration or command left behind.
struct GuiLookup {
    int curcontrol = 0;       // last recorded, found or commanding control
    HWND curhandle = nullptr;
    std::string kind;         // "window", "control" or ""
};

// Declaring and creating: each creator sets the pending kind just before
// guiaddcontrol; `opening` is the slot of the window inside CreateWindowExA.
struct GuiCreation {
    std::string pendingclass;
    DWORD pendingstyle = 0;
    int opening = 0;
};

struct GuiProgram {
    bool started = false;
    HINSTANCE instance = nullptr;
    std::string progdir;
};

struct GuiWindowClass {
    bool registered = false;
    HBRUSH brush = nullptr;
    bool ownbrush = false;   // system colour brushes are not ours to delete
    HICON appicon = nullptr;
    std::string iconpath;
};

// The event context handlers read, and the pump's own state.
struct GuiEvents {
    HWND window = nullptr;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    WPARAM keycode = 0;
    UINT keymessage = 0;
    int commandcode = 0;
    int mousex = 0, mousey = 0;
    std::string lastchar;
    int quitreceived = 0;
    int enterlatch = 0;
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

// The buffer window and list texts are read through (at most 3999
// characters and the terminating zero).
struct GuiText {
    char buffer[GUI_TEXTBUF] = {};
};

// jpeg.dll exports its entry with the C calling convention.
typedef HBITMAP (*guiimageloader)(int, const char*);

struct GuiLoader {
    HMODULE library = nullptr;
    guiimageloader load = nullptr;   // never null once bound: the stub at worst
};

struct GuiNotices {
    guiboxhook hook = nullptr;   // null: the default message box
};

struct GuiPause {
    guisleepfunction wait = nullptr;   // null: Sleep
};

// Handlers bound to bare command identifiers 1000..10000.
struct GuiUserSubs {
    guisub slots[GUI_MAXUSERSUB + 1] = {};
};

// The single program-wide OpenGL binding and the glyph lists' base.
struct GuiOpenGL {
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC rc = nullptr;
    int listbase = GUI_GLYPHBASE;
    unsigned fonttexture = 0;   // 0 when "gui_font.bmp" could not be read
    HWND dcwindow = nullptr;    // where dc came from; a failed lookup clears only `window`
    HDC refdc = nullptr;        // memory bitmaps are made compatible with it (null: the screen)
};

// The off-screen surface: desktop-sized, 32-bit, top-down, painted with
// StretchDIBits through `header`.
struct GuiSurface {
    GuiImage image;
    BITMAPV4HEADER header = {};
};

struct GuiState {
    GuiProgram program;
    GuiTables tables;
    GuiLookup lookup;
    GuiCreation creation;
    GuiWindowClass wclass;
    GuiEvents events;
    GuiAppearance appearance;
    GuiText text;
    GuiLoader loader;
    GuiNotices notices;
    GuiPause pause;
    GuiUserSubs usersubs;
    GuiOpenGL gl;
    GuiSurface surface;
};

extern GuiState state;

// Shared lookups: first match in slots 1..count, exact names.
int windowindex(const std::string& name);
int controlindex(const std::string& fullname);
int windowbyhandle(HWND handle);
bool fileexists(const std::string& path);

// A record without a window part belongs to no window, not even to one
// whose name is empty.
inline bool ownedby(const GuiControl& c, const std::string& window) {
    return !c.winname.empty() && c.winname == window;
}

// Pieces used across sources.
void createcontrols(HWND parent, int window);
void paintwindow(HWND hwnd, int window);
void dispatchmouse(int window, UINT msg, LPARAM lparam);
LRESULT ctlcolour(UINT msg, HWND hwnd, WPARAM wparam, LPARAM lparam);
void surfacecreate(int width, int height);
void surfacecopy(const GuiImage& image);
const void* surfacelock(const BITMAPINFO*& header);
void surfaceunlock();
void releaseimage(GuiImage*& image);
void unbindimageloader();
void remakebrushes();

// The file dialog's filter list for the entries after the folder; false
// when it would not fit.
bool filterlist(const std::string& entries, std::string& list);

}  // namespace guicore

#endif
