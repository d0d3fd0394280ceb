// The window and control tables: slots, limits, names and the life cycle of
// a window with its controls.
#include "gui_testing.h"

#include "modal_watcher.h"

namespace {

RunCount clicks, closes, mousedowns;
void onclick() { ++clicks; }
void onclose() { ++closes; }
void onmouse() { ++mousedowns; }

}  // namespace

TEST_F(GuiTest, RedeclaringAControlReusesItsSlot) {
    guibutton("w.ok", "first", nullptr, 0, 0, 10, 10, 0);
    guistatictext("w.label", "text", 0, 0, 10, 10, 0);
    guibutton("w.ok", "second", onclick, 5, 6, 7, 8, BS_DEFPUSHBUTTON);
    EXPECT_EQ(guicontrolcount(), 2);
    EXPECT_EQ(guicurrentcontrol(), 1);
    EXPECT_EQ(guicontrolrecord(1).text, "second");
    EXPECT_EQ(guicontrolrecord(1).sub, &onclick);
    // The style argument replaces the default border style entirely.
    EXPECT_EQ(guicontrolrecord(1).style, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    guibutton("w.plain", "p", nullptr, 0, 0, 1, 1, 0);
    EXPECT_EQ(guicontrolrecord(3).style, static_cast<DWORD>(WS_BORDER));
    EXPECT_TRUE(notices().empty());
}

TEST_F(GuiTest, The901stWindowIsRefusedWithOneNotice) {
    // A child style without a parent makes creation fail, which still takes
    // the slot: the table fills without 900 windows on screen.
    for (int i = 1; i <= 900; ++i) guiopenwindow("w" + std::to_string(i), "", 0, 0, 10, 10, WS_CHILD, 0);
    ASSERT_EQ(guiwindowcount(), 900);
    EXPECT_EQ(guiwindowrecord(900).open, 0);
    EXPECT_TRUE(notices().empty());

    guiopenwindow("one too many", "", 0, 0, 10, 10, WS_CHILD, 0);
    EXPECT_EQ(guiwindowcount(), 900);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].title, "guinotice");
    EXPECT_EQ(notices()[0].text, "900 max number of window reached !");
    EXPECT_EQ(guifindname("one too many"), 0);

    // A known name still reopens in its own slot.
    guiopenwindow("w450", "again", 0, 0, 50, 50, WS_OVERLAPPEDWINDOW, 0);
    EXPECT_EQ(guiwindowrecord(450).open, 1);
    EXPECT_EQ(notices().size(), 1u);
}

TEST_F(GuiTest, The901stControlIsRefusedAndLeavesNoCurrentControl) {
    for (int i = 1; i <= 900; ++i) guistatictext("w.c" + std::to_string(i), "", 0, 0, 1, 1, 0);
    ASSERT_EQ(guicontrolcount(), 900);
    EXPECT_EQ(guicurrentcontrol(), 900);
    guistatictext("w.extra", "", 0, 0, 1, 1, 0);
    EXPECT_EQ(guicontrolcount(), 900);
    EXPECT_EQ(guicurrentcontrol(), 0);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].title, "guinotice");
    EXPECT_EQ(notices()[0].text, "900 max ngui reached !");
    EXPECT_EQ(guifindname("w.extra"), 0);
    // Redefining a recorded name needs no new slot.
    guistatictext("w.c7", "changed", 0, 0, 1, 1, 0);
    EXPECT_EQ(guicurrentcontrol(), 7);
    EXPECT_EQ(notices().size(), 1u);
}

