// The end-to-end test's eyes inside the Wine desktop: where the viewer's
// controls are on screen, and what a modal box says. Keys and clicks come
// from outside (xdotool), as a user's would.
//   probe where TEXT      centre of the viewer's child control with TEXT
//                         ("combo" for the combo box, "close" for the
//                         window's close box), in screen pixels
//   probe box TITLE       waits for a box with TITLE, prints its text with
//                         carriage returns as \r and line feeds as \n, then
//                         presses its OK button
//   probe shown TITLE     exit 0 if a box or dialog with TITLE is on screen now
//   probe typing TITLE    exit 0 if that dialog's keyboard focus is in a text field
//   probe ready           exit 0 once the viewer's thread has pumped its messages
//                         twice: it is in its frame loop (or a modal box), and
//                         input sent before the call has reached it
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HWND viewerwindow() {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            char title[512] = {0};
            GetWindowTextA(w, title, sizeof title);
            if (std::strncmp(title, "tolvane", 7) != 0 || !IsWindowVisible(w)) return TRUE;
            reinterpret_cast<Search*>(p)->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND dialog(const char* title) {
    HWND box = FindWindowA("#32770", title);
    return box && IsWindowVisible(box) ? box : nullptr;
}

HWND waitfordialog(const char* title) {
    for (int i = 0; i < 300; ++i) {
        if (HWND box = dialog(title)) return box;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "ready") {
        HWND win = viewerwindow();
        DWORD_PTR answer = 0;
        for (int i = 0; i < 2; ++i)
            if (!win || !SendMessageTimeoutA(win, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) return 1;
        return 0;
    }
    if (argc != 3) return 2;
    const std::string command = argv[1], arg = argv[2];
    if (command == "shown") return dialog(arg.c_str()) ? 0 : 1;
    if (command == "typing") {
        HWND box = dialog(arg.c_str());
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!box || !GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) || !info.hwndFocus) return 1;
        char cls[32] = {0};
        GetClassNameA(info.hwndFocus, cls, sizeof cls);
        return IsChild(box, info.hwndFocus) && std::strcmp(cls, "Edit") == 0 ? 0 : 1;
    }
    if (command == "where") {
        HWND win = viewerwindow();
        if (!win) return 1;
        if (arg == "close") {   // the close box at the right end of the caption
            RECT r;
            GetWindowRect(win, &r);
            int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
            std::printf("%ld %ld\n", r.right - frame - GetSystemMetrics(SM_CXSIZE) / 2,
                        r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSIZE) / 2);
            return 0;
        }
        HWND child = arg == "combo" ? FindWindowExA(win, nullptr, "ComboBox", nullptr)
                                    : FindWindowExA(win, nullptr, "Button", arg.c_str());
        if (!child) return 1;
        RECT r;
        GetWindowRect(child, &r);
        std::printf("%ld %ld\n", (r.left + r.right) / 2, arg == "combo" ? r.top + 10 : (r.top + r.bottom) / 2);
        return 0;
    }
    HWND box = waitfordialog(arg.c_str());
    if (!box) return 1;
    if (command != "box") return 2;
    // Read once the box is set up: when the viewer's thread answers a sent
    // message from the box's modal loop (10 s guards against a hang).
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(box, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
    char text[4096] = {0};
    GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
    for (const char* c = text; *c; ++c) {
        if (*c == '\r')
            std::fputs("\\r", stdout);
        else if (*c == '\n')
            std::fputs("\\n", stdout);
        else
            std::fputc(*c, stdout);
    }
    std::fputc('\n', stdout);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    return 0;
}
