// Which model the viewer shows, the render state and textures it is drawn
// with, and display list 1, which holds the whole model. Runs once per build,
// with the graphic box's context current.
#include "viewer.h"

#include "gui.h"
#include "harlith.h"
#include "kestrin.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cctype>
#include <cstdio>

namespace {

const char* const defaultmodel = "objects/myfemale70_grp.obj";
const char* const modelfilter = "objects\\*.obj,obj files ;*.3ds,3DS files ";

bool readable(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

void loadtexture(unsigned int& texture, const std::string& file) {
    guideletetexture(texture);
    texture = guiloadtexture(file, 255, 127, 0);
}

}  // namespace

void setupscene() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(viewer.graphwidth) / viewer.graphheight, 5.0, 50000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glShadeModel(GL_SMOOTH);
    glClearColor(0.25f, 0.4f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    if (viewer.lightmode == 1) {
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_NORMALIZE);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, guiglvector(1.0f, 1.0f, 1.0f, 0.0f));
    }

    if (!readable(viewer.objectfile)) setobjectfile(defaultmodel);

    // A point and a three-letter extension are taken to end the path.
    const std::string path = viewer.objectfile;
    const std::string base = path.size() > 4 ? path.substr(0, path.size() - 4) : std::string();
    std::string extension = path.size() > 3 ? path.substr(path.size() - 3) : path;
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    viewer.boxtexture = guiloadtexture(viewer.startdir + "/objects/caisse2.jpg", 255, 127, 0);
    viewer.modeltexture = guiloadtexture(viewer.startdir + "/objects/defaulttext.jpg", 255, 127, 0);
    // The model's own picture replaces the default; a ".bmp" wins over a ".jpg".
    if (readable(base + ".jpg")) loadtexture(viewer.modeltexture, base + ".jpg");
    if (readable(base + ".bmp")) loadtexture(viewer.modeltexture, base + ".bmp");

    glNewList(1, GL_COMPILE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, viewer.modeltexture);
    if (readable(path)) {
        // Both texture texts empty: every face keeps the texture bound above.
        char none[1] = {0};
        if (extension == "3ds") load3DSsize(viewer.objectfile, none, none, 150);
        if (extension == "obj") loadobjsize(viewer.objectfile, none, none, 150);
    }
    glDisable(GL_TEXTURE_2D);
    glEndList();

    guisettext("win", "tolvane        " + path);
}

void onselectfile() {
    viewer.startdir = workingdirectory();
    std::string path = guifiledialog("select object", modelfilter);
    // The dialog may have moved the working directory; relative paths such
    // as the default model's are taken from the one the user started in.
    SetCurrentDirectoryA(viewer.startdir.c_str());
    if (!path.empty() && readable(path)) setobjectfile(path);
    viewer.quitflag = 1;
    viewer.reloadflag = 1;
}

void oncombo() {
    guicombogetselection("win.combo", viewer.lightmode);
    viewer.quitflag = 1;
    viewer.reloadflag = 1;
}
