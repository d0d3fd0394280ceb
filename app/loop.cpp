// Start-up, the build of the window, the frame loop with its pacing, the
// teardown between builds and the exit.
#include "viewer.h"

#include "gui.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

ViewerState viewer;

namespace {

double performanceclock() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void systemsleep(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

double now() { return viewer.clock ? viewer.clock() : performanceclock(); }

void pause(int milliseconds) { (viewer.sleep ? viewer.sleep : systemsleep)(milliseconds); }

// The rate the loop paces to. The pacing is meant for rates from 10 to 200
// frames per second; a change outside them fails here, not at run time.
constexpr double targetrate = 100.0;
static_assert(targetrate >= 10.0 && targetrate <= 200.0, "the pacing holds 10 to 200 frames per second");

}  // namespace

std::string workingdirectory() {
    char buffer[MAX_PATH + 1] = {0};
    DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
    return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

void pacefps() {
    viewer.lastframe = viewer.thisframe;
    viewer.thisframe = now();
    viewer.frameperiod = 1.0 / targetrate - 0.0015;
    if (viewer.thisframe < viewer.lastframe + viewer.frameperiod) {
        if (viewer.thisframe < viewer.lastframe) viewer.thisframe = viewer.lastframe;
        double wait = std::floor((viewer.lastframe + viewer.frameperiod + 0.001 - viewer.thisframe) * 1000.0);
        pause(std::max(1, static_cast<int>(wait)));
        viewer.thisframe = viewer.lastframe + viewer.frameperiod + 0.001;
    }
    viewer.frametime = 0.85 * viewer.frametime + 0.15 * std::min(viewer.thisframe - viewer.lastframe, 1.0);
    viewer.fps = 1.0 / std::max(viewer.frametime, 0.001);
    viewer.speedfactor = std::min(30.0 / viewer.fps, 10.0);
}

void viewerstart() {
    guistartup();
    viewer.startdir = workingdirectory();
    readsettings();
    guisetwindowcolor(0, 240, 240);
}

void viewerbuild() {
    viewer.quitflag = 0;
    viewer.screenwidth = guiimagewidth(nullptr);
    viewer.screenheight = guiimageheight(nullptr);
    viewer.graphwidth = viewer.screenwidth - 30;
    viewer.graphheight = viewer.screenheight - 117;

    guibutton("win.button1", "help", showhelp, 10, 5, 100, 20, 0);
    guibutton("win.button2", "reset", onreset, 120, 5, 100, 20, 0);
    guibutton("win.button3", "select file", onselectfile, 260, 5, 100, 20, 0);
    guibutton("win.button4", "quit", onquit, 400, 5, 60, 20, 0);
    guigraphicbox("win.graph", 10, 35, viewer.graphwidth, viewer.graphheight, "opengl", 0);
    guicombobox("win.combo", oncombo, 520, 5, 100, 100);

    guiopenwindow("win", "tolvane", 0, 0, viewer.screenwidth, viewer.screenheight - 37, WS_SYSMENU | WS_MINIMIZEBOX,
                  0);
    guicomboadd("win.combo", "lighting");
    guicomboadd("win.combo", "no lighting");
    guicomboselect("win.combo", viewer.lightmode);
    trapclose("win", onquit);
    guistartopenGL("win.graph");
    setupscene();
}

void viewerframe() {
    keyboardstep();
    wrapangles();
    drawscene();
    guiswapopenGL();
    guiscan();
    pacefps();
}

void viewerloop() {
    viewer.dxyz = 1;
    viewer.keycount = 0;
    while (viewer.quitflag == 0 && !guitestkey(VK_ESCAPE)) viewerframe();
}

void viewerteardown() {
    guistopopenGL();
    guiclose("nomsg");
}

int viewermain() {
    viewerstart();
    for (;;) {
        viewerbuild();
        viewerloop();
        viewerteardown();
        // Only the reload flag decides: Escape during a pending reload
        // still rebuilds.
        if (viewer.reloadflag != 1) break;
        viewer.reloadflag = 0;
        guiinit();
    }
    // The settings go beside the program (the toolkit's program folder),
    // wherever it was started from.
    SetCurrentDirectoryA(guiprogramdir().c_str());
    writesettings();
    guiquit("msg");
    return 0;
}
