// The viewer's arithmetic with the world held still: the settings file read
// and written in a folder of the test's own, the frame pacing against a
// fixed clock, the keyboard camera against chosen keys.
#include "viewer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

// A fresh folder made the working directory for one test, removed after.
class InFolder : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = workingdirectory();
        dir_ = folder_.dir();
        SetCurrentDirectoryA(dir_.c_str());
        viewer = ViewerState();
    }
    void TearDown() override {
        DeleteFileA("tolvane.ini");
        SetCurrentDirectoryA(old_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    void write(const std::string& bytes) {
        std::ofstream("tolvane.ini", std::ios::binary) << bytes;
    }
    std::string read() {
        std::ifstream in("tolvane.ini", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    TempFolder folder_{"tolvane_app"};
    std::string old_, dir_;
};

TEST_F(InFolder, SettingsRoundHalvesToEvenAndTakeTheNumberAtTheLineStart) {
    write("700\r\n-725\r\n12.5\r\n13.5\r\n  -2.5e1 degrees\r\nnot a number\r\n  models/a.obj \t\r\n");
    readsettings();
    EXPECT_EQ(viewer.dx, 700);
    EXPECT_EQ(viewer.dy, -725);
    EXPECT_EQ(viewer.dz, 12);
    EXPECT_EQ(viewer.o1, 14);
    EXPECT_EQ(viewer.o2, -25);
    EXPECT_EQ(viewer.o3, 0);
    EXPECT_STREQ(viewer.objectfile, "models/a.obj");
}

TEST_F(InFolder, ShortMissingOrHostileSettingsLeaveZerosAndAnEmptyPath) {
    viewer.dx = 5;
    setobjectfile("stale.obj");
    readsettings();   // no file at all
    EXPECT_EQ(viewer.dx, 0);
    EXPECT_STREQ(viewer.objectfile, "");

    write("1\n2\n3\n");
    readsettings();
    EXPECT_EQ(viewer.dz, 3);
    EXPECT_EQ(viewer.o1, 0);
    EXPECT_STREQ(viewer.objectfile, "");

    // Words a C library might take for numbers, and values past the
    // integer range, never turn into garbage.
    write("nan\r\ninf\r\n0x10\r\n1e300\r\n-1e300\r\n" + std::string(10000, '9') + "\r\n");
    readsettings();
    EXPECT_EQ(viewer.dx, 0);
    EXPECT_EQ(viewer.dy, 0);
    EXPECT_EQ(viewer.dz, 0);
    EXPECT_EQ(viewer.o1, 2147483647);
    EXPECT_EQ(viewer.o2, -2147483647 - 1);
    EXPECT_EQ(viewer.o3, 2147483647);

    std::string binary("\x01\x02\x00\xff\r\n", 6);
    write(binary + binary + binary + binary + binary + binary + binary);
    readsettings();
    EXPECT_EQ(viewer.dx, 0);
}

TEST_F(InFolder, LongPathIsCutTo255Characters) {
    std::string path(300, 'p');
    write("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n" + path + "\r\n");
    readsettings();
    EXPECT_EQ(std::string(viewer.objectfile), path.substr(0, 255));
}

TEST_F(InFolder, WrittenSettingsHaveALeadingBlankForNonNegativesAndCrLf) {
    viewer.dx = 0;
    viewer.dy = 25;
    viewer.dz = -3;
    viewer.o1 = 360;
    viewer.o2 = -90;
    viewer.o3 = 0;
    setobjectfile("objects/myfemale70_grp.obj");
    writesettings();
    EXPECT_EQ(read(), " 0\r\n 25\r\n-3\r\n 360\r\n-90\r\n 0\r\nobjects/myfemale70_grp.obj\r\n");

    // What was written reads back the same.
    ViewerState saved = viewer;
    viewer = ViewerState();
    readsettings();
    EXPECT_EQ(viewer.dy, saved.dy);
    EXPECT_EQ(viewer.o2, saved.o2);
    EXPECT_STREQ(viewer.objectfile, saved.objectfile);
}

TEST(Loop, AnglesWrapByOneTurnPerPass) {
    viewer = ViewerState();
    viewer.o1 = 700;
    viewer.o2 = -725;
    viewer.o3 = 360;
    wrapangles();
    EXPECT_EQ(viewer.o1, 340);
    EXPECT_EQ(viewer.o2, -365);
    EXPECT_EQ(viewer.o3, 360);
    wrapangles();
    EXPECT_EQ(viewer.o2, -5);
}

double clocknow = 0;
int lastsleep = -1;
double fixedclock() { return clocknow; }
void recordsleep(int ms) { lastsleep = ms; }

TEST(Loop, PacingStartsNear6Point7AndSettlesNear105WhenEveryPassWaits) {
    viewer = ViewerState();
    viewer.clock = fixedclock;
    viewer.sleep = recordsleep;
    clocknow = 1000.0;
    pacefps();
    // lastframe was 0: the first interval counts as the 1 s cap.
    EXPECT_DOUBLE_EQ(viewer.frametime, 0.15);
    EXPECT_NEAR(viewer.fps, 6.667, 0.001);
    EXPECT_NEAR(viewer.speedfactor, 4.5, 1e-9);

    // A machine that finishes each pass 1 ms after the last one: every pass
    // sleeps the rest of the period and records 0.0095 s.
    for (int i = 0; i < 300; ++i) {
        clocknow = viewer.thisframe + 0.001;
        lastsleep = -1;
        pacefps();
        ASSERT_EQ(lastsleep, 8);
        ASSERT_NEAR(viewer.thisframe - viewer.lastframe, 0.0095, 1e-9);
    }
    EXPECT_NEAR(viewer.fps, 1 / 0.0095, 1e-6);
    EXPECT_DOUBLE_EQ(viewer.frameperiod, 1.0 / 100 - 0.0015);

    // A clock that went backwards waits from the last frame on.
    clocknow = viewer.thisframe - 5;
    pacefps();
    EXPECT_EQ(lastsleep, 9);
    EXPECT_NEAR(viewer.thisframe - viewer.lastframe, 0.0095, 1e-9);

    // A slow pass does not wait.
    clocknow = viewer.thisframe + 0.5;
    lastsleep = -1;
    pacefps();
    EXPECT_EQ(lastsleep, -1);
    EXPECT_DOUBLE_EQ(viewer.thisframe, clocknow);
}

std::set<int> held;
int heldkey(int key) { return held.count(key) ? -1 : 0; }

TEST(Keyboard, StepFollowsTheFrameRateFromTheThirdHit) {
    viewer = ViewerState();
    viewer.keydown = heldkey;
    held = {VK_LEFT};
    viewer.speedfactor = 30.0 / 100;   // 100 fps: always 1
    for (int i = 0; i < 5; ++i) keyboardstep();
    EXPECT_EQ(viewer.o1, 5);

    viewer = ViewerState();
    viewer.keydown = heldkey;
    viewer.speedfactor = 30.0 / 10;   // 10 fps: 1, 1, then round(3.3) = 3
    for (int i = 0; i < 4; ++i) keyboardstep();
    EXPECT_EQ(viewer.o1, 1 + 1 + 3 + 3);

    // A pass without keys starts the count again.
    held.clear();
    keyboardstep();
    EXPECT_EQ(viewer.keycount, 0);
    held = {VK_LEFT};
    keyboardstep();
    EXPECT_EQ(viewer.o1, 9);
}

TEST(Keyboard, EachOfTheTwelveKeysMovesItsValueAndOpposingKeysCancel) {
    struct Case {
        int key;
        int ViewerState::*value;
        int sign;
    };
    const Case cases[] = {
        {VK_LEFT, &ViewerState::o1, 1}, {VK_RIGHT, &ViewerState::o1, -1}, {VK_UP, &ViewerState::o2, 1},
        {VK_DOWN, &ViewerState::o2, -1}, {VK_PRIOR, &ViewerState::o3, 1}, {VK_NEXT, &ViewerState::o3, -1},
        {'B', &ViewerState::dx, 1},      {'N', &ViewerState::dx, -1},     {'A', &ViewerState::dy, 1},
        {'E', &ViewerState::dy, -1},     {'Z', &ViewerState::dz, 1},      {'S', &ViewerState::dz, -1},
    };
    for (const Case& c : cases) {
        viewer = ViewerState();
        viewer.keydown = heldkey;
        held = {c.key};
        keyboardstep();
        EXPECT_EQ(viewer.*c.value, c.sign) << "key " << c.key;
    }

    viewer = ViewerState();
    viewer.keydown = heldkey;
    viewer.speedfactor = 3;
    held = {VK_LEFT, VK_RIGHT};
    keyboardstep();
    keyboardstep();
    EXPECT_EQ(viewer.o1, 0);
    EXPECT_EQ(viewer.keycount, 4);
    EXPECT_EQ(viewer.dxyz, 3);

    // Values read from a settings file may sit at the integer's ends.
    viewer.dx = 2147483647;
    held = {'B'};
    keyboardstep();
    EXPECT_EQ(viewer.dx, 2147483647);
}

TEST(Keyboard, ResetAndHelpText) {
    viewer = ViewerState();
    viewer.dx = 4;
    viewer.o1 = 30;
    viewer.o3 = 7;
    onreset();
    EXPECT_EQ(viewer.dx, 0);
    EXPECT_EQ(viewer.o1, 0);
    EXPECT_EQ(viewer.o2, -90);
    EXPECT_EQ(viewer.o3, 0);

    std::string text = helptext();
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.substr(0, 12), "F1 => help\r\r");
    EXPECT_EQ(text.substr(12, 37), "If guitestkey(vk_left) Then o1+=dxyz\r");
    EXPECT_EQ(text.substr(text.size() - 34), "\rIf guitestkey(vk_s) Then dz-=dxyz");
    size_t returns = 0;
    for (char c : text) returns += c == '\r';
    EXPECT_EQ(returns, 2u + 11u);
}

}  // namespace
