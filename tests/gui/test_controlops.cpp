// Control operations on real controls: combo and list boxes with item
// arrays, checks, geometry, focus, and what bad input does (nothing).
#include "gui_testing.h"

#include "modal_watcher.h"

#include <climits>

namespace {

HWND control(const std::string& name) { return guigethandle(name); }

LRESULT send(const std::string& name, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageA(control(name), msg, w, l);
}

std::string comboitem(const std::string& name, int index) {
    char text[256] = {0};
    if (send(name, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text)) < 0) return "<none>";
    return text;
}

int selection(const std::string& name, bool combo) {
    int position = -7;
    if (combo)
        guicombogetselection(name, position);
    else
        guilistgetselection(name, position);
    return position;
}

void openboxes() {
    guicombobox("main.combo", nullptr, 10, 10, 150, 200);
    guilistbox("main.list", nullptr, 170, 10, 150, 200, 0);
    guiopenwindow("main", "Main", 0, 0, 400, 300, WS_OVERLAPPEDWINDOW, 0);
}

}  // namespace

TEST_F(GuiTest, ComboFillSkipsAnEmptyElement0AndStopsAtTheNextEmptyOne) {
    openboxes();
    const std::vector<std::string> colours = {"", "red", "green", "", "blue"};
    guicombofill("main.combo", colours);
    ASSERT_EQ(send("main.combo", CB_GETCOUNT), 2);
    EXPECT_EQ(comboitem("main.combo", 0), "red");
    EXPECT_EQ(comboitem("main.combo", 1), "green");
    EXPECT_EQ(guicurrentcontrol(), controlslot("main.combo"));

    guicomboselecttext("main.combo", "green", colours);
    EXPECT_EQ(selection("main.combo", true), 2);
    EXPECT_EQ(guicombogetselecttext("main.combo", colours), "green");
    // Text that is no element leaves the selection; element 0's text clears it.
    guicomboselecttext("main.combo", "purple", colours);
    EXPECT_EQ(selection("main.combo", true), 2);
    guicomboselecttext("main.combo", "", colours);
    EXPECT_EQ(selection("main.combo", true), 0);
    EXPECT_EQ(guicombogetselecttext("main.combo", colours), "");

    // A non-empty element 0 is position 1; a fill replaces what was there.
    const std::vector<std::string> pair = {"red", "green"};
    guicombofill("main.combo", pair);
    ASSERT_EQ(send("main.combo", CB_GETCOUNT), 2);
    guicomboselecttext("main.combo", "green", pair);
    EXPECT_EQ(selection("main.combo", true), 2);
    EXPECT_EQ(guicombogetselecttext("main.combo", pair), "green");
    // Read against an array too short for the selection: "".
    EXPECT_EQ(guicombogetselecttext("main.combo", {"red"}), "");

    // An empty array clears the box and adds nothing.
    guicombofill("main.combo", {});
    EXPECT_EQ(send("main.combo", CB_GETCOUNT), 0);
    EXPECT_EQ(guicombogetselecttext("main.combo", {}), "");
}

TEST_F(GuiTest, ComboPositionsAreOneBasedAndZeroClearsTheSelection) {
    openboxes();
    guicomboadd("main.combo", "lighting");
    guicomboadd("main.combo", "");
    guicomboadd("main.combo", "no lighting");
    ASSERT_EQ(send("main.combo", CB_GETCOUNT), 2);
    EXPECT_EQ(selection("main.combo", true), 0);
    guicomboselect("main.combo", 2);
    EXPECT_EQ(selection("main.combo", true), 2);
    EXPECT_EQ(send("main.combo", CB_GETCURSEL), 1);
    guicomboselect("main.combo", 0);
    EXPECT_EQ(selection("main.combo", true), 0);
    guicomboselect("main.combo", 1);
    guicomboselect("main.combo", -3);
    EXPECT_EQ(selection("main.combo", true), 0);
    guicomboselect("main.combo", 9);
    EXPECT_EQ(send("main.combo", CB_GETCOUNT), 2);

    guicombodelete("main.combo", 1);
    ASSERT_EQ(send("main.combo", CB_GETCOUNT), 1);
    EXPECT_EQ(comboitem("main.combo", 0), "no lighting");
    guicombodelete("main.combo", 0);
    guicombodelete("main.combo", -1);
    guicombodelete("main.combo", 5);
    EXPECT_EQ(send("main.combo", CB_GETCOUNT), 1);
    guicomboclear("main.combo");
    EXPECT_EQ(send("main.combo", CB_GETCOUNT), 0);
}

