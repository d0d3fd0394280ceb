// Notices (the toolkit's only error report), image files, and the raster
// layer that holds the pictures of "gfx" graphic boxes.
#ifndef GUI_GUI_IMAGES_H
#define GUI_GUI_IMAGES_H

#include <windows.h>

#include <cstdint>
#include <string>

struct GuiImage;

// The one way a notice reaches the screen. Returns the pressed button.
typedef int (*guiboxhook)(const char* text, const char* title, unsigned flags);

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
