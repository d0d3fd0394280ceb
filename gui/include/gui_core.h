// The toolkit's operations: named windows and controls, the event pump,
// traps, notices and image files, and the raster layer of graphic boxes.
// Everything is addressed by name; failures end in notices, never in codes.
#ifndef GUI_GUI_H
#define GUI_GUI_H

#include <windows.h>

#include <cstdint>
#include <string>

// A handler: runs synchronously inside the window procedure and reads what
// it needs about the event from the event context below.
typedef void (*guisub)();

// The one way a notice reaches the screen. Returns the pressed button.
typedef int (*guiboxhook)(const char* text, const char* title, unsigned flags);

// A 32-bit raster image of the drawing layer (the picture of a "gfx"
// graphic box). Null as a raster target means the off-screen surface.
struct GuiImage;

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

// ---- event pump ------------------------------------------------------------
LRESULT CALLBACK guiwindowproc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void guiscan();
void guiwaitevent();
int guitestkey(int key);
std::string guigetchar();

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

// ---- notices and image files ---------------------------------------------
guiboxhook guisetnoticehook(guiboxhook hook);   // returns the previous; null restores the default
void guinotice(const std::string& text, const std::string& title);
void guiconfirm(const std::string& text, const std::string& title, std::string& answer);
void guibindimageloader();
HBITMAP guiloadimage(const std::string& filename);
HBITMAP guiloadbmpdib(const std::string& filename);
void* guibitmapbits(HBITMAP bitmap);
void guiprobesize(HDC dc, int& width, int& height);

// ---- raster layer ----------------------------------------------------------
// Pixels are 0xAARRGGBB. Coordinates are single-precision, as callers pass
// them; a position outside the image reads as -1 and writes nothing.
GuiImage* guiimagecreate(int width, int height, uint32_t fill);
void guiimagefree(GuiImage* image);
int guiimagewidth(const GuiImage* image);    // null: the off-screen surface
int guiimageheight(const GuiImage* image);
void guisetpixel(GuiImage* target, float x, float y, uint32_t colour);
int64_t guigetpixel(const GuiImage* target, float x, float y);

#endif
