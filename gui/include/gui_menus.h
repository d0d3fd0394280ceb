// Commands without a control: user subs bound to identifiers 1000..10000,
// and menu bars whose drop-downs and items are rows of the control table.
#ifndef GUI_GUI_MENUS_H
#define GUI_GUI_MENUS_H

#include "gui_core.h"

#include <cstdint>
#include <string>

// Indices are unsigned: -1 is 4294967295 and refused as too large.
void addusersub(uint32_t index, guisub handler);
void changeusersub(uint32_t index, guisub handler);   // 0 frees the slot

// A drop-down is named window "." menu, an item window "." menu "." item.
// The window must be open; choosing an item runs its sub with the item's
// control index as the command identifier. Positions count from 1 inside
// one drop-down.
void addmenu(const std::string& name, const std::string& title, DWORD flags);
void addmenuitem(const std::string& name, const std::string& label, guisub sub, DWORD flags);
void setmenuitemstate(const std::string& menu, int position, UINT state);   // replaces the whole state
void setmenuitemcheck(const std::string& menu, int position);
void setmenuitemuncheck(const std::string& menu, int position);
void setmenuitemenable(const std::string& menu, int position);
void setmenuitemdisable(const std::string& menu, int position);
void setmenutext(const std::string& menu, int position, const std::string& text);   // first 254 characters

#endif