TEST_F(GuiTest, ListBoxesAddEmptyItemsAndReadTextsThroughTheBuffer) {
    openboxes();
    guilistadd("main.list", "one");
    guilistadd("main.list", "");
    guilistadd("main.list", "three");
    ASSERT_EQ(send("main.list", LB_GETCOUNT), 3);
    EXPECT_EQ(guilistgettext("main.list", 1), "one");
    EXPECT_EQ(guilistgettext("main.list", 2), "");
    EXPECT_EQ(guilistgettext("main.list", 3), "three");
    EXPECT_EQ(guilistgettext("main.list", 5), "");
    EXPECT_EQ(guilistgettext("main.list", 0), "");
    EXPECT_EQ(guilistgettext("main.list", -2), "");
    EXPECT_EQ(guilistgetselecttext("main.list"), "");

    guilistselect("main.list", 3);
    EXPECT_EQ(selection("main.list", false), 3);
    EXPECT_EQ(guilistgetselecttext("main.list"), "three");
    guilistselect("main.list", 0);
    EXPECT_EQ(selection("main.list", false), 0);

    const std::vector<std::string> items = {"", "alpha", "beta", "", "gamma"};
    guilistfill("main.list", items);
    ASSERT_EQ(send("main.list", LB_GETCOUNT), 2);
    guilistselecttext("main.list", "beta", items);
    EXPECT_EQ(selection("main.list", false), 2);
    EXPECT_EQ(guilistgetselecttext("main.list"), "beta");

    // An item too long for the 4000-byte buffer comes back cut, whole up
    // to 3999 characters.
    std::string longitem(5000, 'a');
    for (size_t i = 0; i < longitem.size(); ++i) longitem[i] = static_cast<char>('a' + i % 26);
    guilistadd("main.list", longitem);
    EXPECT_EQ(guilistgettext("main.list", 3), longitem.substr(0, 3999));
    guilistadd("main.list", std::string(3999, 'z'));
    EXPECT_EQ(guilistgettext("main.list", 4), std::string(3999, 'z'));
}

TEST_F(GuiTest, UnknownNamesAndClosedWindowsChangeNothing) {
    openboxes();
    guicheckbox("main.tick", "tick", nullptr, 10, 220, 80, 20);
    guicombofill("main.none", {"", "x"});
    guicomboadd("nowhere", "x");
    guilistadd("main.none", "x");
    int position = 42;
    guicombogetselection("main.none", position);
    guilistgetselection("nowhere", position);
    EXPECT_EQ(position, 42);
    int x = 1, y = 2, w = 3, h = 4;
    guigetrect("main.none", x, y, w, h);
    EXPECT_EQ(x + y + w + h, 10);
    EXPECT_EQ(guicombogetselecttext("main.none", {"", "x"}), "");
    EXPECT_EQ(guilistgettext("main.none", 1), "");
    EXPECT_EQ(guilistgetselecttext(""), "");
    guicheck("main.none");
    guienable("none");
    guihide("");
    guimovecontrol("main.none", 1, 1, 1, 1);
    guisetfocus(std::string(10000, 'n'));
    guienablehandle(nullptr);
    guihidehandle(nullptr);
    EXPECT_EQ(guiisopen("none"), 0);
    EXPECT_TRUE(notices().empty());

    // Long texts are taken whole and read back cut to the buffer.
    guicomboadd("main.combo", std::string(10000, 'c'));
    EXPECT_EQ(send("main.combo", CB_GETCOUNT), 1);
    guilistadd("main.list", std::string(10000, 'l'));
    EXPECT_EQ(guilistgettext("main.list", 1), std::string(3999, 'l'));
    guicomboselecttext("main.combo", std::string(10000, 'c'), {});

    // Declared after the window opened: no handle yet, so nothing happens.
    guicombobox("main.late", nullptr, 0, 0, 10, 10);
    guicomboadd("main.late", "x");
    guiclosewindow("main");
    guicomboadd("main.combo", "x");
    EXPECT_EQ(guiisopen("main"), 0);
    guicombogetselection("main.combo", position);
    EXPECT_EQ(position, 42);
}

