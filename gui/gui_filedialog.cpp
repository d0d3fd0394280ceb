// File dialogs: the system's open or save dialog, described by a title and
// a compact line holding the start folder and the file types.
#include "gui_state.h"

#include <commdlg.h>

#include <cstddef>
#include <cstring>

using guicore::state;

std::string guiword(const std::string& text, uint32_t n, const std::string& separator) {
    if (n == 0 || text.empty()) return "";
    if (separator.empty()) return n == 1 ? text : "";
    size_t start = 0;
    for (uint32_t field = 1; field < n; ++field) {
        size_t at = text.find(separator, start);
        if (at == std::string::npos) return "";
        start = at + separator.size();
    }
    size_t end = text.find(separator, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

namespace {

constexpr size_t filterlimit = 200;   // characters of the list stay in offsets 0..199
constexpr size_t shortbuffer = 255;   // the longest entry, pattern or shown text

std::string cut(const std::string& text, size_t most) { return text.size() > most ? text.substr(0, most) : text; }

// Appends characters with the write position checked after each one; the
// zero separators are not checked.
struct FilterWriter {
    std::string& list;
    bool full = false;
    void text(const std::string& characters) {
        for (char c : characters) {
            if (full) return;
            list.push_back(c);
            if (list.size() > filterlimit) full = true;
        }
    }
    void zero() { list.push_back('\0'); }
};

}  // namespace

// The system's double-zero-terminated list for the part of a filter line
// after its last "\": "description (pattern)", zero, pattern, zero per entry
// up to the first empty one, then the entry for all files and the final
// zero. False when the characters would not fit.
bool guicore::filterlist(const std::string& entries, std::string& list) {
    list.clear();
    FilterWriter out{list};
    std::string tail = cut(entries, shortbuffer);
    for (uint32_t n = 1;; ++n) {
        std::string entry = cut(guiword(tail, n, ";"), shortbuffer);
        if (entry.empty()) break;
        std::string pattern = cut(guiword(entry, 1, ","), shortbuffer);
        std::string shown = cut(guiword(entry, 2, ",") + " (" + pattern + ")", shortbuffer);
        out.text(shown);
        out.zero();
        out.text(pattern);
        out.zero();
        if (out.full) return false;
    }
    out.text("All  (*.*)");
    out.zero();
    out.text("*.*");
    out.zero();
    out.zero();
    return !out.full;
}

// What the shipped 32-bit program hands the system: 76 bytes.
static_assert(sizeof(void*) != 4 || offsetof(OPENFILENAMEA, pvReserved) == 76, "dialog record of 76 bytes");

std::string guifiledialog(const std::string& title, const std::string& filterspec) {
    size_t slash = filterspec.rfind('\\');
    std::string tail = slash == std::string::npos ? filterspec : filterspec.substr(slash + 1);
    std::string folder = slash == std::string::npos ? "" : filterspec.substr(0, slash + 1);
    if (folder.empty()) {
        char current[MAX_PATH + 1] = {0};
        GetCurrentDirectoryA(MAX_PATH, current);
        folder = current;
    }

    std::string filter;
    if (!guicore::filterlist(tail, filter)) return "";

    char shown[32] = {0};   // the title shows at most 31 characters
    std::memcpy(shown, title.data(), title.size() < 31 ? title.size() : 31);
    char path[261] = {0};

    // The record without the extended fields, as every version of the
    // dialog accepts it.
    OPENFILENAMEA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = nullptr;
    dialog.hInstance = state.program.instance;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = shown;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;

    bool save = title.find("save") != std::string::npos;
    BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    path[sizeof path - 1] = 0;
    return chosen ? path : "";
}
