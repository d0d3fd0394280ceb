// User subs: handlers bound to bare command identifiers 1000..10000, which
// the window procedure runs for commands that come from no control.
#include "gui_state.h"

using guicore::state;

namespace {

std::string toolarge(uint32_t index) {
    return "usersub index max = " + std::to_string(GUI_MAXUSERSUB) + " , asked= " + std::to_string(index);
}

}  // namespace

void addusersub(uint32_t index, guisub handler) {
    if (index < 1000) {
        guinotice("usersub index must be >= 1000\rindex asked : " + std::to_string(index), "addusersub");
        return;
    }
    if (index > GUI_MAXUSERSUB) {
        guinotice(toolarge(index), "addusersub");
        return;
    }
    if (state.usersubs.slots[index]) {
        guinotice("usersub index : " + std::to_string(index) + "  yet used !", "addusersub");
        return;
    }
    state.usersubs.slots[index] = handler;
}

// No lower bound: slots below 1000 may be written, though no command ever
// reaches them (those identifiers belong to controls and menu items).
void changeusersub(uint32_t index, guisub handler) {
    if (index > GUI_MAXUSERSUB) {
        guinotice(toolarge(index), "changeusersub");
        return;
    }
    state.usersubs.slots[index] = handler;
}
