// Mouse traps driven by the real pointer: SendInput moves and clicks the
// system's own cursor, so the messages arrive as a user's would.
#include "../gui_testing.h"

#include <vector>

namespace {

std::vector<std::pair<int, int>> downs, ups;
const bool pointsreset = resetbeforeeachtest([] { downs.clear(), ups.clear(); });
void ondown() { downs.push_back({guimousex(), guimousey()}); }
void onup() { ups.push_back({guimousex(), guimousey()}); }

// Sends one mouse event and scans until the thread has seen it: the cursor
// at the place, or the left button's state changed.
void mouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Absolute positions are on a 0..65535 scale of the primary screen.
        in.mi.dx = static_cast<LONG>((x * 65536LL + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN));
        in.mi.dy = static_cast<LONG>((y * 65536LL + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN));
    }
    SendInput(1, &in, sizeof in);
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        pumpuntil([&] {
            POINT now = {};
            GetCursorPos(&now);
            return now.x == x && now.y == y;
        });
    } else {
        const int pressed = (flags & MOUSEEVENTF_LEFTDOWN) ? -1 : 0;
        pumpuntil([&] { return guitestkey(VK_LBUTTON) == pressed; });
    }
}

using GuiPointer = GuiTest;

}  // namespace

TEST_F(GuiPointer, ARealClickOnAGraphicBoxFiresItsTraps) {
    guigraphicbox("main.box", 40, 30, 120, 80, "plain", 0);
    guibutton("main.go", "go", nullptr, 200, 30, 60, 30, 0);
    guiopenwindow("main", "main", 100, 100, 320, 200, WS_POPUP | WS_VISIBLE, 0);
    trapleftmouse("main.box", ondown);
    trapleftmouseup("main.box", onup);
    trapleftmouse("main.go", ondown);
    HWND win = guigethandle("main");
    SetForegroundWindow(win);
    pump();

    POINT at = {40 + 25, 30 + 15};
    ClientToScreen(win, &at);
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at.x, at.y);
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0], std::make_pair(25, 15));
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0], std::make_pair(25, 15));

    // Over a button the button takes the mouse: its trap does not fire.
    POINT button = {200 + 10, 30 + 10};
    ClientToScreen(win, &button);
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, button.x, button.y);
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(downs.size(), 1u);
}
