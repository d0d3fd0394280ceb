// Menus: bars, drop-downs and items on a real window, their commands, the
// state and text of items, every refusal, and closing a window with a bar.
#include "gui_testing.h"

namespace {

RunCount openruns, saveruns;
int lastcommand = 0;
const bool lastreset = resetbeforeeachtest([] { lastcommand = 0; });
void onopen() {
    ++openruns;
    lastcommand = guicurrentcontrol();
}
void onsave() { ++saveruns; }

HWND openmain() {
    guiopenwindow("main", "Main", 0, 0, 300, 200, WS_OVERLAPPEDWINDOW, 0);
    return guigethandle("main");
}

HMENU dropdown(const std::string& name) {
    return reinterpret_cast<HMENU>(guicontrolrecord(guifindname(name)).handle);
}

std::string itemtext(HMENU menu, UINT position) {
    char text[512] = {0};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

}  // namespace

TEST_F(GuiTest, MenusMakeABarWithDropDownsAndItemsThatRunTheirSubs) {
    HWND win = openmain();
    addmenu("main.file", "File", MF_POPUP);
    addmenu("main.edit", "Edit", MF_POPUP);
    addmenuitem("main.file.open", "Open", onopen, MF_STRING);
    addmenuitem("main.file.save", "Save", onsave, MF_STRING);
    EXPECT_TRUE(notices().empty());

    HMENU bar = GetMenu(win);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, windowrecord("main").menu);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(itemtext(bar, 0), "File");
    EXPECT_EQ(itemtext(bar, 1), "Edit");
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(file, dropdown("main.file"));
    ASSERT_EQ(GetMenuItemCount(file), 2);
    EXPECT_EQ(itemtext(file, 0), "Open");

    // The item's identifier is its control index; choosing it runs its sub.
    int open = guifindname("main.file.open");
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(open));
    EXPECT_EQ(guicontrolrecord(open).handle, reinterpret_cast<HWND>(1));
    SendMessageA(win, WM_COMMAND, MAKEWPARAM(GetMenuItemID(file, 0), 0), 0);
    EXPECT_EQ(openruns, 1);
    EXPECT_EQ(lastcommand, open);
    SendMessageA(win, WM_COMMAND, MAKEWPARAM(GetMenuItemID(file, 1), 0), 0);
    EXPECT_EQ(saveruns, 1);
}

TEST_F(GuiTest, ItemStatesReplaceTheWholeStateAndTextsAreCut) {
    openmain();
    addmenu("main.file", "File", MF_POPUP);
    addmenuitem("main.file.open", "Open", onopen, 0);
    addmenuitem("main.file.save", "Save", onsave, 0);
    HMENU file = dropdown("main.file");

    setmenuitemcheck("main.file", 1);
    EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    setmenuitemenable("main.file", 1);
    EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    setmenuitemdisable("main.file", 2);
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    setmenuitemcheck("main.file", 2);
    setmenuitemuncheck("main.file", 2);
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), 0u);

    std::string longtext;
    for (int i = 0; i < 300; ++i) longtext += static_cast<char>('A' + i % 26);
    setmenutext("main.file", 1, longtext);
    EXPECT_EQ(itemtext(file, 0), longtext.substr(0, 254));

    // Position 0 and positions past the end change nothing and say nothing.
    setmenuitemcheck("main.file", 0);
    setmenutext("main.file", 0, "zero");
    setmenuitemcheck("main.file", 7);
    setmenuitemcheck("main.file", -1);
    EXPECT_EQ(itemtext(file, 0), longtext.substr(0, 254));
    EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_TRUE(notices().empty());
}

