// Shared pieces of the toolkit tests: a start-up fixture that records the
// notices instead of showing them, and a pump that lets messages run.
#ifndef TESTS_GUI_GUI_TESTING_H
#define TESTS_GUI_GUI_TESTING_H

#include "gui.h"

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

// A fresh, empty folder under the temp directory.
inline std::string tempfolder(const std::string& leaf) {
    char base[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, base);
    std::string dir = std::string(base) + "tolvane_gui_" + leaf + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

#endif