namespace {

// A clock that moves only when the toolkit waits on it.
ULONGLONG fakenow = 0;
std::vector<DWORD> waits;
const bool clockreset = resetbeforeeachtest([] { fakenow = 0, waits.clear(); });
void WINAPI fakesleep(DWORD milliseconds) {
    waits.push_back(milliseconds);
    fakenow += milliseconds;
}

double nowms() {
    LARGE_INTEGER now, rate;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&rate);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(rate.QuadPart);
}

}  // namespace

TEST_F(GuiTest, GuisleepWaitsItsTimeClampedTo1And30000Milliseconds) {
    // On the toolkit's own clock: below 1 ms is 1 ms (never the near-endless
    // unsigned wait of a negative), above 30 s is 30 s.
    EXPECT_EQ(guisetsleepfunction(fakesleep), &Sleep);
    const int asked[] = {0, -5, INT_MIN, 1, 250, 29999, 30000, 30001, INT_MAX};
    const ULONGLONG took[] = {1, 1, 1, 1, 250, 29999, 30000, 30000, 30000};
    for (size_t i = 0; i < sizeof asked / sizeof asked[0]; ++i) {
        const ULONGLONG before = fakenow;
        guisleep(asked[i]);
        EXPECT_EQ(fakenow - before, took[i]) << "guisleep(" << asked[i] << ")";
    }
    EXPECT_EQ(waits.size(), sizeof asked / sizeof asked[0]);
    EXPECT_EQ(guisetsleepfunction(nullptr), &fakesleep);

    // On the real clock: the system's sleep, for at least the time asked
    // (less 1 ms for the two readings of the counter).
    const double start = nowms();
    guisleep(40);
    EXPECT_GE(nowms() - start, 39.0);
    EXPECT_EQ(waits.size(), sizeof asked / sizeof asked[0]);
}