TEST_F(GuiTest, EveryMenuRefusalHasItsNotice) {
    guiopenwindow("shut", "Shut", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    guiclosewindow("shut");
    addmenu("shut.file", "File", MF_POPUP);
    addmenu("nowin.file", "File", MF_POPUP);
    openmain();
    addmenuitem("main.file.open", "Open", onopen, 0);   // no bar yet
    addmenu("main.file", "File", MF_POPUP);
    addmenuitem("main.nomenu.x", "X", onopen, 0);
    addmenu("main.file", "File", MF_POPUP);             // appended already
    addmenuitem("main.file.open", "Open", onopen, 0);
    addmenuitem("main.file.last", "Last", onopen, 0);
    addmenuitem("main.file.last", "Last", onopen, 0);   // the table's last record, again
    setmenuitemcheck("main.nothing", 1);
    setmenutext("nowin.file", 1, "x");
    setmenuitemcheck("shut.file", 1);
    setmenuitemcheck("main", 1);                        // a window, not a menu
    guistatictext("bare.file", "x", 0, 0, 5, 5, 0);
    guiopenwindow("bare", "Bare", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    setmenuitemdisable("bare.file", 1);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"addmenu", "window not opened : shut"},
        {"addmenu", "window not found : nowin"},
        {"addmenuitem", "window has no menu opened : main"},
        {"addmenuitem", "menu not found : main.nomenu"},
        {"addmenu", "main.file : yet exists !"},
        {"addmenuitem", "main.file.last : yet exists !"},
        {"setmenuitemstate", "menu not found : main.nothing"},
        {"setmenutext", "window not found : nowin"},
        {"setmenuitemstate", "window not opened : shut"},
        {"setmenuitemstate", "menu not found : main"},
        {"setmenuitemstate", "window has no menu opened : bare"},
    };
    ASSERT_EQ(notices().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(notices()[i].title, expected[i].first) << i;
        EXPECT_EQ(notices()[i].text, expected[i].second) << i;
    }
    EXPECT_EQ(GetMenuItemCount(GetMenu(guigethandle("main"))), 1);
    EXPECT_EQ(GetMenuItemCount(dropdown("main.file")), 2);

    // A live control given to addmenu is refused and stays what it was.
    guibutton("bare.go", "go", onopen, 0, 0, 20, 20, 0);
    guiclosewindow("bare");
    guiopenwindow("bare", "Bare", 0, 0, 100, 100, WS_OVERLAPPEDWINDOW, 0);
    notices().clear();
    addmenu("bare.go", "Go", MF_POPUP);
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].text, "bare.go : yet exists !");
    const GuiControl& go = guicontrolrecord(guifindname("bare.go"));
    EXPECT_EQ(go.cls, "button");
    EXPECT_EQ(go.text, "go");
    EXPECT_TRUE(IsWindow(go.handle));
}

TEST_F(GuiTest, ClosingAWindowDestroysItsMenusOnceAndTheyCanBeAddedAgain) {
    HWND win = openmain();
    addmenu("main.file", "File", MF_POPUP);
    addmenuitem("main.file.open", "Open", onopen, 0);
    HMENU bar = GetMenu(win);
    HMENU file = dropdown("main.file");
    ASSERT_TRUE(IsMenu(bar));
    ASSERT_TRUE(IsMenu(file));

    guiclosewindow("main");
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(file));
    EXPECT_EQ(windowrecord("main").menu, nullptr);
    EXPECT_EQ(dropdown("main.file"), nullptr);
    EXPECT_EQ(guicontrolrecord(guifindname("main.file.open")).handle, nullptr);
    // A second close finds nothing left to destroy.
    guiclose("nomsg");
    EXPECT_EQ(notices().size(), 0u);

    win = openmain();
    EXPECT_EQ(GetMenu(win), nullptr);
    addmenu("main.file", "File", MF_POPUP);
    addmenuitem("main.file.open", "Open", onopen, 0);
    EXPECT_TRUE(notices().empty());
    HMENU again = dropdown("main.file");
    ASSERT_EQ(GetMenuItemCount(again), 1);
    SendMessageA(win, WM_COMMAND, MAKEWPARAM(GetMenuItemID(again, 0), 0), 0);
    EXPECT_EQ(openruns, 1);
}
