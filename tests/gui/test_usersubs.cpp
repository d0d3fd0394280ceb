// User subs: the bounds of addusersub and changeusersub, their notices, and
// which commands reach the table.
#include "gui_testing.h"

namespace {

RunCount firstruns, secondruns, slot5runs;
void first() { ++firstruns; }
void second() { ++secondruns; }
void slot5() { ++slot5runs; }

void command(HWND win, int id) { SendMessageA(win, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

}  // namespace

TEST_F(GuiTest, AddusersubRefusesIndicesOutside1000To10000) {
    addusersub(999, first);
    addusersub(10001, first);
    addusersub(static_cast<uint32_t>(-1), first);
    addusersub(0, first);
    ASSERT_EQ(notices().size(), 4u);
    for (const Notice& n : notices()) EXPECT_EQ(n.title, "addusersub");
    EXPECT_EQ(notices()[0].text, "usersub index must be >= 1000\rindex asked : 999");
    EXPECT_EQ(notices()[1].text, "usersub index max = 10000 , asked= 10001");
    EXPECT_EQ(notices()[2].text, "usersub index max = 10000 , asked= 4294967295");
    EXPECT_EQ(notices()[3].text, "usersub index must be >= 1000\rindex asked : 0");

    notices().clear();
    addusersub(1000, first);
    addusersub(10000, first);
    changeusersub(10001, first);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].title, "changeusersub");
    EXPECT_EQ(notices()[0].text, "usersub index max = 10000 , asked= 10001");

    guiopenwindow("main", "Main", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    HWND win = guigethandle("main");
    command(win, 1000);
    command(win, 10000);
    command(win, 10001);
    command(win, 999);
    EXPECT_EQ(firstruns, 2);
}

TEST_F(GuiTest, AUsedSlotKeepsItsHandlerUntilChangedOrFreed) {
    guiopenwindow("main", "Main", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    HWND win = guigethandle("main");
    addusersub(1500, first);
    addusersub(1500, second);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].text, "usersub index : 1500  yet used !");
    command(win, 1500);
    EXPECT_EQ(firstruns, 1);
    EXPECT_EQ(secondruns, 0);

    changeusersub(1500, second);
    command(win, 1500);
    EXPECT_EQ(secondruns, 1);
    EXPECT_EQ(firstruns, 1);

    // Freed with 0: nothing runs, and addusersub takes the slot again.
    changeusersub(1500, nullptr);
    command(win, 1500);
    EXPECT_EQ(firstruns + secondruns, 2);
    addusersub(1500, first);
    EXPECT_EQ(notices().size(), 1u);
    command(win, 1500);
    EXPECT_EQ(firstruns, 2);
}

TEST_F(GuiTest, SlotsBelow1000AreWrittenButNeverRun) {
    for (int i = 1; i <= 6; ++i) guistatictext("main.s" + std::to_string(i), "s", 0, 0, 5, 5, 0);
    guiopenwindow("main", "Main", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    HWND win = guigethandle("main");
    changeusersub(5, slot5);
    changeusersub(950, slot5);
    EXPECT_TRUE(notices().empty());
    command(win, 5);     // control 5's id without its handle: nothing
    command(win, 950);   // above the control count, below 1000: nothing
    EXPECT_EQ(slot5runs, 0);
}
