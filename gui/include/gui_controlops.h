// Changing and reading windows and controls by name. A name that finds no
// handle (unknown, closed, not created yet) makes an operation do nothing:
// string results are "" and out values stay as they were.
//
// Combo-box and list-box items are numbered from 1; 0 means no selection.
// An item array is a std::vector<std::string>: an empty element 0 is not an
// item (element i is then position i), a non-empty element 0 is position 1;
// the first empty element after element 0 ends the list. An empty vector
// holds no items.
#ifndef GUI_GUI_CONTROLOPS_H
#define GUI_GUI_CONTROLOPS_H

#include <windows.h>

#include <string>
#include <vector>

void guienable(const std::string& name);
void guidisable(const std::string& name);
void guishow(const std::string& name);
void guihide(const std::string& name);
void guishownoactivate(const std::string& name);
void guienablehandle(HWND handle);
void guidisablehandle(HWND handle);
void guishowhandle(HWND handle);
void guihidehandle(HWND handle);

void guicombofill(const std::string& name, const std::vector<std::string>& items);
void guicomboadd(const std::string& name, const std::string& text);   // "" adds nothing
void guicomboselecttext(const std::string& name, const std::string& text, const std::vector<std::string>& items);
void guicomboselect(const std::string& name, int position);
void guicombogetselection(const std::string& name, int& position);
void guicombodelete(const std::string& name, int position);
void guicomboclear(const std::string& name);
// The selected item's element of the array the box was filled from.
std::string guicombogetselecttext(const std::string& name, const std::vector<std::string>& items);

void guicheck(const std::string& name);
void guiuncheck(const std::string& name);

void guilistfill(const std::string& name, const std::vector<std::string>& items);
void guilistadd(const std::string& name, const std::string& text);    // "" adds an empty item
void guilistselecttext(const std::string& name, const std::string& text, const std::vector<std::string>& items);
void guilistselect(const std::string& name, int position);
void guilistgetselection(const std::string& name, int& position);
std::string guilistgettext(const std::string& name, int position);   // at most 3999 characters
std::string guilistgetselecttext(const std::string& name);

int guiisopen(const std::string& window);   // 1 while the window is open; 0 for any other name
void guigetrect(const std::string& name, int& x, int& y, int& w, int& h);   // screen coordinates
void guimovewindow(const std::string& name, int x, int y, int w, int h);
// A width or height of 0 keeps the recorded one; a graphic box whose size
// changes gets a new, black picture.
void guimovecontrol(const std::string& name, int x, int y, int w, int h);
void guisetfocus(const std::string& name);
void guisetfocushandle(HWND handle);

std::string guigetcontrolname();   // the control of the last command or lookup
void guisleep(int milliseconds);   // clamped to 1..30000
// What guisleep waits with (Sleep unless replaced): a test puts a clock of its
// own here, so that the 30 s clamp is seen without waiting 30 s. Returns the
// previous one; null restores Sleep.
typedef void(WINAPI* guisleepfunction)(DWORD milliseconds);   // the convention of Sleep
guisleepfunction guisetsleepfunction(guisleepfunction wait);
void guimessage(const std::string& text, const std::string& title);
std::string guiquestion(const std::string& text, const std::string& title);   // "yes" or "no"

#endif
