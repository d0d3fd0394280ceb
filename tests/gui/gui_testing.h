// Shared pieces of the toolkit tests: a start-up fixture that records the
// notices instead of showing them, and a pump that lets messages run.
#ifndef TESTS_GUI_GUI_TESTING_H
#define TESTS_GUI_GUI_TESTING_H

#include "gui.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../gui/gui_state.h"

#include <functional>

struct Notice {
    std::string title, text;
    unsigned flags;
};

inline std::vector<Notice>& notices() {
    static std::vector<Notice> seen;
    return seen;
}

inline int recordnotice(const char* text, const char* title, unsigned flags) {
    notices().push_back({title, text, flags});
    return IDOK;
}

// What a test file keeps between its handlers and its checks (recorded
// hits, last values) must start empty in every test, whatever ran before
// it in the same process: each file registers how to empty its own.
inline std::vector<std::function<void()>>& pertestresets() {
    static std::vector<std::function<void()>> all;
    return all;
}
inline bool resetbeforeeachtest(std::function<void()> reset) {
    pertestresets().push_back(std::move(reset));
    return true;
}

// How often a handler ran; zero at the start of every test.
class RunCount {
public:
    RunCount() { resetbeforeeachtest([this] { n_ = 0; }); }
    RunCount(const RunCount&) = delete;
    RunCount& operator=(const RunCount&) = delete;
    RunCount& operator++() {
        ++n_;
        return *this;
    }
    operator int() const { return n_; }

private:
    int n_ = 0;
};

// A record found by name without touching the toolkit's lookup state (the
// current handle and kind that some tests check); the empty slot 0 when
// the name is not recorded.
inline const GuiWindow& windowrecord(const std::string& name) { return guiwindowrecord(guicore::windowindex(name)); }
inline const GuiControl& controlrecord(const std::string& fullname) {
    return guicontrolrecord(guicore::controlindex(fullname));
}
inline int controlslot(const std::string& fullname) { return guicore::controlindex(fullname); }

// Every test starts on a toolkit as the program finds it after start-up:
// empty tables, no traps or user subs, default colours and fonts, the image
// decoder bound, no event left from an earlier test (a quit message seen
// would stop guiscan for good), and its notices recorded, not shown.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        guistartup();
        guiclose("nomsg");
        guicore::state.events = guicore::GuiEvents();
        guicore::state.lookup = guicore::GuiLookup();
        guicore::state.creation = guicore::GuiCreation();
        guicore::state.appearance = guicore::GuiAppearance();
        guisetsleepfunction(nullptr);
        guiinit();
        guisetnoticehook(recordnotice);
        notices().clear();
        for (const std::function<void()>& reset : pertestresets()) reset();
    }
    void TearDown() override {
        guiclose("nomsg");
        guisetnoticehook(nullptr);
    }
};

// Runs guiscan a few times so that sent and posted work gets done.
inline void pump(int passes = 5) {
    for (int i = 0; i < passes; ++i) {
        guiscan();
        Sleep(10);
    }
}

// Runs guiscan until `done()` holds; false if it still does not after 10 s,
// a guard against a hang rather than a limit on how fast things must be.
template <class Condition>
bool pumpuntil(Condition done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 10000) return false;
        guiscan();
        Sleep(10);
    }
    return true;
}

// A folder under the temp directory, inside one that goes when the test
// program ends.
inline std::string tempfolder(const std::string& leaf) {
    static TempFolder root("tolvane_gui");
    std::string dir = root.path(leaf);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

#endif
