// The system's open and save dialogs, described by a title and one line:
//   [folder\]pattern,description;pattern,description...
// e.g. "objects\*.obj,obj files ;*.3ds,3DS files ". "All  (*.*)" is always
// offered last. A title containing "save" shows the save dialog.
#ifndef GUI_GUI_FILEDIALOG_H
#define GUI_GUI_FILEDIALOG_H

#include <cstdint>
#include <string>

// The chosen full path, or "" on cancel, on error, and without a dialog
// when the filter list would not fit its 200 bytes.
std::string guifiledialog(const std::string& title, const std::string& filterspec);

// Field n (from 1) of text split at separator; "" for n = 0, an empty text
// or too few fields.
std::string guiword(const std::string& text, uint32_t n, const std::string& separator);

#endif
