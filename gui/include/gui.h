// The toolkit's operations: named windows and controls, the event pump,
// traps, notices and image files, and the raster layer of graphic boxes.
// Everything is addressed by name; failures end in notices, never in codes.
// One header per concern; a program includes this one.
#ifndef GUI_GUI_H
#define GUI_GUI_H

#include "gui_core.h"
#include "gui_images.h"
#include "gui_graphics.h"

#endif
