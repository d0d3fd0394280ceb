// The window procedure and the pump: commands, the close box, typed
// characters, the quit message and Enter on a focused control.
#include "gui_internals.h"
#include "gui_testing.h"

namespace {

RunCount buttonruns, comboruns, userruns, closeruns, resizeruns, keyruns;
void onbutton() { ++buttonruns; }
void oncombo() { ++comboruns; }
void onuser() { ++userruns; }
void onclose() { ++closeruns; }
void onresize() { ++resizeruns; }
void onkey() { ++keyruns; }
void closeitself() { guiclosewindow("main"); }

HWND openmain() {
    guibutton("main.go", "go", onbutton, 10, 10, 60, 24, 0);
    guicombobox("main.pick", oncombo, 10, 50, 100, 120);
    guiopenwindow("main", "Main", 0, 0, 320, 240, WS_OVERLAPPEDWINDOW, 0);
    pump();
    return guigethandle("main");
}

void command(HWND win, int id, int code, HWND from) {
    SendMessageA(win, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
}

}  // namespace

TEST_F(GuiTest, CommandsRunTheSubOfTheControlThatSentThem) {
    HWND win = openmain();
    HWND button = controlrecord("main.go").handle, combo = controlrecord("main.pick").handle;
    ASSERT_NE(button, nullptr);
    ASSERT_NE(combo, nullptr);

    // A real click of the button.
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(buttonruns, 1);
    EXPECT_EQ(guicurrentcontrol(), 1);
    EXPECT_EQ(guicurrenthandle(), button);
    EXPECT_EQ(guicommandcode(), 0);
    EXPECT_EQ(guieventwindow(), win);

    // The id of the button with another control's handle runs nothing.
    command(win, 1, BN_CLICKED, combo);
    command(win, 1, BN_CLICKED, nullptr);
    EXPECT_EQ(buttonruns, 1);

    // Selection change (1) of the combo runs its sub; a double click (2) not.
    command(win, 2, CBN_SELCHANGE, combo);
    EXPECT_EQ(comboruns, 1);
    EXPECT_EQ(guicommandcode(), 1);
    EXPECT_EQ(guicurrentcontrol(), 2);
    command(win, 2, CBN_DBLCLK, combo);
    EXPECT_EQ(comboruns, 1);
    EXPECT_EQ(guicurrentcontrol(), 2);
}

TEST_F(GuiTest, BareIdentifiersRunUserSubsBetween1000And10000) {
    HWND win = openmain();
    addusersub(1000, onuser);
    addusersub(10000, onuser);
    changeusersub(999, onuser);
    changeusersub(2, onuser);
    command(win, 999, 0, nullptr);
    command(win, 2, 0, nullptr);   // control 2's id without its handle
    command(win, 10001, 0, nullptr);
    command(win, 500, 0, nullptr);  // above the control count
    EXPECT_EQ(userruns, 0);
    command(win, 1000, 0, nullptr);
    command(win, 10000, 1, nullptr);
    EXPECT_EQ(userruns, 2);
    command(win, 1000, 2, nullptr);
    EXPECT_EQ(userruns, 2);
}

TEST_F(GuiTest, TheCloseBoxNeedsACloseTrap) {
    HWND win = openmain();
    SendMessageA(win, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(win, WM_CLOSE, 0, 0);
    pump();
    EXPECT_TRUE(IsWindow(win));
    EXPECT_EQ(windowrecord("main").open, 1);

    trapclose("main", onclose);
    SendMessageA(win, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closeruns, 1);
    EXPECT_EQ(guieventwindow(), win);
    EXPECT_TRUE(IsWindow(win));

    // A trap that closes its window.
    trapclose("main", closeitself);
    PostMessageA(win, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpuntil([&] { return !IsWindow(win); }));
    EXPECT_EQ(windowrecord("main").open, 0);
    EXPECT_TRUE(notices().empty());
}

TEST_F(GuiTest, WindowTrapsReceiveTheirEventContext) {
    HWND win = openmain();
    trapresize("main", onresize);
    trapkeyboard("main", onkey);
    SetWindowPos(win, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GE(resizeruns, 1);
    RECT client;
    GetClientRect(win, &client);
    EXPECT_EQ(LOWORD(guieventlparam()), client.right);
    EXPECT_EQ(HIWORD(guieventlparam()), client.bottom);

    SendMessageA(win, WM_KEYUP, 'Q', 0xC0000001);
    EXPECT_EQ(keyruns, 1);
    EXPECT_EQ(guikeycode(), static_cast<WPARAM>('Q'));
    EXPECT_EQ(guikeymessage(), static_cast<UINT>(WM_KEYUP));

    trapkeyboard("main", nullptr);
    SendMessageA(win, WM_KEYDOWN, 'R', 1);
    EXPECT_EQ(keyruns, 1);

    trapclose("nowhere", onclose);
    trapmovemouse("main.none", onclose);
    ASSERT_EQ(notices().size(), 2u);
    EXPECT_EQ(notices()[0].title, "warning");
    EXPECT_EQ(notices()[0].text, "trapclose :nowhere not fount !");
    EXPECT_EQ(notices()[1].text, "trapmovemouse :main.none not fount !");
    EXPECT_EQ(guicurrentcontrol(), 0);
}

TEST_F(GuiTest, GetcharReturnsTheLastTypedCharacterOnce) {
    HWND win = openmain();
    PostMessageA(win, WM_CHAR, 'x', 1);
    PostMessageA(win, WM_CHAR, 'y', 1);
    EXPECT_EQ(guigetchar(), "y");
    EXPECT_EQ(guigetchar(), "");
    PostMessageA(win, WM_CHAR, 'z', 1);
    EXPECT_EQ(guigetchar(), "z");
}

TEST_F(GuiTest, AfterTheQuitMessageGuiscanDispatchesNothing) {
    HWND win = openmain();
    HWND button = controlrecord("main.go").handle;
    PostQuitMessage(0);
    guiscan();
    EXPECT_EQ(guiquitreceived(), 1);

    PostMessageA(win, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    pump();
    EXPECT_EQ(buttonruns, 0);
    EXPECT_EQ(guiquitreceived(), 1);
    // guiwaitevent still takes and dispatches the next message.
    guiwaitevent();
    EXPECT_EQ(buttonruns, 1);
}

TEST_F(GuiTest, AWindowProcedureMessageForAnUnknownWindowGetsDefaults) {
    HWND win = openmain();
    // Messages for a window the table no longer holds must not reach traps
    // or painting, and must not crash.
    trapclose("main", onclose);
    const int slot = guicore::windowindex("main");
    state.tables.windows[slot].handle = nullptr;
    EXPECT_EQ(guiwindowproc(win, WM_PAINT, 0, 0), 0);
    guiwindowproc(win, WM_LBUTTONDOWN, 0, 0);
    guiwindowproc(win, WM_COMMAND, MAKEWPARAM(1, 0), reinterpret_cast<LPARAM>(controlrecord("main.go").handle));
    guiwindowproc(win, WM_SIZE, 0, 0);
    EXPECT_EQ(closeruns, 0);
    EXPECT_EQ(buttonruns, 0);
    state.tables.windows[slot].handle = win;
}