TEST_F(GuiTest, ChecksEnablingShowingAndFocus) {
    guicheckbox("main.tick", "tick", nullptr, 10, 10, 80, 20);
    guiradiobutton("main.radio", "radio", nullptr, 10, 40, 80, 20);
    guiedittext("main.edit", "", nullptr, 10, 70, 80, 20, 0);
    guiopenwindow("main", "Main", 0, 0, 300, 200, WS_OVERLAPPEDWINDOW, 0);
    guicheck("main.tick");
    guicheck("main.radio");
    EXPECT_EQ(send("main.tick", BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(send("main.radio", BM_GETCHECK), BST_CHECKED);
    guiuncheck("main.tick");
    EXPECT_EQ(send("main.tick", BM_GETCHECK), BST_UNCHECKED);

    guidisable("main.edit");
    EXPECT_FALSE(IsWindowEnabled(control("main.edit")));
    guienable("main.edit");
    EXPECT_TRUE(IsWindowEnabled(control("main.edit")));
    guihide("main.tick");
    EXPECT_FALSE(IsWindowVisible(control("main.tick")));
    guishow("main.tick");
    EXPECT_TRUE(IsWindowVisible(control("main.tick")));
    guihidehandle(control("main.radio"));
    EXPECT_FALSE(IsWindowVisible(control("main.radio")));
    guishownoactivate("main.radio");
    EXPECT_TRUE(IsWindowVisible(control("main.radio")));

    SetForegroundWindow(guigethandle("main"));
    guisetfocus("main.edit");
    EXPECT_EQ(GetFocus(), control("main.edit"));
    guisetfocushandle(control("main.tick"));
    EXPECT_EQ(guicurrenthandle(), control("main.tick"));
    guisetfocushandle(nullptr);
    EXPECT_EQ(guicurrenthandle(), nullptr);

    // The control of the last lookup that set the current control.
    guicombofill("main.tick", {});
    EXPECT_EQ(guigetcontrolname(), "main.tick");
    EXPECT_EQ(guiisopen("main"), 1);
    EXPECT_EQ(guiisopen("main.edit"), 0);   // control names do not answer
}

TEST_F(GuiTest, GeometryOfWindowsAndControls) {
    guigraphicbox("main.gfx", 10, 10, 40, 30, "gfx", 0);
    guibutton("main.go", "go", nullptr, 100, 10, 50, 20, 0);
    guiopenwindow("main", "Main", 30, 40, 300, 200, WS_OVERLAPPEDWINDOW, 0);
    int x = 0, y = 0, w = 0, h = 0;
    guimovewindow("main", 50, 60, 320, 220);
    guigetrect("main", x, y, w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 220);
    EXPECT_EQ(controlrecord("main.gfx").w, 40);   // windows keep no record of it

    // Same size: the picture stays.
    GuiImage* picture = guigetgraphicimage("main.gfx");
    guisetpixel(picture, 5, 5, 0xFFFF0000u);
    guimovecontrol("main.gfx", 20, 25, 0, 0);
    EXPECT_EQ(guigetgraphicimage("main.gfx"), picture);
    EXPECT_EQ(guigetpixel(picture, 5, 5), 0xFFFF0000);
    EXPECT_EQ(controlrecord("main.gfx").x, 20);
    EXPECT_EQ(controlrecord("main.gfx").w, 40);
    RECT r;
    GetWindowRect(control("main.gfx"), &r);
    EXPECT_EQ(r.right - r.left, 40);

    // A new size: a new black picture of that size.
    guimovecontrol("main.gfx", 20, 25, 60, 0);
    GuiImage* resized = guigetgraphicimage("main.gfx");
    ASSERT_NE(resized, nullptr);
    EXPECT_EQ(guiimagewidth(resized), 60);
    EXPECT_EQ(guiimageheight(resized), 30);
    EXPECT_EQ(guigetpixel(resized, 5, 5), 0xFF000000);
    EXPECT_EQ(controlrecord("main.gfx").w, 60);
    EXPECT_EQ(controlrecord("main.gfx").h, 30);

    guimovecontrol("main.go", 5, 6, 70, 25);
    GetWindowRect(control("main.go"), &r);
    EXPECT_EQ(r.right - r.left, 70);
    EXPECT_EQ(controlrecord("main.go").y, 6);
    // A window name is not a control: it does not move.
    guimovecontrol("main", 0, 0, 10, 10);
    guigetrect("main", x, y, w, h);
    EXPECT_EQ(w, 320);
}

TEST_F(GuiTest, PlainMessageAndQuestionBoxes) {
    ModalWatcher watcher;
    watcher.answer(IDOK);
    watcher.answer(IDOK);
    watcher.answer(IDCANCEL);
    guimessage("all done", "tolvane");
    EXPECT_EQ(guiquestion("go on?", "asking"), "yes");
    EXPECT_EQ(guiquestion("really?", "asking"), "no");
    std::vector<SeenBox> seen = watcher.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].title, "tolvane");
    EXPECT_EQ(seen[0].text, "all done");
    EXPECT_EQ(seen[2].text, "really?");
}