TEST_F(GuiTest, ANameWithoutWindowPartIsReportedAndNeverCreated) {
    guibutton("nodot", "x", onclick, 0, 0, 20, 20, 0);
    EXPECT_EQ(guicurrentcontrol(), 0);
    guistatictext(".lead", "y", 0, 0, 20, 20, 0);
    ASSERT_EQ(notices().size(), 2u);
    EXPECT_EQ(notices()[0].title, "guiaddcontrol");
    EXPECT_EQ(notices()[0].text, "invalid window control name : nodot !");
    EXPECT_EQ(notices()[1].text, "invalid window control name : .lead !");
    // The records stay and can be found...
    EXPECT_EQ(guifindname("nodot"), 1);
    EXPECT_EQ(guilookupkind(), "control");
    // ...but belong to no window, not even one named like the text before ".".
    guiopenwindow("", "empty name", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    guiopenwindow("nodot", "same name", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    EXPECT_EQ(controlrecord("nodot").handle, nullptr);
    EXPECT_EQ(controlrecord(".lead").handle, nullptr);
}

TEST_F(GuiTest, AWindowNameShadowsAControlOfTheSameSpelling) {
    guibutton("a.b", "button", onclick, 0, 0, 40, 20, 0);
    guiopenwindow("a", "parent", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    HWND button = controlrecord("a.b").handle;
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(guifindname("a.b"), 1);
    EXPECT_EQ(guilookupkind(), "control");
    EXPECT_EQ(guigethandle("a.b"), button);

    guiopenwindow("a.b", "shadow", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    EXPECT_EQ(guifindname("a.b"), 2);
    EXPECT_EQ(guilookupkind(), "window");
    EXPECT_EQ(guigethandle("a.b"), windowrecord("a.b").handle);
    EXPECT_EQ(guigetnameof(button), "a.b");
    EXPECT_EQ(guigetnameof(windowrecord("a.b").handle), "a.b");
    EXPECT_EQ(guifindname("nothing"), 0);
    EXPECT_EQ(guilookupkind(), "");
    EXPECT_EQ(guigethandle("nothing"), nullptr);
}

TEST_F(GuiTest, OpeningAndClosingTwiceAreReported) {
    guiopenwindow("main", "Main", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    HWND first = windowrecord("main").handle;
    guiopenwindow("main", "Again", 0, 0, 300, 300, WS_OVERLAPPEDWINDOW, 0);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].text, "main window yet opened !");
    EXPECT_EQ(windowrecord("main").handle, first);
    EXPECT_EQ(windowrecord("main").title, "Main");

    guiclosewindow("main");
    EXPECT_FALSE(IsWindow(first));
    guiclosewindow("main");
    guiclosewindow("never");
    ASSERT_EQ(notices().size(), 2u);
    EXPECT_EQ(notices()[1].text, "main window yet closed !");
    EXPECT_EQ(guiwindowcount(), 1);
}

TEST_F(GuiTest, GuicloseReportsEachOpenWindowUnlessNomsg) {
    guiopenwindow("one", "1", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    guiopenwindow("two", "2", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    guiopenwindow("three", "3", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    guiclosewindow("two");
    guiclose("");
    ASSERT_EQ(notices().size(), 2u);
    EXPECT_EQ(notices()[0].text, "one : window closed by guiclose !");
    EXPECT_EQ(notices()[1].text, "three : window closed by guiclose !");
    EXPECT_FALSE(guiclassregistered());

    notices().clear();
    guiopenwindow("one", "1", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    EXPECT_EQ(windowrecord("one").open, 1);
    guiclose("nomsg");
    EXPECT_TRUE(notices().empty());
    EXPECT_EQ(windowrecord("one").open, 0);
}

TEST_F(GuiTest, ReopeningAWindowRecreatesControlsWithSubsAndTraps) {
    guibutton("main.go", "go", onclick, 10, 10, 60, 24, 0);
    guigraphicbox("main.box", 100, 10, 80, 60, "plain", 0);
    guiedittext("main.edit", "hello", nullptr, 10, 50, 80, 24, 0);
    guiopenwindow("main", "Main", 0, 0, 300, 200, WS_OVERLAPPEDWINDOW, 0);
    trapclose("main", onclose);
    trapleftmouse("main.box", onmouse);
    HWND oldbutton = controlrecord("main.go").handle;
    ASSERT_TRUE(IsWindow(oldbutton));
    EXPECT_EQ(GetDlgCtrlID(oldbutton), controlslot("main.go"));
    EXPECT_EQ(GetParent(oldbutton), windowrecord("main").handle);

    guiclosewindow("main");
    EXPECT_FALSE(IsWindow(oldbutton));
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(guicontrolrecord(i).handle, nullptr);
    EXPECT_EQ(guicontrolcount(), 3);

    guiopenwindow("main", "Main", 0, 0, 300, 200, WS_OVERLAPPEDWINDOW, 0);
    HWND win = windowrecord("main").handle;
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(IsWindow(guicontrolrecord(i).handle)) << i;
        EXPECT_EQ(GetParent(guicontrolrecord(i).handle), win);
    }
    char text[32] = {0};
    GetWindowTextA(controlrecord("main.edit").handle, text, sizeof text);
    EXPECT_STREQ(text, "hello");

    SendMessageA(controlrecord("main.go").handle, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    SendMessageA(win, WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 1);
    SendMessageA(win, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 30));
    EXPECT_EQ(mousedowns, 1);
    EXPECT_TRUE(notices().empty());
}

TEST_F(GuiTest, GuiinitEmptiesTablesTrapsAndUserSubs) {
    guibutton("main.go", "go", onclick, 10, 10, 60, 24, 0);
    guigraphicbox("main.gfx", 0, 0, 4, 4, "gfx", 0);
    guiopenwindow("main", "Main", 0, 0, 300, 200, WS_OVERLAPPEDWINDOW, 0);
    trapclose("main", onclose);
    addusersub(1500, onclick);
    HWND win = windowrecord("main").handle;
    guiinit();
    EXPECT_FALSE(IsWindow(win));
    EXPECT_EQ(guiwindowcount(), 0);
    EXPECT_EQ(guicontrolcount(), 0);
    EXPECT_EQ(guiwindowrecord(1).closetrap, nullptr);
    EXPECT_EQ(guicontrolrecord(1).sub, nullptr);
    EXPECT_EQ(guicontrolrecord(2).image, nullptr);
    EXPECT_EQ(guifindname("main"), 0);
    EXPECT_TRUE(notices().empty());
    addusersub(1500, onclick);   // free again: no "yet used"
    EXPECT_TRUE(notices().empty());
}

// guiquit ends the process, so it runs in a child: this test program again,
// on the one test below, told by TOLVANE_GUIQUIT what to pass.
TEST_F(GuiTest, GuiquitChild) {
    char mode[16] = {0};
    if (!GetEnvironmentVariableA("TOLVANE_GUIQUIT", mode, sizeof mode))
        GTEST_SKIP() << "run as a child by GuiquitEndsTheProcessWithCode0";
    guisetnoticehook(nullptr);   // real boxes: the parent answers them
    guiopenwindow("main", "Main", 0, 0, 200, 100, WS_OVERLAPPEDWINDOW, 0);
    guiquit(mode);
    ADD_FAILURE() << "guiquit returned";
}

namespace {

DWORD runquitchild(const char* mode, std::vector<SeenBox>& seen) {
    char self[MAX_PATH + 1] = {0};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = "\"" + std::string(self) + "\" --gtest_filter=GuiTest.GuiquitChild";
    SetEnvironmentVariableA("TOLVANE_GUIQUIT", mode);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableA("TOLVANE_GUIQUIT", nullptr);
    if (!started) {
        ADD_FAILURE() << "the child did not start";
        return 99;
    }
    DWORD code = 99;
    {
        ModalWatcher watcher(child.dwThreadId);
        WaitForSingleObject(child.hProcess, INFINITE);
        GetExitCodeProcess(child.hProcess, &code);
        seen = watcher.seen();
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return code;
}

}  // namespace

TEST_F(GuiTest, GuiquitEndsTheProcessWithCode0) {
    std::vector<SeenBox> seen;
    EXPECT_EQ(runquitchild("nomsg", seen), 0u);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(runquitchild("msg", seen), 0u);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "guinotice");
    EXPECT_EQ(seen[0].text, "main : window closed by guiclose !");
}
