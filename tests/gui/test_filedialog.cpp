// File dialogs: the filter list built byte for byte, guiword, and real open
// and save dialogs answered by a watcher thread.
#include "gui_internals.h"
#include "gui_testing.h"

#include "modal_watcher.h"

#include <fstream>

namespace {

using namespace std::string_literals;

std::string filter(const std::string& entries) {
    std::string list = "untouched";
    EXPECT_TRUE(guicore::filterlist(entries, list)) << entries;
    return list;
}

const std::string ALL = "All  (*.*)\0*.*\0\0"s;

std::string makefile(const std::string& path) {
    std::ofstream(path) << "v 0 0 0\n";
    return path;
}

// A temp folder made current for the test, with the previous one restored.
struct InFolder {
    std::string dir;
    char previous[MAX_PATH + 1] = {0};
    explicit InFolder(const std::string& leaf) : dir(tempfolder(leaf)) {
        GetCurrentDirectoryA(MAX_PATH, previous);
        SetCurrentDirectoryA(dir.c_str());
    }
    ~InFolder() {
        SetCurrentDirectoryA(previous);
        RemoveDirectoryA(dir.c_str());
    }
};

}  // namespace

TEST(GuiWord, FieldsCountFromOne) {
    EXPECT_EQ(guiword("a,b,c", 2, ","), "b");
    EXPECT_EQ(guiword("a,b,c", 3, ","), "c");
    EXPECT_EQ(guiword("a,b,c", 4, ","), "");
    EXPECT_EQ(guiword("a,b,c", 0, ","), "");
    EXPECT_EQ(guiword("", 1, ","), "");
    EXPECT_EQ(guiword("a,,c", 2, ","), "");
    EXPECT_EQ(guiword("a,,c", 3, ","), "c");
    EXPECT_EQ(guiword("one", 1, ","), "one");
    EXPECT_EQ(guiword("x::y::z", 3, "::"), "z");
    EXPECT_EQ(guiword("a,b", 4294967295u, ","), "");
}

TEST(GuiFilterList, EntriesBecomeShownTextAndPatternThenAllFiles) {
    // The viewer's line: both descriptions end in a blank, so two blanks
    // stand before each parenthesis.
    EXPECT_EQ(filter("*.obj,obj files ;*.3ds,3DS files "),
              "obj files  (*.obj)\0*.obj\0"s "3DS files  (*.3ds)\0*.3ds\0"s + ALL);
    EXPECT_EQ(filter("*.txt,text"), "text (*.txt)\0*.txt\0"s + ALL);
    EXPECT_EQ(filter(""), ALL);                                  // a folder only
    EXPECT_EQ(filter("*.a,A;;*.b,B"), "A (*.a)\0*.a\0"s + ALL);  // an empty entry ends the list
    EXPECT_EQ(filter("*.x"), " (*.x)\0*.x\0"s + ALL);           // no description
    EXPECT_EQ(filter("*.x,X;"), "X (*.x)\0*.x\0"s + ALL);
}

TEST(GuiFilterList, CharactersMustStayWithinTheFirst200Bytes) {
    // One entry "*.x" with a description of n characters puts the last
    // character of "*.*" at offset n + 24.
    std::string list;
    EXPECT_TRUE(guicore::filterlist("*.x," + std::string(175, 'd'), list));
    EXPECT_EQ(list.size(), 202u);
    EXPECT_EQ(list.substr(list.size() - ALL.size()), ALL);
    EXPECT_FALSE(guicore::filterlist("*.x," + std::string(176, 'd'), list));
    // Many short entries fail as well as one long one.
    std::string many;
    for (int i = 0; i < 20; ++i) many += "*.abc,ABC;";
    EXPECT_FALSE(guicore::filterlist(many, list));
    EXPECT_FALSE(guicore::filterlist(std::string(10000, 'q'), list));
}

TEST_F(GuiTest, AnOverlongFilterLineReturnsEmptyWithoutADialog) {
    ModalWatcher watcher;
    watcher.answer(IDCANCEL);
    EXPECT_EQ(guifiledialog("select", "*.x," + std::string(176, 'd')), "");
    EXPECT_EQ(guifiledialog("select", std::string(10000, ';')), "");   // only empty entries: All
    EXPECT_EQ(watcher.seen().size(), 1u);   // the second call did show its dialog, cancelled
}

TEST_F(GuiTest, TheOpenDialogReturnsTheTypedPathAndEmptyOnCancel) {
    InFolder here("dialog");
    CreateDirectoryA((here.dir + "\\objects").c_str(), nullptr);
    std::string model = makefile(here.dir + "\\objects\\model.obj");
    {
        ModalWatcher watcher;
        watcher.on_dialog([&](HWND dialog) { ModalWatcher::typefilename(dialog, model); });
        EXPECT_EQ(guifiledialog("select object", "objects\\*.obj,obj files ;*.3ds,3DS files "), model);
        std::vector<SeenBox> seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title, "select object");
    }
    {
        // A bare name is found in the folder the line names.
        ModalWatcher watcher;
        watcher.on_dialog([](HWND dialog) { ModalWatcher::typefilename(dialog, "model.obj"); });
        EXPECT_EQ(guifiledialog("select object", "objects\\*.obj,obj files "), model);
    }
    {
        ModalWatcher watcher;
        watcher.answer(IDCANCEL);
        std::string title(40, 't');
        title.replace(0, 10, "0123456789");
        EXPECT_EQ(guifiledialog(title, "*.obj,obj files"), "");
        std::vector<SeenBox> seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title, title.substr(0, 31));
    }
    DeleteFileA(model.c_str());
    RemoveDirectoryA((here.dir + "\\objects").c_str());
}

TEST_F(GuiTest, SaveInTheTitleChoosesTheSaveDialog) {
    InFolder here("save");
    std::string target = makefile(here.dir + "\\scene.obj");
    std::vector<SeenBox> seen;
    {
        ModalWatcher watcher;
        watcher.on_dialog([&](HWND dialog) { ModalWatcher::typefilename(dialog, target); });
        EXPECT_EQ(guifiledialog("save the scene", "*.obj,obj files"), target);
        EXPECT_EQ(guifiledialog("Save the scene", "*.obj,obj files"), target);
        seen = watcher.seen();
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0].okbutton.find("Save"), std::string::npos) << seen[0].okbutton;
    EXPECT_NE(seen[1].okbutton.find("Open"), std::string::npos) << seen[1].okbutton;
    DeleteFileA(target.c_str());
}
