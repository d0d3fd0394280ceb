// For the few tests that must stage what no operation makes: a window
// handle gone from its record, an image loader bound from another folder.
// Everything else goes through the toolkit's own operations.
#ifndef TESTS_GUI_GUI_INTERNALS_H
#define TESTS_GUI_GUI_INTERNALS_H

#include "../../gui/gui_state.h"

using guicore::state;

#endif
