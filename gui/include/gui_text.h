// What windows and controls show: their text by name, repainting, and the
// toolkit-wide colours and fonts that every control asks its parent for.
// Colours are red, green, blue from 0 to 255 (values outside are clamped).
#ifndef GUI_GUI_TEXT_H
#define GUI_GUI_TEXT_H

#include <windows.h>

#include <string>

void guisettext(const std::string& name, const std::string& text);
std::string guigettext(const std::string& name);   // at most 3999 characters

void guiredrawall();
void guiredrawwindow(const std::string& window);
void guiredraw(const std::string& name);

// Stock ids 10, 11, 12, 13, 14, 16 and 17 only; anything else, or a font
// the system will not make, gives the stock DEFAULT_GUI_FONT. A height of 0
// keeps the stock height; italic is 0 or 1.
HFONT guimakefont(int stockid, int height, int italic);
void guiseteditfont(int stockid, int height, int italic);
void guisetstaticfont(int stockid, int height, int italic);
void guisetlistfont(int stockid, int height, int italic);
void guisetbuttonfont(int stockid, int height, int italic);

// The window colour reaches the background when the window class is next
// registered; 0, 0, 0 means the system button-face colour.
void guisetwindowcolor(int red, int green, int blue);
void guiseteditbkcolor(int red, int green, int blue);
void guiseteditcolor(int red, int green, int blue);
void guisetlistbkcolor(int red, int green, int blue);
void guisetlistcolor(int red, int green, int blue);
void guisetstaticcolor(int red, int green, int blue);

#endif
