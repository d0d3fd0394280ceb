// Mouse traps: which control's rectangle takes a mouse message.
#include "gui_testing.h"

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, std::pair<int, int>>> hits;   // (trap id, mouse x, y)
const bool hitsreset = resetbeforeeachtest([] { hits.clear(); });
void hit(int id) { hits.push_back({id, {guimousex(), guimousey()}}); }
void firstdown() { hit(1); }
void seconddown() { hit(2); }
void otherdown() { hit(3); }
void firstrightup() { hit(4); }
void firstmove() { hit(5); }

void send(HWND win, UINT msg, int x, int y) { SendMessageA(win, msg, 0, MAKELPARAM(x, y)); }

}  // namespace

TEST_F(GuiTest, TheLowestIndexedRectangleHoldingThePointerTakesTheClick) {
    guigraphicbox("main.first", 10, 10, 100, 100, "plain", 0);
    guigraphicbox("main.second", 50, 50, 100, 100, "plain", 0);
    guigraphicbox("other.same", 10, 10, 100, 100, "plain", 0);
    guiopenwindow("main", "Main", 0, 0, 320, 240, WS_OVERLAPPEDWINDOW, 0);
    guiopenwindow("other", "Other", 0, 0, 320, 240, WS_OVERLAPPEDWINDOW, 0);
    trapleftmouse("main.first", firstdown);
    trapleftmouse("main.second", seconddown);
    trapleftmouse("other.same", otherdown);
    HWND main = guigethandle("main");

    send(main, WM_LBUTTONDOWN, 60, 60);    // in both: the lower index only
    send(main, WM_LBUTTONDOWN, 110, 110);  // right-bottom edge of the first
    send(main, WM_LBUTTONDOWN, 111, 111);  // just past it: the second
    send(main, WM_LBUTTONDOWN, 10, 10);    // top-left corner of the first
    send(main, WM_LBUTTONDOWN, 9, 60);     // left of both
    send(main, WM_LBUTTONDOWN, 150, 151);  // below the second
    const std::vector<std::pair<int, std::pair<int, int>>> expected = {
        {1, {50, 50}}, {1, {100, 100}}, {2, {61, 61}}, {1, {0, 0}}};
    EXPECT_EQ(hits, expected);

    // The trap of the same rectangle in the other window answers there only.
    hits.clear();
    send(guigethandle("other"), WM_LBUTTONDOWN, 20, 20);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].first, 3);
}

TEST_F(GuiTest, EachMouseMessageFiresItsOwnTrap) {
    guigraphicbox("main.box", 20, 30, 100, 50, "plain", 0);
    guiopenwindow("main", "Main", 0, 0, 320, 240, WS_OVERLAPPEDWINDOW, 0);
    trapmovemouse("main.box", firstmove);
    traprightmouseup("main.box", firstrightup);
    EXPECT_EQ(guicurrentcontrol(), controlslot("main.box"));
    HWND main = guigethandle("main");

    send(main, WM_LBUTTONDOWN, 30, 40);
    send(main, WM_RBUTTONDOWN, 30, 40);
    send(main, WM_LBUTTONUP, 30, 40);
    EXPECT_TRUE(hits.empty());
    send(main, WM_RBUTTONUP, 25, 35);
    send(main, WM_MOUSEMOVE, 120, 80);
    const std::vector<std::pair<int, std::pair<int, int>>> expected = {{4, {5, 5}}, {5, {100, 50}}};
    EXPECT_EQ(hits, expected);

    // Removing a trap with a null handler.
    trapmovemouse("main.box", nullptr);
    send(main, WM_MOUSEMOVE, 30, 40);
    EXPECT_EQ(hits.size(), 2u);
}
