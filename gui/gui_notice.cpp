// Notices (the toolkit's only error report) and image files.
#include "gui_state.h"

using guicore::state;

#include <cstring>

namespace {

// The program draws off-screen only, so a notice has no owner window; the
// pause keeps a burst of notices from stacking up on the user.
int guidefaultbox(const char* text, const char* title, unsigned flags) {
    int answer = MessageBoxA(nullptr, text, title, flags);
    Sleep(200);
    return answer;
}

int guibox(const std::string& text, const std::string& title, unsigned flags) {
    guiboxhook hook = state.notices.hook ? state.notices.hook : guidefaultbox;
    return hook(text.c_str(), title.c_str(), flags);
}

HBITMAP guistubloader(int, const char*) { return nullptr; }

}  // namespace

guiboxhook guisetnoticehook(guiboxhook hook) {
    guiboxhook previous = state.notices.hook ? state.notices.hook : guidefaultbox;
    state.notices.hook = hook;
    return previous;
}

void guinotice(const std::string& text, const std::string& title) {
    guibox(text, title, MB_OK | MB_TASKMODAL);
}

void guiconfirm(const std::string& text, const std::string& title, std::string& answer) {
    answer = guibox(text, title, MB_OKCANCEL | MB_TASKMODAL) == IDOK ? "yes" : "no";
}

// jpeg.dll sits beside the program; without it every decode falls to the
// stub, which reports failure through guiloadimage's notice.
void guibindimageloader() {
    if (!state.loader.library) state.loader.library = LoadLibraryA((state.program.progdir + "/jpeg.dll").c_str());
    state.loader.load = nullptr;
    if (state.loader.library)
        state.loader.load = reinterpret_cast<guicore::guiimageloader>(
            reinterpret_cast<void*>(GetProcAddress(state.loader.library, "LoadImageFile")));
    if (!state.loader.load) state.loader.load = guistubloader;
}

void guicore::unbindimageloader() {
    if (state.loader.library) FreeLibrary(state.loader.library);
    state.loader.library = nullptr;
    state.loader.load = guistubloader;
}

bool guicore::fileexists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HBITMAP guiloadimage(const std::string& filename) {
    if (!guicore::fileexists(filename)) return nullptr;
    // The decoder takes at most 250 characters; the rest of the buffer stays
    // zero so the name is always terminated.
    char buffer[256] = {0};
    std::memcpy(buffer, filename.data(), filename.size() < 250 ? filename.size() : 250);
    if (!state.loader.load) guibindimageloader();
    HBITMAP bitmap = state.loader.load(0, buffer);
    if (!bitmap) guinotice("erreur loadimage :" + filename, "guiloadimage");
    return bitmap;
}

HBITMAP guiloadbmpdib(const std::string& filename) {
    if (!guicore::fileexists(filename)) return nullptr;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, filename.c_str(), IMAGE_BITMAP, 0, 0,
                                                      LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION));
    if (!bitmap) guinotice("erreur loadbmp :" + filename, "guiloadbmpdib");
    return bitmap;
}

void* guibitmapbits(HBITMAP bitmap) {
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info)) return nullptr;
    return info.bmBits;
}

namespace {

// Bisection on GetPixel, which fails outside the selected bitmap; column
// and row 0 are taken to exist.
int guiprobeextent(HDC dc, int high, bool horizontal) {
    int low = 0;
    while (high - low >= 2) {
        int middle = (high + low) / 2;
        COLORREF c = horizontal ? GetPixel(dc, middle, 0) : GetPixel(dc, 0, middle);
        if (c == CLR_INVALID)
            high = middle;
        else
            low = middle;
    }
    return high < 1 ? 1 : high;
}

}  // namespace

void guiprobesize(HDC dc, int& width, int& height) {
    width = guiprobeextent(dc, 8000, true);
    height = guiprobeextent(dc, 2000, false);
}
