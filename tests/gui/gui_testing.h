// Shared pieces of the toolkit tests: a start-up fixture that records the
// notices instead of showing them, and a pump that lets messages run.
#ifndef TESTS_GUI_GUI_TESTING_H
#define TESTS_GUI_GUI_TESTING_H

#include "gui.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        guistartup();
        guisetnoticehook(recordnotice);
        notices().clear();
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
