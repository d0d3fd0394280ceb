// The viewer's state and its steps: settings, scene set-up, drawing, the
// keyboard camera and the frame loop. One thread; handlers only change this
// state, the loop's owner rebuilds or ends.
#ifndef APP_VIEWER_H
#define APP_VIEWER_H

#include <string>

struct ViewerState {
    // Camera, in model units and degrees; saved in the settings file.
    int dx = 0, dy = 0, dz = 0;
    int o1 = 0, o2 = 0, o3 = 0;
    char objectfile[256] = {};   // at most 255 characters
    std::string startdir;        // working directory at start and after a file choice

    int lightmode = 2;   // the combo's 1-based item: 1 lighting, 2 no lighting
    int quitflag = 0;
    int reloadflag = 0;

    int screenwidth = 0, screenheight = 0;
    int graphwidth = 0, graphheight = 0;

    // Frame pacing, in seconds.
    double thisframe = 0, lastframe = 0, frameperiod = 0, frametime = 0;
    double fps = 0, speedfactor = 1.0;

    unsigned int boxtexture = 0, modeltexture = 0;

    // Keyboard camera, reset each time the loop starts.
    int dxyz = 1, keycount = 0;

    // Seams for the clock, the sleep, the key state and the model libraries,
    // so the loop's arithmetic can be checked against a fixed clock and the
    // keys without a keyboard.
    double (*clock)() = nullptr;
    void (*sleep)(int milliseconds) = nullptr;
    int (*keydown)(int virtualkey) = nullptr;
};

extern ViewerState viewer;

// Settings file "tolvane.ini", in the current working directory.
void readsettings();
void writesettings();
int settingsinteger(const std::string& line);   // the number at the line's start, rounded half to even

// Scene (the model, its textures and display list 1) and its handlers.
void setupscene();
void onselectfile();
void oncombo();
void setobjectfile(const std::string& path);

// Drawing and keyboard camera.
void drawscene();
void gltextat(const std::string& text, float x, float y, float scale);
std::string helptext();
void showhelp();
void onreset();
void onquit();
void keyboardstep();
void wrapangles();

// Life cycle.
void viewerstart();    // toolkit start-up, settings, window colour
void viewerbuild();    // controls, window, OpenGL, scene
void viewerframe();    // one pass of the frame loop
void viewerloop();     // passes until quit or Escape
void viewerteardown(); // OpenGL released, windows closed
void pacefps();
int viewermain();      // the whole program; never returns
std::string workingdirectory();

#endif
