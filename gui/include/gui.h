// The toolkit's operations: named windows and controls, the event pump,
// traps, notices and image files, the raster layer of graphic boxes, text,
// colours and fonts, control operations, user subs, menus, file dialogs, and the OpenGL
// graphic box with its text, textures and shapes.
// Everything is addressed by name; failures end in notices, never in codes.
// One header per concern; a program includes this one.
#ifndef GUI_GUI_H
#define GUI_GUI_H

#include "gui_core.h"
#include "gui_images.h"
#include "gui_text.h"
#include "gui_controlops.h"
#include "gui_menus.h"
#include "gui_filedialog.h"
#include "gui_graphics.h"

#endif
