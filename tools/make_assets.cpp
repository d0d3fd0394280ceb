// Writes the bundled data files into the given assets folder:
//   make_assets ASSETS_DIR
// objects/myfemale70_grp.obj, objects/caisse2.jpg, objects/defaulttext.jpg
// and gui_brask.ico. Same bytes on every run.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "assets.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s ASSETS_DIR\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    mkdir(dir.c_str(), 0777);
    mkdir((dir + "/objects").c_str(), 0777);
    bool ok = writefigure((dir + "/objects/myfemale70_grp.obj").c_str(), 2.4);
    ok = writecrate((dir + "/objects/caisse2.jpg").c_str()) && ok;
    ok = writeskin((dir + "/objects/defaulttext.jpg").c_str()) && ok;
    ok = writeicon((dir + "/gui_brask.ico").c_str()) && ok;
    if (!ok) fprintf(stderr, "make_assets: could not write every file into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
